#pragma once
// The system's own conversion of one CP936 character, behind the table that
// cp936.cpp builds once. Windows asks MultiByteToWideChar, Linux asks iconv; the same
// test suite runs against both builds so they cannot drift apart.

#include <cstdint>

namespace lumora::text::detail {

// The code point of the character made of `length` bytes (1 or 2), or 0 when the
// system does not take those bytes as one valid character.
char32_t SystemDecodeCp936(const unsigned char* bytes, int length);

// The CP936 bytes of a code point of the basic plane into out (room for 2); returns
// the count, or 0 when the system has no exact CP936 form for it.
int SystemEncodeCp936(char32_t codePoint, unsigned char* out);

}  // namespace lumora::text::detail
