// Real message boxes closed from another thread, as the end of the worker that shows
// one closes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "exec/exec_services.h"
#include "exec/worker_message_boxes.h"
#include "platform/steady_clock.h"
#include "platform/win32/scoped_win.h"
#include "ui/win32/win32_dispatcher.h"
#include "ui/win32/win32_view.h"

namespace lumora::ui::win32 {
namespace {

using namespace std::chrono_literals;

// The box with that title once it is up; nullptr when none comes within the limit.
HWND WaitForBox(const std::string& title) {
  const std::wstring wide = platform::win32::Wide(title);
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (const HWND box = FindWindowW(L"#32770", wide.c_str())) return box;
    std::this_thread::sleep_for(5ms);
  }
  return nullptr;
}

// Waits for the box's thread to come back; a box that stays up is clicked away so
// that the test fails instead of hanging.
template <typename Result>
bool CameBack(std::future<Result>& shown, HWND box) {
  if (shown.wait_for(10s) == std::future_status::ready) return true;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  shown.wait();
  return false;
}

TEST(Win32MessageBoxes, ACloseRequestEndsTheBoxWithItsDecliningButton) {
  const struct {
    unsigned style;
    int answer;
  } cases[] = {
      {MB_OK | MB_ICONERROR, IDOK},
      {MB_OKCANCEL, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDNO},
  };
  Win32MessageBoxes boxes;
  int number = 0;
  for (const auto& c : cases) {
    const std::string title = "关闭测试 " + std::to_string(++number);
    BoxClose close;
    std::future<int> shown = std::async(std::launch::async, [&] {
      return boxes.ShowClosable("防火墙打开失败，所依赖服务可能不完整！", title, c.style, close);
    });
    const HWND box = WaitForBox(title);
    ASSERT_NE(box, nullptr) << title;
    close.Request();
    ASSERT_TRUE(CameBack(shown, box)) << title;
    EXPECT_EQ(shown.get(), c.answer) << title;
    EXPECT_FALSE(IsWindow(box)) << title;
  }

  // A request that comes first shows no box at all.
  BoxClose early;
  early.Request();
  EXPECT_EQ(boxes.ShowClosable("不该出现", "关闭测试 0", MB_YESNO, early), IDNO);
}

class NoConsole final : public platform::ConsolePort {
 public:
  std::string Run(std::string_view, const std::function<bool()>&) override { return {}; }
};

TEST(Win32MessageBoxes, EndingTheWorkerThatShowsABoxClosesIt) {
  NoConsole console;
  Win32Dispatcher dispatcher;
  platform::SteadyClock clock;
  exec::ExecServices exec(console, dispatcher, clock);
  Win32MessageBoxes real;
  exec::WorkerMessageBoxes boxes(real);
  std::promise<bool> leftWithEnd;
  std::future<bool> left = leftWithEnd.get_future();
  const exec::WorkerHandle worker = exec.StartWorkerThread(
      [&] {
        try {
          boxes.Show("防火墙打开失败，所依赖服务可能不完整！", "关闭测试 工作线程",
                     MB_OK | MB_ICONERROR);
          leftWithEnd.set_value(false);
        } catch (const exec::WorkerEnded&) {
          leftWithEnd.set_value(true);
          throw;
        }
      },
      true);
  const HWND box = WaitForBox("关闭测试 工作线程");
  ASSERT_NE(box, nullptr);
  exec.EndWorkerThread(worker);
  ASSERT_TRUE(CameBack(left, box));
  EXPECT_TRUE(left.get());
  exec.JoinAllWorkers();
  EXPECT_FALSE(IsWindow(box));
}

}  // namespace
}  // namespace lumora::ui::win32
