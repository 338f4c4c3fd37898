#pragma once
// Code page 936 (GBK) at the edges of the program, UTF-8 inside.
//
// Decoding is lossless: a byte that does not start a valid CP936 character becomes
// the code point U+DC00 + byte (a lone low surrogate, written the UTF-8 way), and
// encoding turns such a code point back into that byte. So any byte string survives
// Utf8FromCp936 followed by Cp936FromUtf8 unchanged, and a read-change-write of one
// line never damages another.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora::text {

// CP936 bytes to UTF-8; never fails.
std::string Utf8FromCp936(std::string_view cp936);

// UTF-8 to CP936 bytes. A character that CP936 cannot hold becomes "?".
std::string Cp936FromUtf8(std::string_view utf8);

// Length in bytes of the CP936 form of a UTF-8 text.
std::size_t Cp936Length(std::string_view utf8);

// The longest prefix of utf8, in whole characters, whose CP936 form has at most
// maxBytes bytes.
std::string_view Cp936Prefix(std::string_view utf8, std::size_t maxBytes);

// The UTF-8 text that follows the first `bytes` bytes of the CP936 form. When the cut
// falls inside a double-byte character, that character is dropped too.
std::string_view AfterCp936Bytes(std::string_view utf8, std::size_t bytes);

}  // namespace lumora::text
