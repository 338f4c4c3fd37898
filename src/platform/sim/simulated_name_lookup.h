#pragma once
// The reverse name look-up of the simulated PC: a device's host name, after the
// look-up's time on the clock.

#include "platform/network_ports.h"
#include "platform/sim/hold_gate.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedNameLookup : public NameLookupPort {
 public:
  explicit SimulatedNameLookup(NetworkState& state) : state_(state) {}

  std::string HostNameOfAddress(std::string_view address,
                                const std::function<bool()>& keepGoing) override;

  // While held, name look-ups wait (until let go, or until given up) before they
  // answer: how a test meets a scan in the middle of one.
  void HoldNameLookUps(bool hold);
  int NameLookUpsWaiting() const;

 private:
  NetworkState& state_;
  HoldGate heldNameLookUps_;
};

}  // namespace lumora::platform::sim
