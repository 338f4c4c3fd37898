#include "ui/headless/headless_dispatcher.h"

#include <algorithm>

namespace lumora::ui::headless {

HeadlessDispatcher::HeadlessDispatcher(platform::Clock& clock)
    : clock_(clock), uiThread_(std::this_thread::get_id()) {}

void HeadlessDispatcher::Post(std::function<void()> task) {
  std::lock_guard guard(lock_);
  queue_.push_back(std::move(task));
}

void HeadlessDispatcher::ProcessPendingEvents() {
  // Only what is queued now runs; posts made meanwhile wait for the next pump, as in
  // a message loop. Tasks are taken one at a time, so a nested pump inside a task
  // keeps the order of posts.
  std::size_t budget;
  {
    std::lock_guard guard(lock_);
    budget = queue_.size();
  }
  while (budget-- > 0) {
    std::function<void()> task;
    {
      std::lock_guard guard(lock_);
      if (queue_.empty()) break;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    task();
  }
  if (eventSource_) eventSource_();
}

void HeadlessDispatcher::WaitPumping(std::uint32_t ms) {
  const std::uint64_t deadline = clock_.NowMs() + ms;
  do {
    ProcessPendingEvents();
    const std::uint64_t now = clock_.NowMs();
    if (now >= deadline) break;
    clock_.SleepFor(static_cast<std::uint32_t>(std::min<std::uint64_t>(deadline - now, 10)),
                    nullptr);
  } while (true);
}

std::size_t HeadlessDispatcher::PendingCount() const {
  std::lock_guard guard(lock_);
  return queue_.size();
}

}  // namespace lumora::ui::headless
