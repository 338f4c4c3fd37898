#pragma once
// Where the simulated PC names its connections outside the connection list: the
// registry's network key, and the Internet state's connection name.

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedNetworkRegistry : public RegistryPort {
 public:
  explicit SimulatedNetworkRegistry(NetworkState& state) : state_(state) {}

  std::optional<std::string> ReadMachineString(std::string_view keyPath,
                                               std::string_view valueName) override;

 private:
  NetworkState& state_;
};

class SimulatedInternetState : public InternetStatePort {
 public:
  explicit SimulatedInternetState(NetworkState& state) : state_(state) {}

  std::string ConnectedStateName() override;

 private:
  NetworkState& state_;
};

}  // namespace lumora::platform::sim
