#pragma once
// Time as the program sees it: the steady clock of the machine, or the manual clock of
// the simulated PC, which tests move by hand.

#include <cstdint>

#include "platform/stop_signal.h"

namespace lumora::platform {

class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds since an arbitrary start, never going back.
  virtual std::uint64_t NowMs() const = 0;

  // Blocks the calling thread for ms, or less when a stop is requested of stop (when
  // given). False when it was stopped.
  virtual bool SleepFor(std::uint32_t ms, StopSignal* stop) = 0;
};

}  // namespace lumora::platform
