// The real console runner with real child processes.
#include "platform/win32/win32_console.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "exec/exec_services.h"
#include "platform/steady_clock.h"
#include "platform/win32/scoped_win.h"
#include "support/test_support.h"
#include "ui/win32/win32_dispatcher.h"

namespace lumora::platform::win32 {
namespace {

using namespace std::chrono_literals;

std::string ChildCommand(std::string_view arguments) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  return "\"" + Utf8(folder) + "console_child.exe\" " + std::string(arguments);
}

const std::function<bool()> kAlways = [] { return true; };

TEST(Win32Console, ReturnsLongOutputWholeAndInOrder) {
  Win32Console console;
  const std::string output = console.Run(ChildCommand("print 5000"), kAlways);
  ASSERT_EQ(output.size(), 5000u);
  EXPECT_EQ(output.substr(0, 14), "line 0\nline 1\n");
  std::size_t previous = 0;
  for (int line = 1; line < 500; ++line) {
    const std::size_t at = output.find("line " + std::to_string(line) + "\n");
    if (at == std::string::npos) break;  // the last line is cut by the byte count
    EXPECT_GT(at, previous) << line;
    previous = at;
  }
}

TEST(Win32Console, MergesStandardErrorAndKeepsEveryByte) {
  Win32Console console;
  EXPECT_EQ(console.Run(ChildCommand("mixed"), kAlways), "out0\nerr0\nout1\nerr1\nout2\nerr2\n");
  EXPECT_EQ(console.Run(ChildCommand("zero"), kAlways), std::string("ab\0cd", 5));
  EXPECT_EQ(console.Run(ChildCommand("exit259"), kAlways), "bye");
}

// A program that does not start gives no output and one line in the log naming it; its
// arguments stay out of the log, since they can hold a pass phrase.
TEST(Win32Console, AProgramThatCannotStartIsReportedByItsNameAlone) {
  struct Case {
    std::string commandLine;
    std::string reportStart;
  };
  const Case cases[] = {
      {"no_such_program_here.exe key=secret", "CreateProcessW no_such_program_here.exe: error 2"},
      {"\"C:\\no such folder\\netsh.exe\" wlan set hostednetwork key=\"secret\"",
       "CreateProcessW C:\\no such folder\\netsh.exe: error "},
  };
  Win32Console console;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    testing::ExpectedFailureReports reports;
    EXPECT_EQ(console.Run(c.commandLine, kAlways), "");
    const std::vector<std::string> lines = reports.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with(c.reportStart)) << lines[0];
    EXPECT_EQ(lines[0].find("secret"), std::string::npos) << lines[0];
  }
}

TEST(Win32Console, TerminatesTheChildWhenToldToStop) {
  Win32Console console;
  const auto stopAt = std::chrono::steady_clock::now() + 300ms;
  const std::string output = console.Run(ChildCommand("forever"), [&] {
    return std::chrono::steady_clock::now() < stopAt;
  });
  ASSERT_EQ(output.rfind("pid=", 0), 0u) << output;
  const DWORD pid = static_cast<DWORD>(std::stoul(output.substr(4)));
  ScopedHandle child(OpenProcess(SYNCHRONIZE, FALSE, pid));
  if (child) {
    EXPECT_EQ(WaitForSingleObject(child.Get(), 2000), WAIT_OBJECT_0);
  }
}

TEST(Win32Console, EndingAWorkerStopsACommandThatNeverEnds) {
  Win32Console console;
  ui::win32::Win32Dispatcher dispatcher;
  SteadyClock clock;
  exec::ExecServices exec(console, dispatcher, clock);
  std::atomic<bool> started{false}, returned{false};
  const exec::WorkerHandle worker = exec.StartWorkerThread(
      [&] {
        started = true;
        exec.RunConsoleCommand(ChildCommand("forever"));
        returned = true;
      },
      true);
  while (!started) std::this_thread::sleep_for(1ms);
  exec.WaitPumping(300);
  const auto endAt = std::chrono::steady_clock::now();
  exec.EndWorkerThread(worker);
  exec.JoinAllWorkers();
  EXPECT_LT(std::chrono::steady_clock::now() - endAt, 3s);
  EXPECT_FALSE(returned);  // it left at the command, it did not go on
}

TEST(Win32Console, DecodesTheConsoleCodePageAndPumpsTheUiThread) {
  Win32Console console;
  ui::win32::Win32Dispatcher dispatcher;
  SteadyClock clock;
  exec::ExecServices exec(console, dispatcher, clock);
  EXPECT_EQ(exec.RunConsoleCommand(ChildCommand("cp936")), "中文");
  bool ranDuringCommand = false;
  dispatcher.Post([&] { ranDuringCommand = true; });
  EXPECT_EQ(exec.RunConsoleCommand(ChildCommand("sleep 200")), "slept");
  EXPECT_TRUE(ranDuringCommand);
}

}  // namespace
}  // namespace lumora::platform::win32
