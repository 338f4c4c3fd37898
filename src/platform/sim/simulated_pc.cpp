#include "platform/sim/simulated_pc.h"

namespace lumora::platform::sim {

SimulatedPc::SimulatedPc(Scenario scenario, Clock* clock)
    : scenario_(std::move(scenario)),
      system(scenario_),
      power(scenario_),
      network(scenario_, clock),
      netsh(network, scenario_.language),
      site(scenario_, clock),
      registry(scenario_),
      logonTasks(scenario_) {
  console.Install("netsh", [this](std::string_view arguments, const std::function<bool()>&) {
    return netsh.Run(arguments);
  });
}

}  // namespace lumora::platform::sim
