// The number reader and writers: any text reads as a number without fault, and a
// number written plainly reads back as the same number to the digits it was written with.

#include <cmath>
#include <cstring>

#include "fuzz_input.h"
#include "settings/settings.h"
#include "text/number_text.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Whole(data, size);
  const double value = text::LeadingNumber(input);
  fuzz::Check(!std::isnan(value), "a number read is never not-a-number");
  text::FixedTwoDecimals(value);
  const std::string plain = text::PlainNumber(value);
  const double again = text::LeadingNumber(plain);
  fuzz::Check(!std::isfinite(value) || again == value ||
                  std::fabs(again - value) <= std::fabs(value) * 1e-12,
              "a plainly written number reads back");
  settings::ParseDecimalInteger(input);
  settings::ParsePoint(input);

  // Any raw double, from the input's first eight bytes.
  if (size >= sizeof(double)) {
    double raw;
    std::memcpy(&raw, data, sizeof raw);
    text::FixedTwoDecimals(raw);
    const std::string written = text::PlainNumber(raw);
    if (std::isfinite(raw)) {
      const double read = text::LeadingNumber(written);
      fuzz::Check(read == raw || std::fabs(read - raw) <= std::fabs(raw) * 1e-12,
                  "any double written plainly reads back");
    }
  }
  if (size >= 2 * sizeof(int)) {
    int left, top;
    std::memcpy(&left, data, sizeof left);
    std::memcpy(&top, data + sizeof left, sizeof top);
    fuzz::Check(settings::ParsePoint(settings::FormatPoint(left, top)) == std::pair(left, top),
                "a point written reads back");
  }
  return 0;
}
