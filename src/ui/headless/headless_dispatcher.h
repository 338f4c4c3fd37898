#pragma once
// The UI dispatcher of tests: posts wait in a queue until the test (the UI thread)
// pumps them, and waits let the clock's time pass.

#include <deque>
#include <mutex>
#include <thread>

#include "platform/clock_port.h"
#include "ui/ui_dispatcher.h"

namespace lumora::ui::headless {

class HeadlessDispatcher final : public UiDispatcher {
 public:
  // The creating thread is the UI thread.
  explicit HeadlessDispatcher(platform::Clock& clock);

  void Post(std::function<void()> task) override;
  void ProcessPendingEvents() override;
  void WaitPumping(std::uint32_t ms) override;
  bool IsUiThread() const override { return std::this_thread::get_id() == uiThread_; }

  std::size_t PendingCount() const;

  // Another source of events (the timers of the windows), asked after the posts each
  // time events are processed.
  void SetEventSource(std::function<void()> source) { eventSource_ = std::move(source); }

 private:
  std::function<void()> eventSource_;
  platform::Clock& clock_;
  std::thread::id uiThread_;
  mutable std::mutex lock_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace lumora::ui::headless
