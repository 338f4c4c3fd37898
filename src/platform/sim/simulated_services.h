#pragma once
// The service control manager of the simulated PC: the scenario's services, which
// answer only with administrator rights. Every call passes the network's call hook.

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedServices : public ServicePort {
 public:
  explicit SimulatedServices(NetworkState& state) : state_(state) {}

  std::uint32_t StartType(std::string_view service) override;
  bool SetStartType(std::string_view service, std::uint32_t startType) override;
  std::uint32_t CurrentState(std::string_view service) override;
  bool Start(std::string_view service) override;

  // What tests look at.
  SimService Service(std::string_view name) const;

 private:
  NetworkState& state_;
};

}  // namespace lumora::platform::sim
