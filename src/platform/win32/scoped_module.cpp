#include "platform/win32/scoped_module.h"

#include "platform/failure_report.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_diagnostics.h"

namespace lumora::platform::win32 {

std::wstring SystemFolderPath(std::wstring_view name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length) + L"\\" + std::wstring(name);
}

void KeepDllSearchInSystemFolder() {
  // Looked up, not imported: Windows 7 has it only with KB2533623.
  using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);
  const auto generic = reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction*>(generic);
  if (setDefaultDllDirectories) {
    if (setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    ReportSystemError("SetDefaultDllDirectories", GetLastError());
  }
  // Without it, the current folder at least leaves the search.
  if (!SetDllDirectoryW(L"")) ReportSystemError("SetDllDirectoryW", GetLastError());
}

SystemDll::SystemDll(const wchar_t* systemDllName) : name_(Utf8(systemDllName)) {
  const std::wstring path = SystemFolderPath(systemDllName);
  if (path.empty()) {
    ReportSystemError("GetSystemDirectoryW", GetLastError());
    return;
  }
  module_ = LoadLibraryW(path.c_str());
  if (!module_) ReportSystemError("LoadLibraryW " + Utf8(path), GetLastError());
}

void (*SystemDll::Find(const char* name) const)() {
  // A DLL that did not load has been reported once, not again for each function.
  if (!module_) return nullptr;
  const auto function = reinterpret_cast<void (*)()>(GetProcAddress(module_, name));
  if (!function) ReportFailure(name_, std::string(name) + " is missing");
  return function;
}

}  // namespace lumora::platform::win32
