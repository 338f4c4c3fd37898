// Programs and DLLs that someone left where Windows looks for files by name: beside the
// program, which runs as administrator from wherever it was saved, and in its current
// folder. What the program starts and loads comes from the system folder all the same.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/win32/scoped_module.h"
#include "platform/win32/win32_console.h"
#include "support/test_support.h"

namespace lumora::platform::win32 {
namespace {

namespace fs = std::filesystem;

fs::path OwnFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

fs::path MarkOf(const fs::path& planted) { return fs::path(planted.wstring() + L".ran"); }

// A copy of a file under a name of its choosing, removed with its mark on destruction.
class PlantedFile {
 public:
  PlantedFile(const fs::path& from, fs::path at) : at_(std::move(at)) {
    Remove();
    fs::copy_file(from, at_);
  }
  ~PlantedFile() { Remove(); }
  PlantedFile(const PlantedFile&) = delete;
  PlantedFile& operator=(const PlantedFile&) = delete;
  bool Ran() const { return fs::exists(MarkOf(at_)); }

 private:
  void Remove() {
    std::error_code ignored;
    fs::remove(at_, ignored);
    fs::remove(MarkOf(at_), ignored);
  }
  fs::path at_;
};

// The process's current folder for as long as it lives.
class CurrentFolder {
 public:
  explicit CurrentFolder(const fs::path& folder) : before_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~CurrentFolder() {
    std::error_code ignored;
    fs::current_path(before_, ignored);
  }

