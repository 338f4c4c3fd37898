// Start-up benchmark. For LumoraWiFiSim.exe and for a program that only opens a window,
// started alternately in the same run, it measures from process start:
//  - first paint: the main window is shown and it and every control shown on it have
//    painted (their update regions are empty) and the window's thread has gone back to
//    its message loop (a WM_NULL sent to it is answered), so the paint has ended;
//  - ready: the start button reads "开启WiFi" and is enabled;
//  - private memory once ready (the bare window: once painted);
// and, in a run of its own with the hotspot started, the window hidden and the speed bar
// shown, the share of one core the program uses over 20 s.
// The floors show what any program pays before its first paint under this Wine: the
// bare window with as many plain buttons as LumoraWiFiSim.exe shows at its first paint,
// the bare window loading at start the DLLs and manifest the program loads, and the two
// together.
// Nothing of it needs the program's help: the update regions, the window texts and the
// process's counters are all read from outside.
//   startup_bench LumoraWiFiSim.exe minimal_window.exe minimal_window_dlls.exe
//                 LumoraWiFi.exe [runs]
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kProgramTitle[] = L"LumoraWiFi5.0";
constexpr wchar_t kBareTitle[] = L"LumoraBenchMinimal";
constexpr wchar_t kSpeedBarClass[] = L"LumoraSpeedBar";
constexpr double kGiveUpMs = 30000;

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / frequency;
}

