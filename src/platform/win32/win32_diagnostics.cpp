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

namespace {

std::string SystemText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                              message.back() == L' '))
    message.pop_back();
  return Utf8(message);
}

}  // namespace

std::string SystemErrorText(unsigned long error) {
  char number[16];
  std::snprintf(number, sizeof number, "%lu", error);
  const std::string text = SystemText(error);
  return "error " + std::string(number) + (text.empty() ? "" : " " + text);
}

void ReportSystemError(std::string_view call, unsigned long error) {
  ReportFailure(call, SystemErrorText(error));
}

void ReportComError(std::string_view call, long result) {
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(result));
  const std::string text = SystemText(static_cast<DWORD>(result));
  ReportFailure(call, "error " + std::string(number) + (text.empty() ? "" : " " + text));
}

}  // namespace lumora::platform::win32
