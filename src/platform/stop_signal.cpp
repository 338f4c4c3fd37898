#include "platform/stop_signal.h"

namespace lumora::platform {

void StopSignal::RequestStop() {
  {
    std::lock_guard guard(lock_);
    stopRequested_ = true;
  }
  changed_.notify_all();
}

bool StopSignal::WaitUntil(const std::function<bool()>& done,
                           std::optional<std::chrono::milliseconds> timeout) {
  std::unique_lock lock(lock_);
  const auto ends = [&] { return stopRequested_ || done(); };
  if (timeout) {
    changed_.wait_for(lock, *timeout, ends);
  } else {
    changed_.wait(lock, ends);
  }
  return done();
}

bool StopSignal::WaitIgnoringStop(const std::function<bool()>& done,
                                  std::optional<std::chrono::milliseconds> timeout) {
  std::unique_lock lock(lock_);
  if (timeout) return changed_.wait_for(lock, *timeout, done);
  changed_.wait(lock, done);
  return true;
}

void StopSignal::Publish(const std::function<void()>& change) {
  {
    std::lock_guard guard(lock_);
    change();
  }
  changed_.notify_all();
}

}  // namespace lumora::platform
