#pragma once
// The machine's own steady clock, for the real program on either platform.

#include "platform/clock_port.h"

namespace lumora::platform {

class SteadyClock final : public Clock {
 public:
  std::uint64_t NowMs() const override;
  bool SleepFor(std::uint32_t ms, StopSignal* stop) override;
};

}  // namespace lumora::platform
