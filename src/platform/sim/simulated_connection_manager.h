#pragma once
// The connection manager of the simulated PC: it walks the connections in the
// machine's order, and connecting switches a disabled adapter on. Its walk passes the
// network's call hook.

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedConnectionManager : public ConnectionManagerPort {
 public:
  explicit SimulatedConnectionManager(NetworkState& state) : state_(state) {}

  bool WalkConnections(const std::function<bool(ManagedConnection&)>& visit) override;

 private:
  class ManagedView;

  NetworkState& state_;
};

}  // namespace lumora::platform::sim
