#include "exec/exec_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "exec/worker_message_boxes.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/simulated_console.h"
#include "platform/steady_clock.h"
#include "support/test_support.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/headless/headless_ui.h"

namespace lumora::exec {
namespace {

using namespace std::chrono_literals;

// Polls until the condition holds; a test that fails does so within the limit.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = 5000ms) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class ExecServicesTest : public ::testing::Test {
 protected:
  platform::sim::ManualClock clock;
  platform::sim::SimulatedConsole console;
  ui::headless::HeadlessDispatcher dispatcher{clock};
  ExecServices exec{console, dispatcher, clock};

  // A program that runs until it is stopped, counting its starts.
  std::atomic<int> endlessStarts{0};
  void InstallEndlessProgram() {
    console.Install("endless", [this](std::string_view, const std::function<bool()>& keepGoing) {
      ++endlessStarts;
      while (keepGoing()) std::this_thread::sleep_for(1ms);
      return std::string("stopped");
    });
  }
};

TEST_F(ExecServicesTest, RunsCommandsAndDecodesTheirOutput) {
  console.Install("netsh", [](std::string_view arguments, const std::function<bool()>&) {
    return "已停止承载网络。 args=" + std::string(arguments);
  });
  EXPECT_EQ(exec.RunConsoleCommand("netsh wlan stop hostednetwork"),
            "已停止承载网络。 args=wlan stop hostednetwork");
  EXPECT_EQ(exec.RunConsoleCommand("NETSH.EXE x"), "已停止承载网络。 args=x");
  EXPECT_EQ(exec.RunConsoleCommand("nosuchprogram /all"), "");  // cannot start: empty text
  EXPECT_EQ(exec.RunConsoleCommand(""), "");
}

TEST_F(ExecServicesTest, UiThreadKeepsProcessingEventsWhileACommandRuns) {
  console.Install("slow", [](std::string_view, const std::function<bool()>& keepGoing) {
    keepGoing();  // one pass of the runner's loop
    return std::string("done");
  });
  bool ranDuringCommand = false;
  dispatcher.Post([&] { ranDuringCommand = true; });
  EXPECT_EQ(exec.RunConsoleCommand("slow"), "done");
  EXPECT_TRUE(ranDuringCommand);
}

TEST_F(ExecServicesTest, PostsRunInOrderOnTheUiThread) {
  std::vector<int> seen;
  std::atomic<bool> posted{false};
  exec.StartWorkerThread(
      [&] {
        for (int i = 0; i < 50; ++i) exec.PostToUi([&seen, i] { seen.push_back(i); });
        posted = true;
      },
      false);
  ASSERT_TRUE(Eventually([&] { return posted.load(); }));
  EXPECT_TRUE(seen.empty());  // nothing runs before the UI thread pumps
  dispatcher.ProcessPendingEvents();
  ASSERT_EQ(seen.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
}

TEST_F(ExecServicesTest, EndingAWorkerStopsItsCommandAndDropsItsPosts) {
  InstallEndlessProgram();
  std::atomic<bool> leftCommand{false};
  std::atomic<bool> reachedAfter{false};
  bool earlyPostRan = false;
  const WorkerHandle worker = exec.StartWorkerThread(
      [&] {
        exec.PostToUi([&] { earlyPostRan = true; });
        try {
          exec.RunConsoleCommand("endless");
        } catch (const WorkerEnded&) {
          leftCommand = true;
          throw;
        }
        reachedAfter = true;
      },
      true);
  ASSERT_TRUE(Eventually([&] { return endlessStarts.load() == 1; }));
  EXPECT_TRUE(exec.EndWorkerThread(worker));
  exec.JoinAllWorkers();
  EXPECT_TRUE(leftCommand);
  EXPECT_FALSE(reachedAfter);
  // The post made before the end was still queued: it is dropped as well.
  dispatcher.ProcessPendingEvents();
  EXPECT_FALSE(earlyPostRan);
}

TEST_F(ExecServicesTest, AnEndedWorkerStartsNoCommandAndPostsNothing) {
  InstallEndlessProgram();
  std::atomic<bool> ended{false};
  std::atomic<bool> postRan{false};
  WorkerHandle worker;
  std::atomic<bool> handleReady{false};
  worker = exec.StartWorkerThread(
      [&] {
        while (!handleReady) std::this_thread::sleep_for(1ms);
        exec.EndWorkerThread(worker);  // a worker may end itself
        ended = CurrentWorkerEnded();
        exec.PostToUi([&] { postRan = true; });
        exec.RunConsoleCommand("endless");
      },
      true);
  handleReady = true;
  exec.JoinAllWorkers();
  dispatcher.ProcessPendingEvents();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(postRan);
  EXPECT_EQ(endlessStarts.load(), 0);
  EXPECT_FALSE(CurrentWorkerEnded());  // the UI thread is never an ended worker
}

TEST_F(ExecServicesTest, AWorkerThatFailsIsReportedAndEndsAlone) {
  testing::ExpectedFailureReports reports;
  exec.StartWorkerThread([] { throw std::runtime_error("no adapter"); }, false);
  exec.StartWorkerThread([] { throw 7; }, false);
  std::atomic<bool> otherRan{false};
  exec.StartWorkerThread([&] { otherRan = true; }, false);
  exec.JoinAllWorkers();
  EXPECT_TRUE(otherRan);
  std::vector<std::string> lines = reports.Lines();
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "worker: unexpected exception of an unknown type",
                       "worker: unexpected exception: no adapter"}));
}

