#include "text/cp936.h"

#include <array>
#include <cstdint>
#include <memory>

#include "text/cp936_codec.h"
#include "text/utf.h"

namespace lumora::text {

namespace {

constexpr char32_t kEscapeBase = 0xDC00;  // U+DC80..U+DCFF carry the bytes 0x80..0xFF

bool IsEscape(char32_t cp) { return cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF; }

// Built once from the system's own conversion. A character enters the tables only
// when it converts both ways to exactly itself, so decoding then encoding is the
// identity on every byte string.
struct Tables {
  std::array<char16_t, 65536> doubleByte{};  // lead << 8 | trail -> code point, 0 = none
  std::array<char16_t, 128> highSingle{};    // single bytes 0x80..0xFF, 0 = none
  std::array<std::uint16_t, 65536> encode{};  // code point -> byte (< 0x100) or lead << 8 | trail

  Tables() {
    unsigned char out[2];
    auto accept = [&](const unsigned char* bytes, int length) -> char32_t {
      const char32_t cp = detail::SystemDecodeCp936(bytes, length);
      if (cp < 0x80 || cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
      if (detail::SystemEncodeCp936(cp, out) != length) return 0;
      for (int i = 0; i < length; ++i)
        if (out[i] != bytes[i]) return 0;
      return cp;
    };
    for (int b = 0x80; b <= 0xFF; ++b) {
      const unsigned char single = static_cast<unsigned char>(b);
      if (const char32_t cp = accept(&single, 1)) {
        highSingle[b - 0x80] = static_cast<char16_t>(cp);
        encode[cp] = static_cast<std::uint16_t>(b);
      }
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                       static_cast<unsigned char>(trail)};
        if (const char32_t cp = accept(pair, 2)) {
          doubleByte[lead << 8 | trail] = static_cast<char16_t>(cp);
          if (encode[cp] == 0) encode[cp] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
      }
    }
  }
};

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = std::make_unique<Tables>();
  return *tables;
}

// CP936 bytes of one code point: 1 or 2, or 0 when it has none.
int EncodeOne(const Tables& tables, char32_t cp, unsigned char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<unsigned char>(cp);
    return 1;
  }
  if (IsEscape(cp)) {
    out[0] = static_cast<unsigned char>(cp - kEscapeBase);
    return 1;
  }
  if (cp > 0xFFFF || tables.encode[cp] == 0) return 0;
  const std::uint16_t code = tables.encode[cp];
  if (code < 0x100) {
    out[0] = static_cast<unsigned char>(code);
    return 1;
  }
  out[0] = static_cast<unsigned char>(code >> 8);
  out[1] = static_cast<unsigned char>(code & 0xFF);
  return 2;
}

std::size_t EncodedLength(const Tables& tables, char32_t cp) {
  unsigned char out[2];
  const int length = EncodeOne(tables, cp, out);
  return length == 0 ? 1 : static_cast<std::size_t>(length);  // "?" for the unencodable
}

}  // namespace

std::string Utf8FromCp936(std::string_view cp936) {
  const Tables& tables = GetTables();
  std::string out;
  out.reserve(cp936.size() + cp936.size() / 2);
  for (std::size_t i = 0; i < cp936.size();) {
    const auto b = static_cast<unsigned char>(cp936[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    if (i + 1 < cp936.size()) {
      const auto trail = static_cast<unsigned char>(cp936[i + 1]);
      if (const char16_t cp = tables.doubleByte[b << 8 | trail]) {
        AppendUtf8(out, cp);
        i += 2;
        continue;
      }
    }
    const char16_t single = tables.highSingle[b - 0x80];
    AppendUtf8(out, single ? single : kEscapeBase + b);
    ++i;
  }
  return out;
}

std::string Cp936FromUtf8(std::string_view utf8) {
  const Tables& tables = GetTables();
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    std::size_t length = 1;
    const char32_t cp = DecodeUtf8At(utf8, pos, &length);
    pos += length;
    unsigned char bytes[2];
    const int count = EncodeOne(tables, cp, bytes);
    if (count == 0) {
      out += '?';
    } else {
      out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
    }
  }
  return out;
}

std::size_t Cp936Length(std::string_view utf8) {
  const Tables& tables = GetTables();
  std::size_t total = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    std::size_t length = 1;
    total += EncodedLength(tables, DecodeUtf8At(utf8, pos, &length));
    pos += length;
  }
  return total;
}

std::string_view Cp936Prefix(std::string_view utf8, std::size_t maxBytes) {
  const Tables& tables = GetTables();
  std::size_t bytes = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    std::size_t length = 1;
    const std::size_t encoded = EncodedLength(tables, DecodeUtf8At(utf8, pos, &length));
    if (bytes + encoded > maxBytes) break;
    bytes += encoded;
    pos += length;
  }
  return utf8.substr(0, pos);
}

std::string_view AfterCp936Bytes(std::string_view utf8, std::size_t bytes) {
  const Tables& tables = GetTables();
  std::size_t counted = 0;
  std::size_t pos = 0;
  while (pos < utf8.size() && counted < bytes) {
    std::size_t length = 1;
    counted += EncodedLength(tables, DecodeUtf8At(utf8, pos, &length));
    pos += length;
  }
  return utf8.substr(pos);
}

}  // namespace lumora::text
