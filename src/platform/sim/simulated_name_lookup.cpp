#include "platform/sim/simulated_name_lookup.h"

#include <algorithm>

#include "text/ipv4.h"

namespace lumora::platform::sim {

std::string SimulatedNameLookup::HostNameOfAddress(std::string_view address,
                                                   const std::function<bool()>& keepGoing) {
  std::optional<SimClient> client;
  {
    std::lock_guard guard(state_.lock);
    if (text::ParseIpv4(address)) client = state_.clients.ClientAt(address);
  }
  if (!client) return {};
  heldNameLookUps_.Pass(keepGoing);
  // The look-up takes its time outside the lock, in slices, so that a program that
  // ends is not kept waiting for all of it.
  constexpr std::uint32_t kSliceMs = 50;
  for (std::uint32_t waited = 0; waited < client->lookupMs; waited += kSliceMs) {
    if (keepGoing && !keepGoing()) return {};
    state_.clock.SleepFor(std::min(kSliceMs, client->lookupMs - waited), nullptr);
  }
  return client->lookupFails ? std::string() : client->hostName;
}

void SimulatedNameLookup::HoldNameLookUps(bool hold) { heldNameLookUps_.Hold(hold); }

int SimulatedNameLookup::NameLookUpsWaiting() const { return heldNameLookUps_.Waiting(); }

}  // namespace lumora::platform::sim
