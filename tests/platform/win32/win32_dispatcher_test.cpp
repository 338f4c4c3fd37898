// Posting and pumping waits on a real message loop.
#include "ui/win32/win32_dispatcher.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "exec/exec_services.h"
#include "platform/sim/simulated_console.h"
#include "platform/steady_clock.h"
#include "support/test_support.h"

namespace lumora::ui::win32 {
namespace {

using namespace std::chrono_literals;

int gTimerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++gTimerTicks; }

TEST(Win32Dispatcher, WaitPumpingKeepsDispatchingMessages) {
  Win32Dispatcher dispatcher;
  gTimerTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &CountTick);
  bool posted = false;
  std::thread other([&] { dispatcher.Post([&] { posted = true; }); });
  other.join();
  const auto start = std::chrono::steady_clock::now();
  dispatcher.WaitPumping(300);
  const auto waited = std::chrono::steady_clock::now() - start;
  KillTimer(nullptr, timer);
  EXPECT_TRUE(posted);
  EXPECT_GE(gTimerTicks, 3);
  EXPECT_GE(waited, 280ms);
  EXPECT_LT(waited, 2000ms);
}

TEST(Win32Dispatcher, PostsRunInOrderAlsoWhenATaskPumpsAgain) {
  Win32Dispatcher dispatcher;
  EXPECT_TRUE(dispatcher.IsUiThread());
  std::vector<int> seen;
  dispatcher.Post([&] {
    seen.push_back(1);
    dispatcher.WaitPumping(20);  // a nested wait inside a handler
  });
  dispatcher.Post([&] { seen.push_back(2); });
  dispatcher.Post([&] { seen.push_back(3); });
  const auto start = std::chrono::steady_clock::now();
  dispatcher.WaitPumping(0);
  dispatcher.ProcessPendingEvents();
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
  bool fromOtherThread = true;
  std::thread([&] { fromOtherThread = dispatcher.IsUiThread(); }).join();
  EXPECT_FALSE(fromOtherThread);
}

TEST(Win32Dispatcher, ATaskThatThrowsIsReportedAndReleasesTheWorkerWaitingForIt) {
  Win32Dispatcher dispatcher;
  platform::sim::SimulatedConsole console;
  platform::SteadyClock clock;
  lumora::testing::ExpectedFailureReports reports;
  std::atomic<bool> wentOn{false};
  bool laterTaskRan = false;
  {
    exec::ExecServices exec(console, dispatcher, clock);
    exec.StartWorkerThread(
        [&] {
          exec.RunOnUi([] { throw std::runtime_error("the step broke"); });
          wentOn = true;
        },
        false);
    for (int slice = 0; slice < 500 && !wentOn; ++slice) dispatcher.WaitPumping(10);
    EXPECT_TRUE(wentOn);
    // A task of the UI thread's own that throws leaves the tasks after it to run.
    dispatcher.Post([] { throw 7; });
    dispatcher.Post([&] { laterTaskRan = true; });
    dispatcher.WaitPumping(0);
    dispatcher.ProcessPendingEvents();
    EXPECT_TRUE(laterTaskRan);
  }
  const std::vector<std::string> lines = reports.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("the step broke"), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace lumora::ui::win32
