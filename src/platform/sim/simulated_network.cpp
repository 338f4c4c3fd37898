#include "platform/sim/simulated_network.h"

namespace lumora::platform::sim {

SimulatedNetwork::SimulatedNetwork(const Scenario& scenario, Clock* clock)
    : NetworkStateOwner(scenario, clock),
      SimulatedSharing(state),
      SimulatedConnectionManager(state),
      SimulatedWmi(state),
      SimulatedIpHelper(state),
      SimulatedInternetState(state),
      SimulatedNetworkRegistry(state),
      SimulatedWlan(state),
      SimulatedServices(state),
      SimulatedNameLookup(state),
      SimulatedMobileHotspot(state) {}

NetworkPorts SimulatedNetwork::Ports() {
  return {*this, *this, *this, *this, *this, *this, *this, *this, *this, *this};
}

void SimulatedNetwork::HoldCall(int n) {
  std::lock_guard guard(state.holdLock);
  state.holdAt = state.calls + n;
}

bool SimulatedNetwork::CallHeld() const {
  std::lock_guard guard(state.holdLock);
  return state.held;
}

void SimulatedNetwork::ReleaseHeldCall() {
  std::lock_guard guard(state.holdLock);
  state.held = false;
  state.holdAt = 0;
  state.holdChanged.notify_all();
}

int SimulatedNetwork::Calls() const {
  std::lock_guard guard(state.holdLock);
  return state.calls;
}

bool SimulatedNetwork::Administrator() const {
  std::lock_guard guard(state.lock);
  return state.administrator;
}

std::optional<SimConnection> SimulatedNetwork::Connection(std::string_view name) const {
  std::lock_guard guard(state.lock);
  const LiveConnection* c = state.Find(name);
  return c ? std::optional(c->connection) : std::nullopt;
}

std::string SimulatedNetwork::AddressOf(std::string_view name) const {
  std::lock_guard guard(state.lock);
  const LiveConnection* c = state.Find(name);
  return c ? c->address : std::string{};
}

std::optional<bool> SimulatedNetwork::DhcpOf(std::string_view name) const {
  std::lock_guard guard(state.lock);
  const LiveConnection* c = state.Find(name);
  return c ? std::optional(c->dhcp) : std::nullopt;
}

void SimulatedNetwork::AddConnection(SimConnection connection) {
  std::lock_guard guard(state.lock);
  state.connections.push_back({std::move(connection)});
}

void SimulatedNetwork::RemoveConnection(std::string_view name) {
  std::lock_guard guard(state.lock);
  std::erase_if(state.connections,
                [&](const LiveConnection& c) { return c.connection.name == name; });
}

void SimulatedNetwork::SetStatus(std::string_view name, int status) {
  std::lock_guard guard(state.lock);
  if (LiveConnection* c = state.Find(name)) c->connection.status = status;
}

void SimulatedNetwork::SetByteCounters(std::string_view name, std::uint64_t received,
                                       std::uint64_t sent) {
  std::lock_guard guard(state.lock);
  if (LiveConnection* c = state.Find(name)) {
    c->connection.receivedBytes = received;
    c->connection.sentBytes = sent;
  }
}

void SimulatedNetwork::SetInternetConnection(std::string internetConnection) {
  std::lock_guard guard(state.lock);
  state.internetConnection = std::move(internetConnection);
}

void SimulatedNetwork::SetAdministrator(bool administrator) {
  std::lock_guard guard(state.lock);
  state.administrator = administrator;
}

}  // namespace lumora::platform::sim
