#include "platform/sim/manual_clock.h"

namespace lumora::platform::sim {

bool ManualClock::SleepFor(std::uint32_t ms, std::stop_token stop) {
  if (stop.stop_requested()) return false;
  Advance(ms);
  return !stop.stop_requested();
}

}  // namespace lumora::platform::sim
