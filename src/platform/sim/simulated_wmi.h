#pragma once
// WMI on the simulated PC: it understands the adapter queries the program makes, with
// WQL's quoting, and nothing more.

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedWmi : public WmiPort {
 public:
  explicit SimulatedWmi(NetworkState& state) : state_(state) {}

  std::optional<std::vector<WmiObject>> Query(std::string_view wmiNamespace, std::string_view wql,
                                              int maxObjects) override;

 private:
  NetworkState& state_;
};

}  // namespace lumora::platform::sim