// A started program, ended when this goes.
class Started {
 public:
  explicit Started(const std::wstring& program, const std::wstring& arguments = {}) {
    std::wstring line = L"\"" + program + L"\"";
    if (!arguments.empty()) line += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    start_ = Now();
    started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_);
  }
  ~Started() {
    if (!started_) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  bool Running() const {
    return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }
  double Elapsed() const { return Now() - start_; }
  HANDLE Process() const { return process_.hProcess; }

  // Polls until found returns a window or the time is up (nullptr then).
  template <typename Find>
  HWND Await(Find found) const {
    while (Running() && Elapsed() < kGiveUpMs) {
      if (const HWND window = found()) return window;
      Sleep(1);
    }
    return nullptr;
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
  double start_ = 0;
};

bool HasUpdateRegion(HWND window) {
  return IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE);
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM found) {
  if (!HasUpdateRegion(window)) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

// Whether the window is shown and it and all it shows have painted. The window paints
// before its controls, so they are only looked at once it has.
bool Painted(HWND window) {
  if (!IsWindowVisible(window) || HasUpdateRegion(window)) return false;
  bool unpainted = false;
  EnumChildWindows(window, &FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

// The window's thread has answered a message sent after the paint: it is out of it.
bool PaintEnded(HWND window) {
  DWORD_PTR result = 0;
  return Painted(window) &&
         SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) && Painted(window);
}

HWND PaintedWindow(const wchar_t* title) {
  const HWND window = FindWindowW(nullptr, title);
  return window && PaintEnded(window) ? window : nullptr;
}

struct TextSearch {
  const wchar_t* text;
  bool enabled;
  HWND found = nullptr;
};

BOOL CALLBACK FindText(HWND window, LPARAM search) {
  auto& s = *reinterpret_cast<TextSearch*>(search);
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  if (wcscmp(text, s.text) != 0 || (s.enabled && !IsWindowEnabled(window))) return TRUE;
  s.found = window;
  return FALSE;
}

// The control of the window with the text, enabled when asked; nullptr when none is.
HWND ControlWithText(HWND window, const wchar_t* text, bool enabled) {
  TextSearch search{text, enabled};
  if (window) EnumChildWindows(window, &FindText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CountShown(HWND window, LPARAM count) {
  if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The windows shown on the window, its controls and theirs.
int ShownControls(HWND window) {
  int count = 0;
  EnumChildWindows(window, &CountShown, reinterpret_cast<LPARAM>(&count));
  return count;
}

HWND ReadyButton() {
  return ControlWithText(FindWindowW(nullptr, kProgramTitle), L"开启WiFi", true);
}

// The memory the process has committed for itself (its private bytes, the pagefile
// usage Windows counts for it).
double PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  return static_cast<double>(counters.PagefileUsage);
}

// The CPU time, in milliseconds, of the Wine process whose Linux name (the first 15
// characters of the executable's name) is given; -1 when no such process is found.
// Wine does not tell another process's times, so they are read where Linux keeps them.
double CpuMsOfLinuxProcess(const std::string& name) {
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return -1;
  double ms = -1;
  do {
    if (!std::isdigit(static_cast<unsigned char>(entry.cFileName[0]))) continue;
    const std::string path = std::string("Z:\\proc\\") + entry.cFileName + "\\stat";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    char buffer[1024] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    // pid (comm) state ppid ... with utime and stime the 14th and 15th fields.
    const std::string stat(buffer, read);
    const std::size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos ||
        stat.substr(open + 1, close - open - 1) != name.substr(0, 15))
      continue;
    unsigned long long user = 0, kernel = 0;
    if (std::sscanf(stat.c_str() + close + 2,
                    "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &kernel) == 2)
      ms = static_cast<double>(user + kernel) * 1000.0 / 100.0;  // USER_HZ
  } while (ms < 0 && FindNextFileA(search, &entry));
  FindClose(search);
  return ms;
}

struct Start {
  double firstPaint = -1;
  double ready = -1;
  double privateBytes = -1;
  int shownControls = 0;  // at the first paint
};

Start StartBare(const std::wstring& program, const std::wstring& arguments = {}) {
  Started started(program, arguments);
  Start start;
  if (!started.Await([] { return PaintedWindow(kBareTitle); })) return start;
  start.firstPaint = started.Elapsed();
  start.privateBytes = PrivateBytes(started.Process());
  return start;
}

Start StartProgram(const std::wstring& program) {
  Started started(program);
  Start start;
  const HWND window = started.Await([] { return PaintedWindow(kProgramTitle); });
  if (!window) return start;
  start.firstPaint = started.Elapsed();
  start.shownControls = ShownControls(window);
  if (!started.Await(ReadyButton)) return start;
  start.ready = started.Elapsed();
  start.privateBytes = PrivateBytes(started.Process());
  return start;
}

// The settings file of the simulated PC's program, in its code page (936): the hotspot
// starts with the program and the speed bar is shown.
bool WriteIdleSettings(const wchar_t* path) {
  // [流量条] 是否开=是, [qidong] qidong=y
  static const char kText[] =
      "[\xc1\xf7\xc1\xbf\xcc\xf5]\r\n\xca\xc7\xb7\xf1\xbf\xaa=\xca\xc7\r\n"
      "[qidong]\r\nqidong=y\r\n";
  const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, kText, sizeof kText - 1, &written, nullptr) && written == sizeof kText - 1;
  CloseHandle(file);
  return ok;
}

// The share of one core, in percent, the program takes over 20 s with the hotspot
// running, its window hidden to the tray and the speed bar shown; -1 when it could not
// be brought there.
double IdleCpuPercent(const std::wstring& program, const wchar_t* settingsPath) {
  const std::wstring file = program.substr(program.find_last_of(L"\\/") + 1);
  const std::string linuxName(file.begin(), file.end());
  if (!WriteIdleSettings(settingsPath)) return -1;
  double percent = -1;
  {
    Started started(program);
    const auto running = [] {
      return ControlWithText(FindWindowW(nullptr, kProgramTitle), L"关闭WiFi", true);
    };
    const auto toTray = [] {
      return ControlWithText(FindWindowW(nullptr, kProgramTitle), L"缩小到右下角", true);
    };
    const auto speedBar = [] {
      const HWND bar = FindWindowW(kSpeedBarClass, nullptr);
      return bar && IsWindowVisible(bar) ? bar : nullptr;
    };
    const auto hidden = [] {
      const HWND main = FindWindowW(nullptr, kProgramTitle);
      return main && !IsWindowVisible(main) ? main : nullptr;
    };
    if (started.Await(running) && started.Await(speedBar)) {
      DWORD_PTR result = 0;
      SendMessageTimeoutW(started.Await(toTray), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
      if (started.Await(hidden)) {
        // Whatever the start and the hiding set going settles first.
        Sleep(2000);
        const double before = CpuMsOfLinuxProcess(linuxName);
        const double from = Now();
        Sleep(20000);
        const double used = CpuMsOfLinuxProcess(linuxName) - before;
        if (before >= 0 && started.Running() && speedBar()) percent = 100.0 * used / (Now() - from);
      }
    }
  }
  DeleteFileW(settingsPath);
  return percent;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<double>((ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: startup_bench LumoraWiFiSim.exe minimal_window.exe "
                 "minimal_window_dlls.exe LumoraWiFi.exe [runs]\n");
    return 2;
  }
  const std::wstring program = argv[1], bare = argv[2], bareWithDlls = argv[3], product = argv[4];
  const int runs = argc > 5 ? _wtoi(argv[5]) : 11;
  constexpr wchar_t kSettingsPath[] = L"c:\\lmrawifi.ini";
  DeleteFileW(kSettingsPath);

  // One start of each first, unmeasured: the first start of any program pays for
  // loading Wine's own DLLs. The program's tells how many windows it shows.
  StartBare(bare);
  StartBare(bareWithDlls);
  const int shown = StartProgram(program).shownControls;
  if (shown == 0) {
    std::printf("warm-up start: LumoraWiFiSim.exe did not come up painted within 30 s\n");
    return 1;
  }
  const std::wstring buttons = std::to_wstring(shown);
  StartBare(bare, buttons);
  StartBare(bareWithDlls, buttons);
  std::vector<double> programPaint, programReady, programMemory, barePaint, bareMemory;
  std::vector<double> buttonsPaint, dllsPaint, bothPaint;
  for (int i = 0; i < runs; ++i) {
    const Start b = StartBare(bare);
    const Start withButtons = StartBare(bare, buttons);
    const Start withDlls = StartBare(bareWithDlls);
    const Start withBoth = StartBare(bareWithDlls, buttons);
    const Start p = StartProgram(program);
    const char* failure =
        b.firstPaint < 0             ? "the bare window did not come up painted"
        : withButtons.firstPaint < 0 ? "the window with buttons did not come up painted"
        : withDlls.firstPaint < 0    ? "the window with the DLLs did not come up painted"
        : withBoth.firstPaint < 0    ? "the window with the DLLs and buttons did not come up"
        : p.firstPaint < 0           ? "LumoraWiFiSim.exe did not come up painted"
        : p.ready < 0                ? "LumoraWiFiSim.exe's start button did not become ready"
                                     : nullptr;
    if (failure) {
      std::printf("start %d of %d: %s within 30 s\n", i + 1, runs, failure);
      return 1;
    }
    barePaint.push_back(b.firstPaint);
    bareMemory.push_back(b.privateBytes);
    buttonsPaint.push_back(withButtons.firstPaint);
    dllsPaint.push_back(withDlls.firstPaint);
    bothPaint.push_back(withBoth.firstPaint);
    programPaint.push_back(p.firstPaint);
    programReady.push_back(p.ready);
    programMemory.push_back(p.privateBytes);
  }
  const double paint = Median(programPaint), bareFirstPaint = Median(barePaint);
  const double ready = Median(programReady);
  std::printf(
      "first paint, median of %d: LumoraWiFiSim.exe %.0f ms, bare window %.0f ms, "
      "ratio %.2f (target at most 1.3)\n",
      runs, paint, bareFirstPaint, paint / bareFirstPaint);
  const double withButtons = Median(buttonsPaint), withDlls = Median(dllsPaint),
               withBoth = Median(bothPaint);
  std::printf(
      "  floors, same runs, against the bare window: with %d plain buttons (as many windows "
      "as the program shows) %.0f ms, ratio %.2f; with the program's DLLs and manifest "
      "%.0f ms, ratio %.2f; with both %.0f ms, ratio %.2f\n",
      shown, withButtons, withButtons / bareFirstPaint, withDlls, withDlls / bareFirstPaint,
      withBoth, withBoth / bareFirstPaint);
  std::printf(
      "ready (start button enabled), median of %d: %.0f ms, %.2f times the "
      "program's first paint (target at most 1.5)\n",
      runs, ready, ready / paint);
  std::printf(
      "size: LumoraWiFi.exe %.0f bytes (target under 1048576), LumoraWiFiSim.exe %.0f "
      "bytes, bare window %.0f bytes\n",
      FileBytes(product), FileBytes(program), FileBytes(bare));
  const double memory = Median(programMemory), bareMemory_ = Median(bareMemory);
  std::printf(
      "private memory, median: LumoraWiFiSim.exe %.0f KB once ready, bare window "
      "%.0f KB once painted, ratio %.2f\n",
      memory / 1024, bareMemory_ / 1024, memory / bareMemory_);
  const double idle = IdleCpuPercent(program, kSettingsPath);
  if (idle < 0) {
    std::printf("idle CPU: the hotspot did not come up with the speed bar shown\n");
    return 1;
  }
  std::printf(
      "idle CPU over 20 s, hotspot running, window hidden, speed bar shown: %.2f %% of "
      "one core (target under 0.5 %%)\n",
      idle);
  return 0;
}
