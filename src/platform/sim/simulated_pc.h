#pragma once
// The simulated PC: one model of a Windows machine behind the ports. Its scenario
// chooses the machine; its console has netsh installed. The settings and list files
// live on a drive of their own: a folder in tests, the real drive C in LumoraWiFiSim.exe.

#include "platform/sim/scenario.h"
#include "platform/sim/simulated_console.h"
#include "platform/sim/simulated_netsh.h"
#include "platform/sim/simulated_network.h"
#include "platform/sim/simulated_site.h"
#include "platform/sim/simulated_system.h"

namespace lumora::platform::sim {

class SimulatedPc {
  Scenario scenario_;  // first: the parts below read it

 public:
  // The devices of the hotspot keep the clock's time; see SimulatedNetwork.
  explicit SimulatedPc(Scenario scenario, Clock* clock = nullptr);
  SimulatedPc(const SimulatedPc&) = delete;
  SimulatedPc& operator=(const SimulatedPc&) = delete;

  const Scenario& GetScenario() const { return scenario_; }

  SimulatedConsole console;
  SimulatedSystem system;
  SimulatedInstances instances;
  SimulatedShell shell;
  SimulatedPowerOff power;
  SimulatedNetwork network;
  SimulatedNetsh netsh;
  SimulatedSite site;
  SimulatedRegistry registry;
  SimulatedLogonTasks logonTasks;
};

}  // namespace lumora::platform::sim