TEST_F(ExecServicesTest, JoiningAllWhileTheEventsItRunsStartWorkersJoinsEachOnce) {
  // A worker started from an event reaps the finished workers, among them the one
  // the join waits for.
  for (int round = 0; round < 300; ++round) {
    exec.StartWorkerThread(
        [this] {
          exec.PostToUi([this] { exec.StartWorkerThread([] {}, false); });
        },
        false);
    ASSERT_NO_THROW(exec.JoinAllWorkers()) << round;
  }
}

TEST_F(ExecServicesTest, AWorkerThatLeavesAtOnceIsJoinedWhileOtherStartsReapIt) {
  // Workers that start workers that leave at once, while this thread starts more: each
  // start reaps the finished ones, also one whose thread is only just being handed over.
  // A worker dropped unjoined ends the whole process.
  for (int round = 0; round < 400; ++round) {
    exec.StartWorkerThread([this] { exec.StartWorkerThread([] {}, false); }, false);
    exec.StartWorkerThread([] {}, false);
  }
  exec.JoinAllWorkers();
  EXPECT_EQ(exec.RunningWorkers(), 0);
}

TEST_F(ExecServicesTest, HandlesAreKeptOnlyWhenAsked) {
  EXPECT_EQ(exec.StartWorkerThread([] {}, false), nullptr);
  EXPECT_FALSE(exec.EndWorkerThread(nullptr));
  const WorkerHandle finished = exec.StartWorkerThread([] {}, true);
  exec.JoinAllWorkers();
  EXPECT_TRUE(exec.EndWorkerThread(finished));  // ending a finished worker is harmless
}

TEST_F(ExecServicesTest, WaitPumpingOnTheUiThreadLetsTimePassAndRunsPosts) {
  bool ran = false;
  dispatcher.Post([&] { ran = true; });
  const auto before = clock.NowMs();
  EXPECT_TRUE(exec.WaitPumping(3000));
  EXPECT_TRUE(ran);
  EXPECT_EQ(clock.NowMs() - before, 3000u);
  EXPECT_TRUE(exec.WaitPumping(0));
}

TEST_F(ExecServicesTest, AStopPathWaitsPumpingUntilTheEndedWorkerHasLeftItsPlatformCall) {
  std::atomic<bool> inCall{false}, letGo{false}, nextCallRan{false}, reachedAfter{false};
  const WorkerHandle worker = exec.StartWorkerThread(
      [&] {
        PlatformCall([&] {
          inCall = true;
          while (!letGo) std::this_thread::sleep_for(1ms);
        });
        reachedAfter = true;
      },
      true);
  ASSERT_TRUE(Eventually([&] { return inCall.load(); }));
  exec.EndWorkerThread(worker);
  // The call goes on until the platform answers; here a post lets it go, so the wait
  // must keep the UI thread's events flowing.
  dispatcher.Post([&] { letGo = true; });
  exec.WaitOutOfPlatformCall(worker);
  EXPECT_TRUE(letGo);
  exec.JoinAllWorkers();
  // The end that came during the call takes the worker out right after it.
  EXPECT_FALSE(reachedAfter);

  // An ended worker starts no platform call and no other worker.
  std::atomic<bool> otherStarted{false};
  WorkerHandle self;
  std::atomic<bool> handleReady{false};
  std::atomic<int> refused{0};
  self = exec.StartWorkerThread(
      [&] {
        while (!handleReady) std::this_thread::sleep_for(1ms);
        exec.EndWorkerThread(self);
        try {
          PlatformCall([&] { nextCallRan = true; });
        } catch (const WorkerEnded&) {
          ++refused;
        }
        try {
          exec.StartWorkerThread([&] { otherStarted = true; }, false);
        } catch (const WorkerEnded&) {
          ++refused;
        }
      },
      true);
  handleReady = true;
  exec.JoinAllWorkers();
  EXPECT_EQ(refused.load(), 2);
  EXPECT_FALSE(nextCallRan);
  EXPECT_FALSE(otherStarted);
  exec.WaitOutOfPlatformCall(nullptr);  // nothing to wait for
}

