#pragma once
// A test hook's gate: while it is held, a call of the simulated PC waits at it until
// the test lets it go or the caller gives the call up; the test sees how many wait.
// Held calls hold no lock of the machine.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace lumora::platform::sim {

class HoldGate {
 public:
  void Hold(bool hold) {
    {
      std::lock_guard guard(lock_);
      held_ = hold;
    }
    letGo_.notify_all();
  }

  int Waiting() const {
    std::lock_guard guard(lock_);
    return waiting_;
  }

  // Returns once the gate is let go, or once keepGoing (when there is one) says no.
  void Pass(const std::function<bool()>& keepGoing) {
    std::unique_lock guard(lock_);
    ++waiting_;
    while (held_ && (!keepGoing || keepGoing()))
      letGo_.wait_for(guard, std::chrono::milliseconds(1));
    --waiting_;
  }

 private:
  mutable std::mutex lock_;
  std::condition_variable letGo_;
  bool held_ = false;
  int waiting_ = 0;
};

}  // namespace lumora::platform::sim
