#include "platform/win32/win32_diagnostics.h"
#include "platform/win32/win32_system.h"

namespace lumora::platform::win32 {

bool Win32PowerOff::EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    ReportSystemError("OpenProcessToken", GetLastError());
    return false;
  }
  const ScopedHandle ownedToken(token);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    ReportSystemError("LookupPrivilegeValue", GetLastError());
    return false;
  }
  if (!AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr)) {
    ReportSystemError("AdjustTokenPrivileges", GetLastError());
    return false;
  }
  // A token without the privilege is no failure of the call: only the last error
  // tells that nothing was enabled, and the power-off would then be refused.
  const DWORD adjusted = GetLastError();
  if (adjusted == ERROR_NOT_ALL_ASSIGNED) {
    ReportSystemError("AdjustTokenPrivileges", adjusted);
    return false;
  }
  return true;
}

bool Win32PowerOff::EndSession(unsigned flags, unsigned reason) {
  if (ExitWindowsEx(flags, reason)) return true;
  ReportSystemError("ExitWindowsEx", GetLastError());
  return false;
}

}  // namespace lumora::platform::win32
