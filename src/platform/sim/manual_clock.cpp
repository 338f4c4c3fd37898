#include "platform/sim/manual_clock.h"

namespace lumora::platform::sim {

bool ManualClock::SleepFor(std::uint32_t ms, StopSignal* stop) {
  if (stop && stop->StopRequested()) return false;
  Advance(ms);
  return !(stop && stop->StopRequested());
}

}  // namespace lumora::platform::sim
