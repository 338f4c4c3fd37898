#include "platform/sim/simulated_pc.h"

namespace lumora::platform::sim {

SimulatedPc::SimulatedPc(Scenario scenario)
    : scenario_(std::move(scenario)), system(scenario_), network(scenario_) {}

}  // namespace lumora::platform::sim
