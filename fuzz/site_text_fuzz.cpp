// The site's update information: values between markers, the version number and the
// addresses that may reach the shell, read from any text the site (or whoever answers
// in its place) sends.

#include <cmath>

#include "app/web_site.h"
#include "fuzz_input.h"
#include "text/cp936.h"
#include "text/text_between.h"

using namespace lumora;

namespace {

struct Markers {
  std::string_view start, end;
};
constexpr Markers kProgramMarkers[] = {
    {"[up1]", "[up2]"},           {"[version1]", "[version2]"}, {"[gwurl1]", "[gwurl2]"},
    {"[content1]", "[content2]"}, {"[downurl1]", "[downurl2]"},
};

void CheckValue(std::string_view information, std::string_view value) {
  fuzz::Check(value.empty() || information.find(value) != std::string_view::npos,
              "a value is a part of the text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 4);
  const std::string_view information = pieces[0];
  for (const Markers& markers : kProgramMarkers) {
    const std::string value = text::TextBetween(information, markers.start, markers.end);
    CheckValue(information, value);
    const std::string shown = text::Utf8FromCp936(value);
    const double version = text::LeadingVersionNumber(shown);
    fuzz::Check(std::isfinite(version) && version >= 0, "a version is a finite number");
    if (app::IsWebAddress(shown)) {
      for (const char c : shown)
        fuzz::Check(static_cast<unsigned char>(c) > 0x20 && c != 0x7F,
                    "a web address holds no blank or control character");
    }
  }
  const std::size_t position = pieces[3].empty() ? 1 : static_cast<unsigned char>(pieces[3][0]);
  for (const bool caseSensitive : {false, true})
    CheckValue(information,
               text::TextBetween(information, pieces[1], pieces[2], position, caseSensitive));
  text::LeadingVersionNumber(information);
  return 0;
}
