#pragma once
// A worker's request to stop, and the waits that it cuts short.
//
// Built from a mutex and a condition variable alone. The standard stop token was used
// here before; ending a worker while its wait was being torn down then hung now and
// then in the Windows build, whose runtime waits for stop callbacks on a semaphore
// that can miss its wake-up.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace lumora::platform {

class StopSignal {
 public:
  // Wakes every wait of the signal; stays requested.
  void RequestStop();
  bool StopRequested() const { return stopRequested_.load(); }

  // Waits until done() holds, or a stop is requested, or the timeout has passed (none:
  // no timeout). done runs under the signal's lock. Returns done()'s last answer.
  bool WaitUntil(const std::function<bool()>& done,
                 std::optional<std::chrono::milliseconds> timeout = std::nullopt);
  // The same, but a stop does not end the wait.
  bool WaitIgnoringStop(const std::function<bool()>& done,
                        std::optional<std::chrono::milliseconds> timeout = std::nullopt);

  // Runs change under the signal's lock and wakes the waits, so that a wait whose
  // done() reads what change writes cannot miss it.
  void Publish(const std::function<void()>& change);

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::atomic<bool> stopRequested_{false};
};

}  // namespace lumora::platform
