#include "platform/steady_clock.h"

#include <chrono>
#include <thread>

namespace lumora::platform {

std::uint64_t SteadyClock::NowMs() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool SteadyClock::SleepFor(std::uint32_t ms, StopSignal* stop) {
  if (!stop) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return true;
  }
  stop->WaitUntil([] { return false; }, std::chrono::milliseconds(ms));
  return !stop->StopRequested();
}

}  // namespace lumora::platform
