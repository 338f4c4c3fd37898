#include <windows.h>
// After <windows.h>, in whose terms it is declared.
#include <wininet.h>

#include <array>
#include <cstring>

#include "platform/win32/system_dlls.h"
#include "platform/win32/win32_network.h"
#include "text/cp936.h"

namespace lumora::platform::win32 {

namespace {

constexpr DWORD kNameBufferBytes = 512;

}  // namespace

std::string Win32InternetState::ConnectedStateName() {
  // The readers take a buffer left blank for "no name", so it starts as blanks with
  // its terminating zero, and what the call wrote ends at its own zero.
  std::array<char, kNameBufferBytes> buffer;
  buffer.fill(' ');
  buffer.back() = '\0';
  DWORD flags = 0;
  WinInetDll().InternetGetConnectedStateExA(&flags, buffer.data(), kNameBufferBytes, 0);
  return text::Utf8FromCp936(std::string_view(buffer.data(), std::strlen(buffer.data())));
}

}  // namespace lumora::platform::win32