TEST_F(ExecServicesTest, EndingAWorkerClosesTheBoxItShowsAndAnEndedOneShowsNone) {
  ui::headless::HeadlessMessageBoxes boxes;
  boxes.KeepBoxesOpen();
  WorkerMessageBoxes messages(boxes);
  std::atomic<bool> actedOnAnswer{false}, leftWithEnd{false};
  const WorkerHandle worker = exec.StartWorkerThread(
      [&] {
        try {
          messages.Show("更新？", "提示", ui::kMessageYesNo);
          actedOnAnswer = true;
        } catch (const WorkerEnded&) {
          leftWithEnd = true;
        }
        messages.Show("再一个", "提示", ui::kMessageOk);  // ended: never shown
      },
      true);
  ASSERT_TRUE(Eventually([&] { return boxes.OpenBoxes() == 1; }));
  exec.EndWorkerThread(worker);
  EXPECT_EQ(boxes.OpenBoxes(), 0);  // closed by the end itself, before it returns
  exec.JoinAllWorkers();
  EXPECT_TRUE(leftWithEnd);
  EXPECT_FALSE(actedOnAnswer);
  const auto shown = boxes.AllShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].closed);

  // A box that is answered gives its answer; off a worker, closing is the user's alone.
  std::atomic<int> answer{0};
  exec.StartWorkerThread([&] { answer = messages.Show("更新？", "提示", ui::kMessageYesNo); },
                         false);
  ASSERT_TRUE(Eventually([&] { return boxes.OpenBoxes() == 1; }));
  EXPECT_TRUE(boxes.AnswerOpenBox(ui::kAnswerYes));
  exec.JoinAllWorkers();
  EXPECT_EQ(answer.load(), ui::kAnswerYes);
}

TEST(MessageBoxes, AClosedBoxAnswersWithItsDecliningButton) {
  const struct {
    unsigned style;
    int answer;
  } cases[] = {
      {ui::kMessageOk | ui::kMessageIconError, ui::kAnswerOk},
      {ui::kMessageOkCancel, ui::kAnswerCancel},
      {ui::kMessageYesNo | ui::kMessageIconQuestion, ui::kAnswerNo},
  };
  ui::headless::HeadlessMessageBoxes boxes;
  for (const auto& c : cases) {
    // A close that comes first keeps the box from showing at all.
    ui::BoxClose close;
    close.Request();
    EXPECT_EQ(boxes.ShowClosable("x", "y", c.style, close), c.answer);
    EXPECT_EQ(ui::DeclineAnswer(c.style), c.answer);
  }
  EXPECT_TRUE(boxes.AllShown().empty());
}

TEST(ExecServicesRealTime, AWorkerWaitEndsEarlyWhenTheWorkerIsEnded) {
  platform::SteadyClock clock;
  platform::sim::SimulatedConsole console;
  ui::headless::HeadlessDispatcher dispatcher{clock};
  ExecServices exec{console, dispatcher, clock};
  std::atomic<bool> waiting{false};
  std::atomic<bool> passedWait{false};
  const WorkerHandle worker = exec.StartWorkerThread(
      [&] {
        waiting = true;
        exec.WaitPumping(60000);
        passedWait = true;
      },
      true);
  ASSERT_TRUE(Eventually([&] { return waiting.load(); }));
  const auto start = std::chrono::steady_clock::now();
  exec.EndWorkerThread(worker);
  exec.JoinAllWorkers();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);
  EXPECT_FALSE(passedWait);
}

TEST(ExecServicesRealTime, EndsThatMeetAWorkerEnteringOrLeavingAWaitNeverHang) {
  // Ends land at random moments around workers' waits for the UI thread and for time;
  // every worker must leave. One that does not is reported, not waited for.
  platform::SteadyClock clock;
  platform::sim::SimulatedConsole console;
  ui::headless::HeadlessDispatcher dispatcher{clock};
  ExecServices exec{console, dispatcher, clock};
  std::mt19937 random(2026);
  std::uniform_int_distribution<int> spins(0, 20000);
  constexpr int kBatches = 100, kWorkersPerBatch = 20;
  [[maybe_unused]] volatile int spinSink = 0;
  for (int batch = 0; batch < kBatches; ++batch) {
    std::atomic<int> left{0};
    std::vector<WorkerHandle> workers;
    for (int i = 0; i < kWorkersPerBatch; ++i) {
      workers.push_back(exec.StartWorkerThread(
          [&] {
            struct LeaveMark {
              std::atomic<int>& left;
              ~LeaveMark() { ++left; }
            } mark{left};
            for (;;) {
              exec.RunOnUi([] {});
              exec.WaitPumping(1);
            }
          },
          true));
    }
    for (const WorkerHandle& worker : workers) {
      // A busy spin, not a yield: on a loaded machine a yield gives the processor away
      // for a whole time slice.
      for (int spin = spins(random); spin > 0; --spin) {
        spinSink = spin;
        if (spin % 512 == 0) dispatcher.ProcessPendingEvents();
      }
      exec.EndWorkerThread(worker);
    }
    if (!Eventually([&] { return left == kWorkersPerBatch; }, 20000ms)) {
      std::fprintf(stderr, "batch %d: an ended worker never left its wait\n", batch);
      std::_Exit(1);
    }
    exec.JoinAllWorkers();
  }
}

}  // namespace
}  // namespace lumora::exec
