#include "platform/win32/win32_diagnostics.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "platform/diagnostic_log.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_files.h"

namespace lumora::platform::win32 {

Win32DiagnosticLog::Win32DiagnosticLog() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                              folder)))
    return;
  std::wstring ours = std::wstring(folder) + L"\\LumoraWiFi";
  CreateDirectoryW(ours.c_str(), nullptr);
  path_ = Utf8(ours + L"\\diagnostics.log");
}

void Win32DiagnosticLog::Write(std::string_view line) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
  const std::string stamped = stamp + std::string(line);
  OutputDebugStringW((Wide(stamped) + L"\n").c_str());
  if (path_.empty()) return;
  std::lock_guard guard(lock_);
  Win32Files files;
  const std::string log = files.ReadWholeFile(path_).value_or(std::string());
  // The log is the last word on failures: one that cannot be written has nowhere to go.
  files.ReplaceWholeFile(path_, AppendToDiagnosticLog(log, stamped));
}

}  // namespace lumora::platform::win32
