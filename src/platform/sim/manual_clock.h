#pragma once
// The simulated PC's clock: time moves only when a test or a wait moves it, so
// time-driven behaviour is tested without sleeping.

#include <atomic>

#include "platform/clock_port.h"

namespace lumora::platform::sim {

class ManualClock final : public Clock {
 public:
  std::uint64_t NowMs() const override { return now_; }

  // A wait lets its time pass at once.
  bool SleepFor(std::uint32_t ms, StopSignal* stop) override;

  void Advance(std::uint64_t ms) { now_ += ms; }

 private:
  std::atomic<std::uint64_t> now_{0};
};

}  // namespace lumora::platform::sim
