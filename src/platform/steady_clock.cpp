#include "platform/steady_clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lumora::platform {

std::uint64_t SteadyClock::NowMs() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool SteadyClock::SleepFor(std::uint32_t ms, std::stop_token stop) {
  std::mutex mutex;
  std::condition_variable_any wake;
  std::unique_lock lock(mutex);
  wake.wait_for(lock, stop, std::chrono::milliseconds(ms), [] { return false; });
  return !stop.stop_requested();
}

}  // namespace lumora::platform
