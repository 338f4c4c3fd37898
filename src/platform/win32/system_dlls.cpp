#include "platform/win32/system_dlls.h"

namespace lumora::platform::win32 {

// Each table is a local static: the first caller loads it, a second one at the same
// time waits for it, and it stays loaded to the end.
const IpHelperFunctions& IpHelperDll() {
  static const IpHelperFunctions functions;
  return functions;
}

const WinInetFunctions& WinInetDll() {
  static const WinInetFunctions functions;
  return functions;
}

const UxThemeFunctions& UxThemeDll() {
  static const UxThemeFunctions functions;
  return functions;
}

}  // namespace lumora::platform::win32
