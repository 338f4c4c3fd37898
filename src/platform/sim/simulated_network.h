#pragma once
// The network of the simulated PC: its connections and adapters, Internet connection
// sharing with Windows' rules, the connection manager, WMI's view of the adapters, the
// WLAN service with its hosted network, the mobile hotspot and the services sharing
// needs. One state behind every network port and the simulated netsh, safe to use from
// any thread: each port lives in a file of its own over that state (see
// network_state.h), and this class owns the state and is every port at once.

#include <optional>
#include <string>

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"
#include "platform/sim/scenario.h"
#include "platform/sim/simulated_connection_manager.h"
#include "platform/sim/simulated_connection_names.h"
#include "platform/sim/simulated_ip_helper.h"
#include "platform/sim/simulated_mobile_hotspot.h"
#include "platform/sim/simulated_name_lookup.h"
#include "platform/sim/simulated_services.h"
#include "platform/sim/simulated_sharing.h"
#include "platform/sim/simulated_wlan.h"
#include "platform/sim/simulated_wmi.h"

namespace lumora::platform::sim {

// Built before the ports, which keep a reference to the state.
struct NetworkStateOwner {
  NetworkStateOwner(const Scenario& scenario, Clock* clock) : state(scenario, clock) {}
  NetworkState state;
};

class SimulatedNetwork final : private NetworkStateOwner,
                               public SimulatedSharing,
                               public SimulatedConnectionManager,
                               public SimulatedWmi,
                               public SimulatedIpHelper,
                               public SimulatedInternetState,
                               public SimulatedNetworkRegistry,
                               public SimulatedWlan,
                               public SimulatedServices,
                               public SimulatedNameLookup,
                               public SimulatedMobileHotspot {
 public:
  // The clients' times run on the clock; without one, on a clock of the network's own
  // that stands still.
  explicit SimulatedNetwork(const Scenario& scenario, Clock* clock = nullptr);

  NetworkPorts Ports();

  // A service and the mobile hotspot both start.
  using SimulatedMobileHotspot::Start;
  using SimulatedServices::Start;

  // What netsh looks at itself.
  bool Administrator() const;

  // What tests look at.
  // Whether the connection is on DHCP; nullopt when there is no such connection.
  std::optional<bool> DhcpOf(std::string_view name) const;
  std::optional<SimConnection> Connection(std::string_view name) const;
  std::string AddressOf(std::string_view name) const;

  // A test hook that holds a call in the middle. Counted are the calls into the
  // sharing objects (a walk, each change a walk makes, the public query), the
  // connection manager's walk, and every call into the WLAN service and the service
  // control manager. HoldCall(n) makes the n-th such call from now on (1: the next)
  // wait at its start until ReleaseHeldCall.
  void HoldCall(int n);
  bool CallHeld() const;
  void ReleaseHeldCall();
  // The calls counted so far.
  int Calls() const;

  // Changes a test or the hosted network makes to the machine.
  void AddConnection(SimConnection connection);
  void RemoveConnection(std::string_view name);
  void SetStatus(std::string_view name, int status);
  // The adapter's own byte counters; the hosted adapter adds its devices' traffic.
  void SetByteCounters(std::string_view name, std::uint64_t received, std::uint64_t sent);
  void SetInternetConnection(std::string internetConnection);
  void SetAdministrator(bool administrator);
};

}  // namespace lumora::platform::sim
