#pragma once
// UTF-8 walking and UTF-16 at the wide Windows calls. Lone surrogates (the escaped
// bytes of cp936.h) pass through both directions unchanged.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora::text {

// Length in bytes of the UTF-8 character that starts at text[pos] (1 for a stray byte).
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

// Decodes the character at text[pos]; a malformed byte gives U+FFFD and length 1.
char32_t DecodeUtf8At(std::string_view text, std::size_t pos, std::size_t* length);

void AppendUtf8(std::string& out, char32_t codePoint);

std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);

}  // namespace lumora::text
