// The code page 936 codec: decoding then encoding gives back every byte string, the
// CP936 lengths and cuts agree with the encoding, and the UTF-16 form of a decoded text
// converts back to it.

#include "fuzz_input.h"
#include "text/cp936.h"
#include "text/utf.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::Whole(data, size);
  const std::string decoded = text::Utf8FromCp936(bytes);
  fuzz::Check(text::Cp936FromUtf8(decoded) == bytes, "decode then encode gives the bytes");
  fuzz::Check(text::Cp936Length(decoded) == bytes.size(), "the CP936 length of a decoded text");
  fuzz::Check(text::Utf8FromUtf16(text::Utf16FromUtf8(decoded)) == decoded,
              "a decoded text through UTF-16 and back");

  // Any text at all, valid UTF-8 or not, as a caller may hand it in.
  const std::string encoded = text::Cp936FromUtf8(bytes);
  fuzz::Check(text::Cp936Length(bytes) == encoded.size(), "the CP936 length of any text");
  const std::size_t limit = size == 0 ? 0 : data[0] % (size + 1);
  const std::string_view prefix = text::Cp936Prefix(bytes, limit);
  fuzz::Check(bytes.starts_with(prefix) && text::Cp936Length(prefix) <= limit,
              "a CP936 prefix fits its limit");
  const std::string_view after = text::AfterCp936Bytes(bytes, limit);
  fuzz::Check(bytes.ends_with(after) &&
                  (after.empty() || text::Cp936Length(bytes) - text::Cp936Length(after) >= limit),
              "the text after a CP936 cut starts at or beyond it");
  text::Utf8FromUtf16(text::Utf16FromUtf8(bytes));
  return 0;
}
