// The native build's view of CP936: glibc's iconv.
#include <iconv.h>

#include <cstring>
#include <mutex>

#include "text/cp936_codec.h"

namespace lumora::text::detail {

namespace {

// Converts `length` bytes with a fresh state; returns the output byte count, or -1.
int Convert(iconv_t cd, const void* in, std::size_t length, unsigned char* out, std::size_t room) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(static_cast<const char*>(in));
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t inLeft = length;
  std::size_t outLeft = room;
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0) {
    return -1;
  }
  return static_cast<int>(room - outLeft);
}

struct Converters {
  iconv_t toUtf32 = iconv_open("UTF-32LE", "CP936");
  iconv_t fromUtf32 = iconv_open("CP936", "UTF-32LE");
  std::mutex lock;  // an iconv descriptor keeps state: one conversion at a time
};

Converters& GetConverters() {
  static Converters converters;
  return converters;
}

}  // namespace

char32_t SystemDecodeCp936(const unsigned char* bytes, int length) {
  Converters& c = GetConverters();
  std::lock_guard guard(c.lock);
  unsigned char out[8];
  if (c.toUtf32 == reinterpret_cast<iconv_t>(-1) ||
      Convert(c.toUtf32, bytes, static_cast<std::size_t>(length), out, sizeof out) != 4) {
    return 0;
  }
  return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

int SystemEncodeCp936(char32_t codePoint, unsigned char* out) {
  Converters& c = GetConverters();
  std::lock_guard guard(c.lock);
  const unsigned char in[4] = {static_cast<unsigned char>(codePoint & 0xFF),
                               static_cast<unsigned char>(codePoint >> 8 & 0xFF),
                               static_cast<unsigned char>(codePoint >> 16 & 0xFF), 0};
  unsigned char buffer[8];
  if (c.fromUtf32 == reinterpret_cast<iconv_t>(-1)) return 0;
  const int count = Convert(c.fromUtf32, in, 4, buffer, sizeof buffer);
  if (count < 1 || count > 2) return 0;
  std::memcpy(out, buffer, static_cast<std::size_t>(count));
  return count;
}

}  // namespace lumora::text::detail
