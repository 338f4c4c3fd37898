#include "platform/sim/network_state.h"

#include <algorithm>

namespace lumora::platform::sim {

namespace {

constexpr std::string_view kVirtualAdapterGuid = "{8E2B4F61-93C7-4D0A-B5E8-2F6C1A7D9E30}";
constexpr std::string_view kIdleDirectAdapterGuid = "{5C0D7A2E-1B64-4F39-8E51-A7D3C9B2F014}";

}  // namespace

void LiveConnection::DropPrivateSide() {
  if (!sharingPrivate) return;
  sharingPrivate = false;
  // The address sharing gave goes with it; one set by hand stays.
  if (dhcp) {
    address.clear();
    mask.clear();
  }
}

NetworkState::NetworkState(const Scenario& scenario, Clock* outsideClock)
    : internetConnection(scenario.internetConnection),
      wirelessInterfaces(scenario.wirelessInterfaces),
      administrator(scenario.administrator),
      services(scenario.services),
      sharingObjectMissing(scenario.sharingObjectMissing),
      sharingWalkFails(scenario.sharingWalkFails),
      wmiFails(scenario.wmiFails),
      wlanServiceMissing(scenario.wlanServiceMissing),
      laterSystem(!(scenario.reportedVersion == SystemVersion{6, 1})),
      hosted(scenario.hosted),
      mobile(scenario.mobileHotspot),
      clock(outsideClock ? *outsideClock : ownClock),
      clients(scenario, clock) {
  for (const SimConnection& c : scenario.connections) {
    connections.push_back({c});
    virtualIndex = std::max(virtualIndex, c.interfaceIndex + 1);
    // The virtual adapter sits on the wireless one: its address with the locally
    // administered bit set.
    if (virtualMac.empty() && c.kind == ConnectionKind::Wireless && !c.physicalAddress.empty()) {
      virtualMac = c.physicalAddress;
      virtualMac[0] |= 0x02;
    }
  }
  if (virtualIndex == 0) virtualIndex = 10;
  if (virtualMac.empty()) virtualMac = {0x02, 0x1A, 0x2B, 0x3C, 0x4D, 0xF0};
  // Windows lists it after the hotspot's adapter, so the last Wi-Fi Direct adapter in
  // the list is not the hotspot's.
  if (laterSystem && mobile.available) {
    SimConnection idle;
    idle.name = std::string(kIdleDirectConnection);
    idle.status = 7;
    idle.kind = ConnectionKind::Hosted;
    idle.guid = std::string(kIdleDirectAdapterGuid);
    idle.description = std::string(kIdleDirectAdapter);
    idle.interfaceIndex = virtualIndex + 1;
    idle.interfaceType = 71;
    idle.physicalAddress = virtualMac;
    idle.physicalAddress.back() ^= 0x01;
    connections.push_back({std::move(idle)});
  }
  std::lock_guard guard(lock);
  UpdateVirtualAdapterLocked();
}

LiveConnection* NetworkState::Find(std::string_view name) {
  for (LiveConnection& c : connections)
    if (c.connection.name == name) return &c;
  return nullptr;
}

const LiveConnection* NetworkState::Find(std::string_view name) const {
  return const_cast<NetworkState*>(this)->Find(name);
}

int NetworkState::StatusOf(std::string_view name) const {
  std::lock_guard guard(lock);
  const LiveConnection* c = Find(name);
  return c ? c->connection.status : 0;
}

std::vector<std::string> NetworkState::NamesInOrder() const {
  std::lock_guard guard(lock);
  std::vector<std::string> names;
  for (const LiveConnection& c : connections) names.push_back(c.connection.name);
  return names;
}

void NetworkState::PassHold() {
  std::unique_lock guard(holdLock);
  if (++calls != holdAt) return;
  held = true;
  holdChanged.notify_all();
  holdChanged.wait(guard, [this] { return !held; });
}

bool NetworkState::HostedHardwareReady() const {
  return wirelessInterfaces > 0 && hosted.driverSupportsIt;
}

std::string NetworkState::VirtualConnectionName() const {
  if (mobileOn && !mobile.connectionName.empty()) return mobile.connectionName;
  if (!mobileOn && !hosted.connectionName.empty()) return hosted.connectionName;
  // Windows numbers the new connection after the ones whose names it would take.
  const std::string stem = laterSystem ? "本地连接* " : "无线网络连接 ";
  for (int n = laterSystem ? 12 : 2;; ++n) {
    std::string name = stem + std::to_string(n);
    if (!Find(name)) return name;
  }
}

void NetworkState::UpdateVirtualAdapterLocked() {
  // The mobile hotspot brings up a virtual adapter of its own, in the hosted network's
  // place: on a driver without hosted network only it can.
  const bool present =
      mobileOn || (HostedHardwareReady() && (hostedActive || (!laterSystem && hosted.allowed)));
  const bool running = mobileOn || hostedActive;
  LiveConnection* live = virtualConnection.empty() ? nullptr : Find(virtualConnection);
  if (present && running) {
    clients.HostedStarted(virtualIndex);
  } else {
    clients.HostedStopped();
  }
  if (!present) {
    if (live)
      std::erase_if(connections, [&](const LiveConnection& c) {
        return c.connection.name == virtualConnection;
      });
    virtualConnection.clear();
    return;
  }
  if (!live) {
    SimConnection c;
    c.name = VirtualConnectionName();
    c.kind = ConnectionKind::Hosted;
    c.guid = std::string(kVirtualAdapterGuid);
    c.description = std::string(mobileOn      ? kMobileHotspotAdapter
                                : laterSystem ? kVirtualAdapterLater
                                              : kVirtualAdapterWin7);
    c.interfaceIndex = virtualIndex;
    c.interfaceType = 71;
    c.physicalAddress = virtualMac;
    virtualConnection = c.name;
    const auto idle = std::find_if(connections.begin(), connections.end(), [](const auto& x) {
      return x.connection.guid == kIdleDirectAdapterGuid;
    });
    live = &*connections.insert(idle, {std::move(c)});
    hiddenAdapterCalls = hosted.appearsAfterCalls;
  }
  live->connection.status = running ? 2 : 7;
}

}  // namespace lumora::platform::sim
