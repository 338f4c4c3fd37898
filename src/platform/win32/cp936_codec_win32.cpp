// The Windows build's view of CP936: the system's own conversion functions.
#include <windows.h>

#include "text/cp936_codec.h"

namespace lumora::text::detail {

namespace {
constexpr UINT kCodePage = 936;
}

char32_t SystemDecodeCp936(const unsigned char* bytes, int length) {
  wchar_t wide[2];
  const int count = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS,
                                        reinterpret_cast<const char*>(bytes), length, wide, 2);
  return count == 1 ? static_cast<char32_t>(wide[0]) : 0;
}

int SystemEncodeCp936(char32_t codePoint, unsigned char* out) {
  const wchar_t wide = static_cast<wchar_t>(codePoint);
  char buffer[4];
  BOOL usedDefault = FALSE;
  const int count = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, buffer,
                                        sizeof buffer, nullptr, &usedDefault);
  if (usedDefault || count < 1 || count > 2) return 0;
  for (int i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(buffer[i]);
  return count;
}

}  // namespace lumora::text::detail
