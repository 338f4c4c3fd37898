#include "platform/sim/simulated_ip_helper.h"

#include <algorithm>

#include "text/search.h"

namespace lumora::platform::sim {

namespace {

constexpr std::string_view kDevicePrefix = "\\DEVICE\\TCPIP_";

// The automatic metrics Windows gives the kinds of interface on a typical machine.
std::uint32_t MetricOf(ConnectionKind kind) {
  switch (kind) {
    case ConnectionKind::Wired:
      return 10;
    case ConnectionKind::Wireless:
      return 25;
    case ConnectionKind::DialUp:
      return 50;
    case ConnectionKind::Hosted:
      return 30;
  }
  return 0;
}

// A dial-up connection has an IPv4 interface only while it is connected.
bool HasIpv4Interface(const SimConnection& c) {
  return c.kind != ConnectionKind::DialUp || c.status == 2;
}

}  // namespace

std::optional<std::vector<AdapterInfo>> SimulatedIpHelper::AdaptersInfo() {
  std::lock_guard guard(state_.lock);
  const bool hideVirtual = state_.hiddenAdapterCalls > 0;
  if (hideVirtual) --state_.hiddenAdapterCalls;
  std::vector<AdapterInfo> adapters;
  for (const LiveConnection& c : state_.connections) {
    if (!HasIpv4Interface(c.connection)) continue;
    if (hideVirtual && c.connection.name == state_.virtualConnection) continue;
    adapters.push_back({c.connection.guid, c.connection.description,
                        c.address.empty() ? std::string("0.0.0.0") : c.address});
  }
  return adapters;
}

std::optional<std::vector<AdapterAddresses>> SimulatedIpHelper::AdaptersAddresses() {
  std::lock_guard guard(state_.lock);
  std::vector<AdapterAddresses> adapters;
  for (const LiveConnection& c : state_.connections) {
    if (state_.hiddenAdapterCalls > 0 && c.connection.name == state_.virtualConnection) continue;
    adapters.push_back({c.connection.guid, c.connection.name});
  }
  return adapters;
}

std::uint32_t SimulatedIpHelper::AdapterIndex(std::string_view deviceName) {
  if (text::FindIgnoreAsciiCase(deviceName, kDevicePrefix) != 0) return 0;
  const std::string_view guid = deviceName.substr(kDevicePrefix.size());
  std::lock_guard guard(state_.lock);
  for (const LiveConnection& c : state_.connections)
    if (!guid.empty() && text::EqualsIgnoreAsciiCase(c.connection.guid, guid))
      return c.connection.interfaceIndex;
  return 0;
}

std::optional<InterfaceRow> SimulatedIpHelper::InterfaceEntry(std::uint32_t index) {
  std::lock_guard guard(state_.lock);
  for (const LiveConnection& c : state_.connections) {
    const SimConnection& s = c.connection;
    if (index == 0 || s.interfaceIndex != index) continue;
    InterfaceRow row;
    row.luid = (std::uint64_t{s.interfaceType} << 48) | index;
    row.index = index;
    row.alias = s.name;
    row.description = s.description;
    row.physicalAddressLength = static_cast<std::uint32_t>(s.physicalAddress.size());
    row.physicalAddress = s.physicalAddress;
    row.mtu = s.mtu;
    row.type = s.interfaceType;
    row.mediaType = 0;
    row.physicalMediumType = s.kind == ConnectionKind::Wireless ? 9 : 14;
    row.accessType = 2;
    row.operStatus = s.status == 2 ? 1 : 2;
    row.adminStatus = s.status == 0 ? 2 : 1;
    row.transmitLinkSpeed = s.linkSpeed;
    row.receiveLinkSpeed = s.linkSpeed;
    row.inOctets = s.receivedBytes;
    row.outOctets = s.sentBytes;
    if (s.name == state_.virtualConnection) {
      const auto [sent, received] = state_.clients.HostedTraffic();
      row.inOctets += received;
      row.outOctets += sent;
    }
    return row;
  }
  return std::nullopt;
}

std::optional<std::vector<NeighbourRow>> SimulatedIpHelper::NeighbourTable() {
  std::lock_guard guard(state_.lock);
  return state_.clients.Rows(
      [this](std::string_view name) -> std::uint32_t {
        const LiveConnection* c = state_.Find(name);
        return c ? c->connection.interfaceIndex : 0;
      },
      [this](std::uint32_t index) {
        return std::any_of(
            state_.connections.begin(), state_.connections.end(),
            [&](const LiveConnection& c) { return c.connection.interfaceIndex == index; });
      });
}

bool SimulatedIpHelper::DeleteNeighbour(const NeighbourRow& row) {
  std::lock_guard guard(state_.lock);
  if (!state_.administrator) return false;
  return state_.clients.Delete(row.interfaceIndex, row.address);
}

std::vector<SimulatedIpHelper::Ipv4Interface> SimulatedIpHelper::Ipv4Interfaces() const {
  std::lock_guard guard(state_.lock);
  std::vector<Ipv4Interface> interfaces;
  for (const LiveConnection& c : state_.connections) {
    if (!HasIpv4Interface(c.connection)) continue;
    interfaces.push_back(
        {c.connection.name, c.dhcp, c.address, c.mask, MetricOf(c.connection.kind)});
  }
  return interfaces;
}

bool SimulatedIpHelper::SetInterfaceAddress(std::string_view name, const std::string& address,
                                            const std::string& mask) {
  std::lock_guard guard(state_.lock);
  for (LiveConnection& c : state_.connections) {
    if (!HasIpv4Interface(c.connection) || !text::EqualsIgnoreAsciiCase(c.connection.name, name))
      continue;
    c.dhcp = address.empty();
    c.address = address;
    c.mask = address.empty() ? std::string{} : mask;
    return true;
  }
  return false;
}

bool SimulatedIpHelper::SetStaticNeighbour(std::uint32_t interfaceIndex, std::uint32_t address,
                                           const std::array<std::uint8_t, 6>& mac) {
  std::lock_guard guard(state_.lock);
  const bool known = std::any_of(
      state_.connections.begin(), state_.connections.end(),
      [&](const LiveConnection& c) { return c.connection.interfaceIndex == interfaceIndex; });
  if (!known) return false;
  state_.clients.SetStatic(interfaceIndex, address, mac);
  return true;
}

std::vector<std::string> SimulatedIpHelper::PinnedOnHostedInterface() const {
  std::lock_guard guard(state_.lock);
  std::vector<std::string> macs;
  for (const std::array<std::uint8_t, 6>& mac : state_.clients.StaticMacs(state_.virtualIndex)) {
    std::string text;
    for (const std::uint8_t byte : mac) {
      constexpr char kDigits[] = "0123456789ABCDEF";
      if (!text.empty()) text += '-';
      text += kDigits[byte >> 4];
      text += kDigits[byte & 0x0F];
    }
    macs.push_back(std::move(text));
  }
  return macs;
}

}  // namespace lumora::platform::sim