 private:
  fs::path before_;
};

TEST(PlantedFiles, OnlyProgramsOfTheSystemFolderAndFullPathsAreStarted) {
  struct Case {
    std::string commandLine;
    std::optional<std::wstring> program;  // nothing: refused
  };
  const Case cases[] = {
      {"netsh wlan start hostednetwork", SystemFolderPath(L"netsh.exe")},
      {"netsh", SystemFolderPath(L"netsh.exe")},
      {"control.exe ncpa.cpl", SystemFolderPath(L"control.exe")},
      {"\"C:\\some folder\\netsh.exe\" wlan show drivers", L"C:\\some folder\\netsh.exe"},
      {"z:/tools/netsh.exe wlan", L"z:/tools/netsh.exe"},
      {".\\netsh wlan show drivers", std::nullopt},
      {"tools\\netsh.exe wlan", std::nullopt},
      {"..\\netsh.exe wlan", std::nullopt},
      {"C:netsh.exe wlan", std::nullopt},
      {"\\netsh.exe wlan", std::nullopt},
      {"\\\\server\\share\\netsh.exe wlan", std::nullopt},
      {".. wlan", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    testing::ExpectedFailureReports reports;
    EXPECT_EQ(StartedProgramPath(c.commandLine), c.program);
    // A refusal is reported, by the program's name alone.
    EXPECT_EQ(reports.Lines().size(), c.program ? 0u : 1u);
  }
}

TEST(PlantedFiles, ANetshBesideTheProgramOrInTheCurrentFolderNeverRuns) {
  const fs::path planted = OwnFolder() / "planted_program.exe";
  ASSERT_TRUE(fs::exists(planted));
  testing::TempFolder current;
  const PlantedFile besideProgram(planted, OwnFolder() / "netsh.exe");
  const PlantedFile inCurrentFolder(planted, current.Path() / "netsh.exe");
  {
    const CurrentFolder inside(current.Path());
    // The commands of a start and of its end, as the hotspot runs them.
    const char* const commands[] = {
        "netsh wlan show drivers",
        "netsh wlan set hostednetwork mode=allow ssid=\"LumoraWiFi\" key=\"12345678\"",
        "netsh wlan start hostednetwork",
        "netsh interface ipv4 show addresses",
        "netsh interface ip set address name=\"Local Area Connection* 2\" source=static "
        "addr=192.168.137.1 mask=255.255.255.0",
        "netsh wlan stop hostednetwork",
    };
    Win32Console console;
    for (const char* command : commands) console.Run(command, [] { return true; });
  }
  EXPECT_FALSE(besideProgram.Ran());
  EXPECT_FALSE(inCurrentFolder.Ran());
}

// A function that this Windows lacks, or whose DLL it lacks, is reported once and then
// answers its failure value with ERROR_PROC_NOT_FOUND, where calling it would crash.
TEST(PlantedFiles, AMissingSystemFunctionIsReportedAndFailsItsCallsCleanly) {
  using NoArguments = DWORD();
  struct Case {
    const wchar_t* dll;
    const char* function;
    std::string report;  // the start of the one report; empty: none
  };
  const Case cases[] = {
      {L"kernel32.dll", "GetCurrentProcessId", ""},
      {L"kernel32.dll", "NoSuchFunctionAnywhere",
       "kernel32.dll: NoSuchFunctionAnywhere is missing"},
      {L"no_such_system_library.dll", "GetCurrentProcessId", "LoadLibraryW "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    testing::ExpectedFailureReports reports;
    const SystemDll dll(c.dll);
    const SystemFunction<NoArguments> function(dll, c.function, 0xFA11u);
    SetLastError(0);
    const DWORD result = function();
    const std::vector<std::string> lines = reports.Lines();
    if (c.report.empty()) {
      EXPECT_EQ(result, GetCurrentProcessId());
      EXPECT_TRUE(lines.empty());
    } else {
      EXPECT_EQ(result, 0xFA11u);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_TRUE(lines[0].starts_with(c.report)) << lines[0];
    }
  }
}

// Once the program has started, a DLL asked for by its name alone comes from the system
// folder or not at all, even where a file of that name lies beside the program.
TEST(PlantedFiles, AfterTheStartNoDllIsTakenFromTheProgramsFolder) {
  ASSERT_TRUE(fs::exists(OwnFolder() / "planted_dll.dll"));
  KeepDllSearchInSystemFolder();
  const HMODULE planted = LoadLibraryW(L"planted_dll.dll");
  EXPECT_EQ(planted, nullptr);
  if (planted) FreeLibrary(planted);
  // The system's own DLLs are found as before.
  const HMODULE system = LoadLibraryW(L"version.dll");
  EXPECT_NE(system, nullptr);
  if (system) FreeLibrary(system);
}

bool StartsWithFolder(std::wstring path, std::wstring folder) {
  const auto lower = [](std::wstring& text) {
    std::replace(text.begin(), text.end(), L'/', L'\\');
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  };
  lower(path);
  lower(folder);
  if (path.starts_with(L"\\\\?\\")) path.erase(0, 4);
  return path.starts_with(folder + L"\\");
}

// The name of a DLL the debugger was told of: from its file, else from the process.
std::wstring LoadedDllPath(HANDLE process, const LOAD_DLL_DEBUG_INFO& load) {
  std::wstring path(MAX_PATH, L'\0');
  if (load.hFile) {
    const DWORD length =
        GetFinalPathNameByHandleW(load.hFile, path.data(), MAX_PATH, FILE_NAME_NORMALIZED);
    CloseHandle(load.hFile);
    if (length > 0 && length < MAX_PATH) return path.substr(0, length);
  }
  void* remote = nullptr;
  if (load.lpImageName && load.fUnicode &&
      ReadProcessMemory(process, load.lpImageName, &remote, sizeof remote, nullptr) && remote &&
      ReadProcessMemory(process, remote, path.data(), (MAX_PATH - 1) * sizeof(wchar_t), nullptr))
    return path.c_str();
  return {};
}

// Starts the program as its debugger and ends it at the loader's first breakpoint, when
// every DLL it imports has been loaded: the paths of those DLLs.
std::vector<std::wstring> DllsLoadedAtStart(const fs::path& program) {
  std::vector<std::wstring> loaded;
  std::wstring line = L"\"" + program.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                      DEBUG_ONLY_THIS_PROCESS, nullptr, program.parent_path().c_str(), &startup,
                      &process)) {
    ADD_FAILURE() << "CreateProcessW: error " << GetLastError();
    return loaded;
  }
  bool ended = false;
  bool stopped = false;
  while (!ended) {
    DEBUG_EVENT event{};
    // A generous limit for a loader that never reaches its breakpoint.
    if (!WaitForDebugEvent(&event, 60000)) {
      ADD_FAILURE() << "no debug event";
      TerminateProcess(process.hProcess, 1);
      break;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        loaded.push_back(LoadedDllPath(process.hProcess, event.u.LoadDll));
        break;
      case EXCEPTION_DEBUG_EVENT:
        if (!stopped && event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT) {
          stopped = true;
          TerminateProcess(process.hProcess, 0);
        } else {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        ended = true;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_TRUE(stopped) << program << " ended before its loader was done";
  return loaded;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"); }

std::wstring WineDllOverrides() {
  wchar_t value[1024];
  const DWORD length = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", value, 1024);
  return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

TEST(PlantedFiles, ADllBesideTheProgramIsNotLoaded) {
  const fs::path plantedDll = OwnFolder() / "planted_dll.dll";
  ASSERT_TRUE(fs::exists(plantedDll));
  // Wine prefers its own copy of a system DLL to a file of that name found beside the
  // program, where Windows takes the file: the test's environment asks Wine, through
  // ctest, to take it as Windows does (a variable that a started process's loader reads
  // only from the environment Wine itself was started with).
  if (UnderWine()) {
    ASSERT_NE(WineDllOverrides().find(L"msimg32=n,b"), std::wstring::npos)
        << "WINEDLLOVERRIDES must hold msimg32=n,b";
  }
  for (const char* name : {"LumoraWiFi.exe", "LumoraWiFiSim.exe"}) {
    SCOPED_TRACE(name);
    // A folder such as Downloads: the program and a DLL a web page saved next to it.
    testing::TempFolder downloads;
    fs::copy_file(fs::path(LUMORA_PROGRAMS_FOLDER) / name, downloads.Path() / name);
    const PlantedFile msimg32(plantedDll, downloads.Path() / "MSIMG32.dll");
    for (const std::wstring& dll : DllsLoadedAtStart(downloads.Path() / name))
      EXPECT_FALSE(StartsWithFolder(dll, downloads.Path().wstring())) << fs::path(dll);
    EXPECT_FALSE(msimg32.Ran());
  }
}

}  // namespace
}  // namespace lumora::platform::win32
