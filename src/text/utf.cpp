#include "text/utf.h"

namespace lumora::text {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

char32_t DecodeUtf8At(std::string_view text, std::size_t pos, std::size_t* length) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t need = 0;
  char32_t cp = 0;
  if (lead < 0x80) {
    *length = 1;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    cp = lead & 0x07;
  } else {
    *length = 1;
    return U'\uFFFD';
  }
  if (pos + need >= text.size()) {
    *length = 1;
    return U'\uFFFD';
  }
  for (std::size_t i = 1; i <= need; ++i) {
    const auto c = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(c)) {
      *length = 1;
      return U'\uFFFD';
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms and code points past U+10FFFF are malformed; surrogates are kept,
  // since they carry the escaped bytes of a CP936 text.
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[need] || cp > 0x10FFFF) {
    *length = 1;
    return U'\uFFFD';
  }
  *length = need + 1;
  return cp;
}

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
  std::size_t length = 1;
  DecodeUtf8At(text, pos, &length);
  return length;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    std::size_t length = 1;
    const char32_t cp = DecodeUtf8At(utf8, pos, &length);
    pos += length;
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace lumora::text
