#pragma once
// The UI dispatcher of the real program: posts travel as a message to a message-only
// window of the UI thread, and waits keep the thread's message loop running.

#include <deque>
#include <functional>
#include <mutex>

#include "ui/ui_dispatcher.h"

namespace lumora::ui::win32 {

class Win32Dispatcher final : public UiDispatcher {
 public:
  // The creating thread is the UI thread.
  Win32Dispatcher();
  ~Win32Dispatcher() override;
  Win32Dispatcher(const Win32Dispatcher&) = delete;
  Win32Dispatcher& operator=(const Win32Dispatcher&) = delete;

  void Post(std::function<void()> task) override;
  void ProcessPendingEvents() override;
  void WaitPumping(std::uint32_t ms) override;
  bool IsUiThread() const override;

  // Runs the queued posts; called by the dispatcher's window.
  void RunPostedTasks();

 private:

  void* window_ = nullptr;  // HWND of the message-only window
  unsigned long uiThreadId_ = 0;
  std::mutex lock_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace lumora::ui::win32
