#pragma once
// Time as the program sees it: the steady clock of the machine, or the manual clock of
// the simulated PC, which tests move by hand.

#include <cstdint>
#include <stop_token>

namespace lumora::platform {

class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds since an arbitrary start, never going back.
  virtual std::uint64_t NowMs() const = 0;

  // Blocks a worker thread for ms, or less when stop is requested. False when it was
  // stopped.
  virtual bool SleepFor(std::uint32_t ms, std::stop_token stop) = 0;
};

}  // namespace lumora::platform
