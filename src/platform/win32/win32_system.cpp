#include "platform/win32/win32_system.h"

#include <shellapi.h>
#include <winternl.h>

#include <cstring>
#include <vector>

#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_diagnostics.h"

namespace lumora::platform::win32 {

namespace {

// Where the process environment block of a 64-bit process keeps the system's major and
// minor version numbers (OSMajorVersion, OSMinorVersion).
constexpr std::size_t kPebMajorVersionOffset = 0x118;
constexpr std::size_t kPebMinorVersionOffset = 0x11C;

// The primary monitor's DPI as this process sees it: per monitor where Windows tells it,
// else the system's, which a program that is not DPI aware always sees as 96.
int PrimaryScreenDpi() {
  using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
  static const ScopedModule shcore(L"shcore.dll");
  static const auto getDpiForMonitor = shcore.Find<GetDpiForMonitorFunction>("GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (getDpiForMonitor &&
      SUCCEEDED(getDpiForMonitor(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY),
                                 0 /* effective */, &x, &y)) &&
      y > 0)
    return static_cast<int>(y);
  const ScopedWindowDc screen(nullptr);
  const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

SystemVersion Win32SystemFacts::ReportedVersion() {
  // GetVersion is deprecated for its answer on later systems, which is exactly the
  // answer the program wants.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const DWORD version = GetVersion();
#pragma GCC diagnostic pop
  return {static_cast<int>(LOBYTE(LOWORD(version))), static_cast<int>(HIBYTE(LOWORD(version)))};
}

SystemVersion Win32SystemFacts::EnvironmentBlockVersion() {
  // GCC takes the segment-relative read inside NtCurrentTeb for an out-of-bounds one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  const auto* peb = reinterpret_cast<const unsigned char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
  ULONG major = 0, minor = 0;
  std::memcpy(&major, peb + kPebMajorVersionOffset, sizeof major);
  std::memcpy(&minor, peb + kPebMinorVersionOffset, sizeof minor);
  return {static_cast<int>(major), static_cast<int>(minor)};
}

ScreenSize Win32SystemFacts::PrimaryScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), PrimaryScreenDpi()};
}

std::string Win32SystemFacts::ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return Utf8(path);
    }
    path.resize(path.size() * 2);
  }
}

bool Win32Instances::ClaimInstance(std::string_view name) {
  mutex_.Reset(CreateMutexW(nullptr, TRUE, Wide(name).c_str()));
  return mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

bool Win32Instances::ShowWindowTitled(std::string_view title) {
  const HWND window = FindWindowW(nullptr, Wide(title).c_str());
  if (!window) return false;
  ShowWindowAsync(window, SW_SHOWNORMAL);
  return true;
}

void Win32Shell::OpenUrl(std::string_view url) {
  ShellExecuteW(nullptr, L"open", Wide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::StartProgram(std::string_view commandLine) {
  const std::optional<std::wstring> program = StartedProgramPath(commandLine);
  if (!program) return;
  std::wstring line = Wide(commandLine);
  std::vector<wchar_t> mutableLine(line.begin(), line.end());
  mutableLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program->c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    ReportSystemError("CreateProcessW " + Utf8(*program), GetLastError());
    return;
  }
  ScopedHandle thread(process.hThread);  // not waited for: only released
  ScopedHandle child(process.hProcess);
}

}  // namespace lumora::platform::win32
