#pragma once
// The UI thread's queue. Only the UI thread changes the windows; every other thread
// asks for a change by posting it here, and posts run in the order they were made.

#include <cstdint>
#include <functional>

namespace lumora::ui {

class UiDispatcher {
 public:
  virtual ~UiDispatcher() = default;

  // Queues a task for the UI thread; callable from any thread.
  virtual void Post(std::function<void()> task) = 0;

  // UI thread: runs the events that are waiting now (posts, input, timers), then
  // returns.
  virtual void ProcessPendingEvents() = 0;

  // UI thread: lets ms pass while events keep being processed, so a wait never
  // freezes the window. Handlers that run meanwhile may wait themselves.
  virtual void WaitPumping(std::uint32_t ms) = 0;

  virtual bool IsUiThread() const = 0;
};

}  // namespace lumora::ui
