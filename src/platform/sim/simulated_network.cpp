#include "platform/sim/simulated_network.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include "text/cp936.h"
#include "text/ipv4.h"
#include "text/search.h"

namespace lumora::platform::sim {

namespace {

constexpr std::string_view kConnectionNameKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr std::string_view kDevicePrefix = "\\DEVICE\\TCPIP_";
constexpr std::string_view kSharingPrivateMask = "255.255.255.0";
constexpr std::string_view kVirtualAdapterGuid = "{8E2B4F61-93C7-4D0A-B5E8-2F6C1A7D9E30}";
constexpr std::string_view kIdleDirectAdapterGuid = "{5C0D7A2E-1B64-4F39-8E51-A7D3C9B2F014}";
constexpr std::size_t kMostSsidBytes = 32;
constexpr std::size_t kLeastPassPhraseBytes = 8;
constexpr std::size_t kMostPassPhraseBytes = 63;

// The automatic metrics Windows gives the kinds of interface on a typical machine.
std::uint32_t MetricOf(ConnectionKind kind) {
  switch (kind) {
    case ConnectionKind::Wired: return 10;
    case ConnectionKind::Wireless: return 25;
    case ConnectionKind::DialUp: return 50;
    case ConnectionKind::Hosted: return 30;
  }
  return 0;
}

// A dial-up connection has an IPv4 interface only while it is connected.
bool HasIpv4Interface(const SimConnection& c) {
  return c.kind != ConnectionKind::DialUp || c.status == 2;
}

// Reads a WQL string literal that starts at text[pos] (after the opening quote):
// backslash escapes the next character. nullopt when it is not closed.
std::optional<std::string> ReadWqlString(std::string_view text, std::size_t pos, char quote,
                                         std::size_t* end) {
  std::string value;
  for (; pos < text.size(); ++pos) {
    if (text[pos] == '\\') {
      if (++pos >= text.size()) return std::nullopt;
      value += text[pos];
    } else if (text[pos] == quote) {
      *end = pos + 1;
      return value;
    } else {
      value += text[pos];
    }
  }
  return std::nullopt;
}

}  // namespace

class SimulatedNetwork::SharedView final : public SharedConnection {
 public:
  SharedView(SimulatedNetwork& network, std::string name)
      : network_(network), name_(std::move(name)) {}
  std::string Name() override { return name_; }
  int Status() override { return network_.StatusOf(name_); }
  bool DisableSharing() override {
    network_.PassHold();
    return network_.DisableSharing(name_);
  }
  bool EnableSharing(SharingType type) override {
    network_.PassHold();
    return network_.EnableSharing(name_, type);
  }

 private:
  SimulatedNetwork& network_;
  std::string name_;
};

class SimulatedNetwork::ManagedView final : public ManagedConnection {
 public:
  ManagedView(SimulatedNetwork& network, std::string name)
      : network_(network), name_(std::move(name)) {}
  std::string Name() override { return name_; }
  int Status() override { return network_.StatusOf(name_); }
  void Connect() override {
    std::lock_guard guard(network_.lock_);
    LiveConnection* c = network_.Find(name_);
    // Switching an adapter on takes administrator rights. A wireless adapter that
    // comes back has no network in range until it joins one.
    if (!c || !network_.administrator_ || c->connection.status != 0) return;
    c->connection.status = c->connection.kind == ConnectionKind::Wireless ? 7 : 2;
  }

 private:
  SimulatedNetwork& network_;
  std::string name_;
};

// A walk or query of the sharing objects while it lasts.
class SimulatedNetwork::SharingUse {
 public:
  explicit SharingUse(SimulatedNetwork& network) : network_(network) {
    std::lock_guard guard(network_.holdLock_);
    if (network_.sharingUsers_++ > 0) ++network_.sharingOverlaps_;
  }
  ~SharingUse() {
    std::lock_guard guard(network_.holdLock_);
    --network_.sharingUsers_;
  }
  SharingUse(const SharingUse&) = delete;
  SharingUse& operator=(const SharingUse&) = delete;

 private:
  SimulatedNetwork& network_;
};

SimulatedNetwork::SimulatedNetwork(const Scenario& scenario, Clock* clock)
    : internetConnection_(scenario.internetConnection),
      wirelessInterfaces_(scenario.wirelessInterfaces),
      administrator_(scenario.administrator),
      services_(scenario.services),
      sharingObjectMissing_(scenario.sharingObjectMissing),
      sharingWalkFails_(scenario.sharingWalkFails),
      wmiFails_(scenario.wmiFails),
      wlanServiceMissing_(scenario.wlanServiceMissing),
      laterSystem_(!(scenario.reportedVersion == SystemVersion{6, 1})),
      hosted_(scenario.hosted),
      mobile_(scenario.mobileHotspot),
      clock_(clock ? *clock : ownClock_),
      clients_(scenario, clock_) {
  for (const SimConnection& c : scenario.connections) {
    connections_.push_back({c});
    virtualIndex_ = std::max(virtualIndex_, c.interfaceIndex + 1);
    // The virtual adapter sits on the wireless one: its address with the locally
    // administered bit set.
    if (virtualMac_.empty() && c.kind == ConnectionKind::Wireless && !c.physicalAddress.empty()) {
      virtualMac_ = c.physicalAddress;
      virtualMac_[0] |= 0x02;
    }
  }
  if (virtualIndex_ == 0) virtualIndex_ = 10;
  if (virtualMac_.empty()) virtualMac_ = {0x02, 0x1A, 0x2B, 0x3C, 0x4D, 0xF0};
  // Windows lists it after the hotspot's adapter, so the last Wi-Fi Direct adapter in
  // the list is not the hotspot's.
  if (laterSystem_ && mobile_.available) {
    SimConnection idle;
    idle.name = std::string(kIdleDirectConnection);
    idle.status = 7;
    idle.kind = ConnectionKind::Hosted;
    idle.guid = std::string(kIdleDirectAdapterGuid);
    idle.description = std::string(kIdleDirectAdapter);
    idle.interfaceIndex = virtualIndex_ + 1;
    idle.interfaceType = 71;
    idle.physicalAddress = virtualMac_;
    idle.physicalAddress.back() ^= 0x01;
    connections_.push_back({std::move(idle)});
  }
  std::lock_guard guard(lock_);
  UpdateVirtualAdapterLocked();
}

NetworkPorts SimulatedNetwork::Ports() {
  return {*this, *this, *this, *this, *this, *this, *this, *this, *this, *this};
}

SimulatedNetwork::LiveConnection* SimulatedNetwork::Find(std::string_view name) {
  for (LiveConnection& c : connections_)
    if (c.connection.name == name) return &c;
  return nullptr;
}

const SimulatedNetwork::LiveConnection* SimulatedNetwork::Find(std::string_view name) const {
  return const_cast<SimulatedNetwork*>(this)->Find(name);
}

int SimulatedNetwork::StatusOf(std::string_view name) const {
  std::lock_guard guard(lock_);
  const LiveConnection* c = Find(name);
  return c ? c->connection.status : 0;
}

std::vector<std::string> SimulatedNetwork::NamesInOrder() const {
  std::lock_guard guard(lock_);
  std::vector<std::string> names;
  for (const LiveConnection& c : connections_) names.push_back(c.connection.name);
  return names;
}

void SimulatedNetwork::PassHold() {
  std::unique_lock lock(holdLock_);
  if (++calls_ != holdAt_) return;
  held_ = true;
  holdChanged_.notify_all();
  holdChanged_.wait(lock, [this] { return !held_; });
}

void SimulatedNetwork::HoldCall(int n) {
  std::lock_guard guard(holdLock_);
  holdAt_ = calls_ + n;
}

bool SimulatedNetwork::CallHeld() const {
  std::lock_guard guard(holdLock_);
  return held_;
}

void SimulatedNetwork::ReleaseHeldCall() {
  std::lock_guard guard(holdLock_);
  held_ = false;
  holdAt_ = 0;
  holdChanged_.notify_all();
}

int SimulatedNetwork::Calls() const {
  std::lock_guard guard(holdLock_);
  return calls_;
}

int SimulatedNetwork::SharingOverlaps() const {
  std::lock_guard guard(holdLock_);
  return sharingOverlaps_;
}

bool SimulatedNetwork::WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) {
  PassHold();
  const SharingUse use(*this);
  if (sharingObjectMissing_ || sharingWalkFails_) return false;
  for (const std::string& name : NamesInOrder()) {
    SharedView view(*this, name);
    if (!visit(view)) break;
  }
  return true;
}

std::vector<PublicConnection> SimulatedNetwork::PublicConnections() {
  PassHold();
  const SharingUse use(*this);
  std::lock_guard guard(lock_);
  std::vector<PublicConnection> result;
  if (sharingObjectMissing_) return result;
  // Every connection but the hosted network's own can be the public side.
  for (const LiveConnection& c : connections_)
    if (c.connection.kind != ConnectionKind::Hosted)
      result.push_back({c.connection.name, c.sharingPublic});
  return result;
}

void SimulatedNetwork::DropPrivateSide(LiveConnection& c) {
  if (!c.sharingPrivate) return;
  c.sharingPrivate = false;
  // The address sharing gave goes with it; one set by hand stays.
  if (c.dhcp) {
    c.address.clear();
    c.mask.clear();
  }
}

bool SimulatedNetwork::EnableSharing(std::string_view name, SharingType type) {
  std::lock_guard guard(lock_);
  LiveConnection* target = Find(name);
  if (!target || !administrator_) return false;
  // One public and one private connection at a time: a side moves to its new owner.
  for (LiveConnection& c : connections_) {
    if (type == SharingType::Public) {
      c.sharingPublic = false;
    } else {
      DropPrivateSide(c);
    }
  }
  if (type == SharingType::Public) {
    // The fault: Windows reports success, and the connection is not shared.
    if (!PublicSharingFailsNow()) target->sharingPublic = true;
    sharingLog_.push_back("public " + std::string(name));
  } else {
    // Sharing gives its private side its address but leaves the adapter on DHCP, as
    // the hosted network's adapter is often found on Windows 7; the program fixes
    // that with netsh.
    target->sharingPrivate = true;
    target->address = std::string(kSharingPrivateAddress);
    target->mask = std::string(kSharingPrivateMask);
    sharingLog_.push_back("private " + std::string(name));
  }
  return true;
}

bool SimulatedNetwork::DisableSharing(std::string_view name) {
  std::lock_guard guard(lock_);
  LiveConnection* target = Find(name);
  if (!target || !administrator_) return false;
  DropPrivateSide(*target);
  target->sharingPublic = false;
  sharingLog_.push_back("off " + std::string(name));
  return true;
}

bool SimulatedNetwork::WalkConnections(const std::function<bool(ManagedConnection&)>& visit) {
  PassHold();
  for (const std::string& name : NamesInOrder()) {
    ManagedView view(*this, name);
    if (!visit(view)) break;
  }
  return true;
}

std::optional<std::vector<WmiObject>> SimulatedNetwork::Query(std::string_view wmiNamespace,
                                                              std::string_view wql,
                                                              int maxObjects) {
  if (wmiFails_ || !text::EqualsIgnoreAsciiCase(wmiNamespace, "root\\cimv2")) return std::nullopt;
  // SELECT <properties> FROM Win32_NetworkAdapter WHERE NetConnectionID = '<name>'
  const std::size_t from = text::FindIgnoreAsciiCase(wql, " From Win32_NetworkAdapter WHERE ");
  if (text::FindIgnoreAsciiCase(wql, "Select ") != 0 || from == std::string_view::npos)
    return std::nullopt;
  std::size_t pos = text::FindIgnoreAsciiCase(wql, "NetConnectionID", from);
  if (pos == std::string_view::npos) return std::nullopt;
  pos = wql.find_first_not_of(' ', pos + 15);
  if (pos == std::string_view::npos || wql[pos] != '=') return std::nullopt;
  pos = wql.find_first_not_of(' ', pos + 1);
  if (pos == std::string_view::npos || (wql[pos] != '\'' && wql[pos] != '"')) return std::nullopt;
  std::size_t end = 0;
  const std::optional<std::string> name = ReadWqlString(wql, pos + 1, wql[pos], &end);
  // Anything after the literal would be more WQL than the program ever sends.
  if (!name || wql.find_first_not_of(' ', end) != std::string_view::npos) return std::nullopt;

  std::lock_guard guard(lock_);
  std::vector<WmiObject> objects;
  for (const LiveConnection& c : connections_) {
    if (static_cast<int>(objects.size()) >= maxObjects) break;
    if (c.connection.name != *name) continue;
    objects.push_back({{"GUID", c.connection.guid},
                       {"NetConnectionID", c.connection.name},
                       {"NetConnectionStatus", std::to_string(c.connection.status)}});
  }
  return objects;
}

std::optional<std::vector<AdapterInfo>> SimulatedNetwork::AdaptersInfo() {
  std::lock_guard guard(lock_);
  const bool hideVirtual = hiddenAdapterCalls_ > 0;
  if (hideVirtual) --hiddenAdapterCalls_;
  std::vector<AdapterInfo> adapters;
  for (const LiveConnection& c : connections_) {
    if (!HasIpv4Interface(c.connection)) continue;
    if (hideVirtual && c.connection.name == virtualConnection_) continue;
    adapters.push_back({c.connection.guid, c.connection.description,
                        c.address.empty() ? std::string("0.0.0.0") : c.address});
  }
  return adapters;
}

std::optional<std::vector<AdapterAddresses>> SimulatedNetwork::AdaptersAddresses() {
  std::lock_guard guard(lock_);
  std::vector<AdapterAddresses> adapters;
  for (const LiveConnection& c : connections_) {
    if (hiddenAdapterCalls_ > 0 && c.connection.name == virtualConnection_) continue;
    adapters.push_back({c.connection.guid, c.connection.name});
  }
  return adapters;
}

std::uint32_t SimulatedNetwork::AdapterIndex(std::string_view deviceName) {
  if (text::FindIgnoreAsciiCase(deviceName, kDevicePrefix) != 0) return 0;
  const std::string_view guid = deviceName.substr(kDevicePrefix.size());
  std::lock_guard guard(lock_);
  for (const LiveConnection& c : connections_)
    if (!guid.empty() && text::EqualsIgnoreAsciiCase(c.connection.guid, guid))
      return c.connection.interfaceIndex;
  return 0;
}

std::optional<InterfaceRow> SimulatedNetwork::InterfaceEntry(std::uint32_t index) {
  std::lock_guard guard(lock_);
  for (const LiveConnection& c : connections_) {
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
    if (s.name == virtualConnection_) {
      const auto [sent, received] = clients_.HostedTraffic();
      row.inOctets += received;
      row.outOctets += sent;
    }
    return row;
  }
  return std::nullopt;
}

std::optional<std::vector<NeighbourRow>> SimulatedNetwork::NeighbourTable() {
  std::lock_guard guard(lock_);
  return clients_.Rows(
      [this](std::string_view name) -> std::uint32_t {
        const LiveConnection* c = Find(name);
        return c ? c->connection.interfaceIndex : 0;
      },
      [this](std::uint32_t index) {
        return std::any_of(connections_.begin(), connections_.end(), [&](const LiveConnection& c) {
          return c.connection.interfaceIndex == index;
        });
      });
}

bool SimulatedNetwork::DeleteNeighbour(const NeighbourRow& row) {
  std::lock_guard guard(lock_);
  if (!administrator_) return false;
  return clients_.Delete(row.interfaceIndex, row.address);
}

bool SimulatedNetwork::SetStaticNeighbour(std::uint32_t interfaceIndex, std::uint32_t address,
                                          const std::array<std::uint8_t, 6>& mac) {
  std::lock_guard guard(lock_);
  const bool known = std::any_of(connections_.begin(), connections_.end(),
                                 [&](const LiveConnection& c) {
                                   return c.connection.interfaceIndex == interfaceIndex;
                                 });
  if (!known) return false;
  clients_.SetStatic(interfaceIndex, address, mac);
  return true;
}

std::string SimulatedNetwork::HostNameOfAddress(std::string_view address,
                                                const std::function<bool()>& keepGoing) {
  std::optional<SimClient> client;
  {
    std::lock_guard guard(lock_);
    if (text::ParseIpv4(address)) client = clients_.ClientAt(address);
  }
  if (!client) return {};
  heldNameLookUps_.Pass(keepGoing);
  // The look-up takes its time outside the lock, in slices, so that a program that
  // ends is not kept waiting for all of it.
  constexpr std::uint32_t kSliceMs = 50;
  for (std::uint32_t waited = 0; waited < client->lookupMs; waited += kSliceMs) {
    if (keepGoing && !keepGoing()) return {};
    clock_.SleepFor(std::min(kSliceMs, client->lookupMs - waited), nullptr);
  }
  return client->lookupFails ? std::string() : client->hostName;
}

void SimulatedNetwork::HoldNameLookUps(bool hold) { heldNameLookUps_.Hold(hold); }

int SimulatedNetwork::NameLookUpsWaiting() const { return heldNameLookUps_.Waiting(); }

std::string SimulatedNetwork::ConnectedStateName() {
  std::lock_guard guard(lock_);
  // The buffer was filled with blanks; a machine with no answer leaves it so.
  return internetConnection_.empty() ? std::string(511, ' ') : internetConnection_;
}

std::optional<std::string> SimulatedNetwork::ReadMachineString(std::string_view keyPath,
                                                               std::string_view valueName) {
  if (!text::EqualsIgnoreAsciiCase(valueName, "Name") ||
      !text::EqualsIgnoreAsciiCase(keyPath.substr(0, kConnectionNameKey.size()),
                                   kConnectionNameKey))
    return std::nullopt;
  std::lock_guard guard(lock_);
  for (const LiveConnection& c : connections_) {
    const std::string key = std::string(kConnectionNameKey) + c.connection.guid + "\\Connection";
    if (c.connection.nameInRegistry && text::EqualsIgnoreAsciiCase(keyPath, key))
      return c.connection.name;
  }
  return std::nullopt;
}

std::optional<int> SimulatedNetwork::CountInterfaces(int) {
  PassHold();
  if (wlanServiceMissing_) return std::nullopt;
  return wirelessInterfaces_;
}

bool SimulatedNetwork::HostedHardwareReady() const {
  return wirelessInterfaces_ > 0 && hosted_.driverSupportsIt;
}

int SimulatedNetwork::HostedStateLocked() const {
  if (!HostedHardwareReady() || !hosted_.radioOn || !hosted_.allowed) return 0;
  return hostedActive_ ? 2 : 1;
}

bool SimulatedNetwork::PublicSharingFailsNow() const {
  const int failing = hosted_.sharingFailsStarts;
  if (failing < 0) return true;
  // Sharing belongs to the start that runs, or before one to the start that comes:
  // the program switches it on before netsh starts the network, after a forced start.
  const int start = hostedActive_ ? hostedStarts_ : hostedStarts_ + 1;
  return start <= failing;
}

void SimulatedNetwork::SetAllowedLocked(bool allowed) {
  hosted_.allowed = allowed;
  if (!allowed) hostedActive_ = false;
  UpdateVirtualAdapterLocked();
}

void SimulatedNetwork::StartLocked() {
  if (!hostedActive_) ++hostedStarts_;
  hostedActive_ = true;
  UpdateVirtualAdapterLocked();
}

void SimulatedNetwork::StopLocked() {
  hostedActive_ = false;
  UpdateVirtualAdapterLocked();
}

std::string SimulatedNetwork::VirtualConnectionName() const {
  if (mobileOn_ && !mobile_.connectionName.empty()) return mobile_.connectionName;
  if (!mobileOn_ && !hosted_.connectionName.empty()) return hosted_.connectionName;
  // Windows numbers the new connection after the ones whose names it would take.
  const std::string stem = laterSystem_ ? "本地连接* " : "无线网络连接 ";
  for (int n = laterSystem_ ? 12 : 2;; ++n) {
    std::string name = stem + std::to_string(n);
    if (!Find(name)) return name;
  }
}

void SimulatedNetwork::UpdateVirtualAdapterLocked() {
  // The mobile hotspot brings up a virtual adapter of its own, in the hosted network's
  // place: on a driver without hosted network only it can.
  const bool present =
      mobileOn_ ||
      (HostedHardwareReady() && (hostedActive_ || (!laterSystem_ && hosted_.allowed)));
  const bool running = mobileOn_ || hostedActive_;
  LiveConnection* live = virtualConnection_.empty() ? nullptr : Find(virtualConnection_);
  if (present && running) {
    clients_.HostedStarted(virtualIndex_);
  } else {
    clients_.HostedStopped();
  }
  if (!present) {
    if (live)
      std::erase_if(connections_, [&](const LiveConnection& c) {
        return c.connection.name == virtualConnection_;
      });
    virtualConnection_.clear();
    return;
  }
  if (!live) {
    SimConnection c;
    c.name = VirtualConnectionName();
    c.kind = ConnectionKind::Hosted;
    c.guid = std::string(kVirtualAdapterGuid);
    c.description = std::string(mobileOn_     ? kMobileHotspotAdapter
                                : laterSystem_ ? kVirtualAdapterLater
                                               : kVirtualAdapterWin7);
    c.interfaceIndex = virtualIndex_;
    c.interfaceType = 71;
    c.physicalAddress = virtualMac_;
    virtualConnection_ = c.name;
    const auto idle = std::find_if(connections_.begin(), connections_.end(), [](const auto& x) {
      return x.connection.guid == kIdleDirectAdapterGuid;
    });
    live = &*connections_.insert(idle, {std::move(c)});
    hiddenAdapterCalls_ = hosted_.appearsAfterCalls;
  }
  live->connection.status = running ? 2 : 7;
}

std::optional<bool> SimulatedNetwork::HostedNetworkEnabled() {
  PassHold();
  std::lock_guard guard(lock_);
  if (wlanServiceMissing_) return std::nullopt;
  return hosted_.allowed;
}

bool SimulatedNetwork::SetHostedNetworkEnabled(bool enabled) {
  PassHold();
  std::lock_guard guard(lock_);
  if (wlanServiceMissing_) return false;
  SetAllowedLocked(enabled);
  return true;
}

std::optional<int> SimulatedNetwork::HostedNetworkState() {
  PassHold();
  std::lock_guard guard(lock_);
  if (wlanServiceMissing_) return std::nullopt;
  return HostedStateLocked();
}

std::uint32_t SimulatedNetwork::HostedNetworkPeerLimit() {
  PassHold();
  std::lock_guard guard(lock_);
  return wlanServiceMissing_ ? 0 : hosted_.peerLimit;
}

bool SimulatedNetwork::InitHostedNetworkSettings() {
  PassHold();
  return !wlanServiceMissing_;
}

bool SimulatedNetwork::SetHostedNetworkSsid(std::string_view ssid, std::uint32_t peerLimit) {
  PassHold();
  std::lock_guard guard(lock_);
  if (wlanServiceMissing_ || ssid.empty() || ssid.size() > kMostSsidBytes) return false;
  hosted_.ssid = text::Utf8FromCp936(ssid);
  hosted_.peerLimit = peerLimit;
  return true;
}

bool SimulatedNetwork::SetHostedNetworkPassPhrase(std::string_view passPhrase) {
  PassHold();
  std::lock_guard guard(lock_);
  if (wlanServiceMissing_ || passPhrase.size() < kLeastPassPhraseBytes ||
      passPhrase.size() > kMostPassPhraseBytes) {
    return false;
  }
  hosted_.passPhrase = text::Utf8FromCp936(passPhrase);
  return true;
}

bool SimulatedNetwork::RefreshHostedNetworkSecurity() {
  PassHold();
  return !wlanServiceMissing_;
}

bool SimulatedNetwork::ForceStartHostedNetwork() {
  PassHold();
  std::lock_guard guard(lock_);
  if (wlanServiceMissing_ || !administrator_ || HostedStateLocked() == 0) return false;
  StartLocked();
  return true;
}

bool SimulatedNetwork::ForceStopHostedNetwork() {
  PassHold();
  std::lock_guard guard(lock_);
  if (wlanServiceMissing_ || !administrator_) return false;
  StopLocked();
  return true;
}

bool SimulatedNetwork::MobileUsableLocked(std::string_view adapterGuid) {
  ++mobileCalls_;
  if (!mobile_.available) return false;
  CompletePendingStartLocked(false);
  ApplyIdleOffLocked();
  if (adapterGuid.empty()) return !internetConnection_.empty();
  return std::any_of(connections_.begin(), connections_.end(), [&](const LiveConnection& c) {
    return text::EqualsIgnoreAsciiCase(c.connection.guid, adapterGuid);
  });
}

void SimulatedNetwork::ApplyIdleOffLocked() {
  if (!mobileOn_ || !mobile_.hasTimeoutSetting || !mobile_.timeoutEnabled) return;
  // The last moment a device was there: each device's time runs from the start.
  const std::uint64_t now = clock_.NowMs();
  std::uint64_t lastSeen = mobileSince_;
  for (const SimClient& client : clients_.Clients()) {
    const std::uint64_t joined = mobileSince_ + client.joinMs;
    if (joined > now) continue;
    const std::uint64_t left = client.leaveMs == 0 ? now : mobileSince_ + client.leaveMs;
    lastSeen = std::max(lastSeen, std::min(now, left));
  }
  if (now - lastSeen >= mobile_.idleOffMs) SetMobileOnLocked(false, {});
}

void SimulatedNetwork::SetMobileOnLocked(bool on, std::string_view adapterGuid) {
  if (on == mobileOn_) return;
  // The system shares the connection itself while the hotspot runs: public the chosen
  // connection, private its virtual adapter.
  for (LiveConnection& c : connections_) {
    if (on) {
      c.sharingPublic = text::EqualsIgnoreAsciiCase(c.connection.guid, adapterGuid) ||
                        (adapterGuid.empty() && c.connection.name == internetConnection_);
    } else {
      c.sharingPublic = false;
      DropPrivateSide(c);
    }
  }
  mobileOn_ = on;
  if (on) {
    ++mobileStarts_;
    mobileSince_ = clock_.NowMs();
  }
  UpdateVirtualAdapterLocked();
  if (LiveConnection* adapter = on ? Find(virtualConnection_) : nullptr) {
    adapter->sharingPrivate = true;
    adapter->address = std::string(kSharingPrivateAddress);
    adapter->mask = std::string(kSharingPrivateMask);
  }
}

bool SimulatedNetwork::AwaitOperation(std::uint32_t takesMs, const AsyncWait& wait) {
  // In slices, so that a program that gives the operation up is not kept waiting.
  constexpr std::uint32_t kSliceMs = 50;
  const std::uint32_t waited = std::min(takesMs, wait.limitMs);
  for (std::uint32_t slept = 0;; slept += kSliceMs) {
    if (wait.keepGoing && !wait.keepGoing()) return false;
    if (slept >= waited) break;
    clock_.SleepFor(std::min(kSliceMs, waited - slept), nullptr);
  }
  return takesMs <= wait.limitMs;
}

TetheringResult SimulatedNetwork::CompleteStartLocked(std::string_view adapterGuid) {
  if (wirelessInterfaces_ == 0 || !hosted_.radioOn)
    return {static_cast<int>(TetheringStatus::WiFiDeviceOff), {}};
  if (mobile_.startStatus != static_cast<int>(TetheringStatus::Success)) {
    if (mobile_.capabilityAfterFailure >= 0) mobile_.capability = mobile_.capabilityAfterFailure;
    return {mobile_.startStatus, mobile_.startError};
  }
  SetMobileOnLocked(true, adapterGuid);
  return {static_cast<int>(TetheringStatus::Success), {}};
}

void SimulatedNetwork::CompletePendingStartLocked(bool always) {
  if (!pendingStart_ || (!always && clock_.NowMs() < pendingStart_->dueMs)) return;
  const std::string adapterGuid = std::move(pendingStart_->adapterGuid);
  pendingStart_.reset();
  CompleteStartLocked(adapterGuid);
}

std::optional<int> SimulatedNetwork::Capability(std::string_view adapterGuid) {
  std::lock_guard guard(lock_);
  if (!MobileUsableLocked(adapterGuid)) return std::nullopt;
  return mobile_.capability;
}

bool SimulatedNetwork::Configure(std::string_view adapterGuid, std::string_view ssid,
                                 std::string_view passPhrase, const AsyncWait& wait) {
  {
    std::lock_guard guard(lock_);
    if (!MobileUsableLocked(adapterGuid)) return false;
  }
  if (!AwaitOperation(0, wait)) return false;
  std::lock_guard guard(lock_);
  // The access point keeps the name in UTF-8.
  if (mobile_.configureFails || ssid.empty() || ssid.size() > kMostSsidBytes) return false;
  mobile_.ssid = std::string(ssid);
  mobile_.passPhrase = std::string(passPhrase);
  return true;
}

TetheringResult SimulatedNetwork::Start(std::string_view adapterGuid, const AsyncWait& wait) {
  int number = 0;
  {
    std::lock_guard guard(lock_);
    if (!MobileUsableLocked(adapterGuid)) return {};
    // One start in the system's hands at a time: a new one takes the place of the last.
    number = ++startsSent_;
    pendingStart_ =
        PendingStart{std::string(adapterGuid), clock_.NowMs() + mobile_.startMs, number};
  }
  heldMobileStarts_.Pass(wait.keepGoing);
  const bool answered = AwaitOperation(mobile_.startMs, wait);
  std::lock_guard guard(lock_);
  const bool mine = pendingStart_ && pendingStart_->number == number;
  if (!answered) {
    if (mine && mobile_.startHonoursCancel) pendingStart_.reset();
    return {static_cast<int>(TetheringStatus::Unknown), {}, true};
  }
  // Completed by a later operation meanwhile, it has already done what it does.
  if (!mine) return {static_cast<int>(TetheringStatus::Success), {}};
  pendingStart_.reset();
  return CompleteStartLocked(adapterGuid);
}

TetheringResult SimulatedNetwork::Stop(std::string_view adapterGuid, const AsyncWait& wait) {
  {
    std::lock_guard guard(lock_);
    if (!MobileUsableLocked(adapterGuid)) return {};
  }
  if (!AwaitOperation(0, wait)) return {static_cast<int>(TetheringStatus::Unknown), {}, true};
  std::lock_guard guard(lock_);
  // The system carries out the start it has in hand first.
  CompletePendingStartLocked(true);
  SetMobileOnLocked(false, adapterGuid);
  return {static_cast<int>(TetheringStatus::Success), {}};
}

std::optional<int> SimulatedNetwork::State(std::string_view adapterGuid) {
  std::lock_guard guard(lock_);
  if (!MobileUsableLocked(adapterGuid)) return std::nullopt;
  return static_cast<int>(mobileOn_ ? TetheringState::On : TetheringState::Off);
}

std::optional<std::vector<TetheringClient>> SimulatedNetwork::Clients(
    std::string_view adapterGuid) {
  std::lock_guard guard(lock_);
  if (!MobileUsableLocked(adapterGuid) || !mobile_.hasClientList) return std::nullopt;
  std::vector<TetheringClient> list;
  if (!mobileOn_) return list;
  const std::uint64_t now = clock_.NowMs();
  for (const SimClient& client : clients_.Clients()) {
    if (now < mobileSince_ + client.joinMs) continue;
    if (client.leaveMs != 0 && now >= mobileSince_ + client.leaveMs) continue;
    // The device's address is among its names. The MAC is written unlike the neighbour
    // table's, in lower case with colons: the system's way of writing it is not
    // documented, so the program must not depend on one.
    std::string mac;
    for (const char c : client.mac)
      mac += c == '-' ? ':' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    TetheringClient entry{mac, {client.ip}};
    if (!client.hostName.empty()) entry.hostNames.push_back(client.hostName);
    list.push_back(std::move(entry));
  }
  return list;
}

std::optional<bool> SimulatedNetwork::NoConnectionsTimeoutEnabled() {
  std::lock_guard guard(lock_);
  ++mobileCalls_;
  if (!mobile_.available || !mobile_.hasTimeoutSetting) return std::nullopt;
  return mobile_.timeoutEnabled;
}

bool SimulatedNetwork::SetNoConnectionsTimeoutEnabled(bool enabled) {
  std::lock_guard guard(lock_);
  ++mobileCalls_;
  if (!mobile_.available || !mobile_.hasTimeoutSetting) return false;
  mobile_.timeoutEnabled = enabled;
  return true;
}

SimulatedNetwork::MobileHotspotView SimulatedNetwork::MobileHotspot() {
  std::lock_guard guard(lock_);
  if (mobile_.available) CompletePendingStartLocked(false);
  ApplyIdleOffLocked();
  return {mobileOn_,
          mobile_.ssid,
          mobile_.passPhrase,
          mobile_.timeoutEnabled,
          mobileOn_ ? virtualConnection_ : std::string{},
          mobileStarts_,
          mobileCalls_,
          mobile_.available && mobile_.hasTimeoutSetting};
}

void SimulatedNetwork::CompletePendingOperations() {
  std::lock_guard guard(lock_);
  CompletePendingStartLocked(true);
}

void SimulatedNetwork::HoldMobileStarts(bool hold) { heldMobileStarts_.Hold(hold); }

int SimulatedNetwork::MobileStartsWaiting() const { return heldMobileStarts_.Waiting(); }

std::vector<std::string> SimulatedNetwork::PinnedOnHostedInterface() const {
  std::lock_guard guard(lock_);
  std::vector<std::string> macs;
  for (const std::array<std::uint8_t, 6>& mac : clients_.StaticMacs(virtualIndex_)) {
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

void SimulatedNetwork::SwitchMobileHotspotOff() {
  std::lock_guard guard(lock_);
  SetMobileOnLocked(false, {});
}

bool SimulatedNetwork::Administrator() const {
  std::lock_guard guard(lock_);
  return administrator_;
}

bool SimulatedNetwork::WlanServiceRunning() const { return !wlanServiceMissing_; }

bool SimulatedNetwork::HostedNetworkSupported() const {
  std::lock_guard guard(lock_);
  return hosted_.driverSupportsIt;
}

bool SimulatedNetwork::HostedNetworkListedByDrivers() const {
  std::lock_guard guard(lock_);
  return hosted_.listedByDrivers;
}

int SimulatedNetwork::WirelessInterfaces() const {
  std::lock_guard guard(lock_);
  return wirelessInterfaces_;
}

void SimulatedNetwork::SetHostedNetworkMode(bool allowed) {
  std::lock_guard guard(lock_);
  SetAllowedLocked(allowed);
}

void SimulatedNetwork::ConfigureHostedNetwork(const std::optional<std::string>& ssid,
                                              const std::optional<std::string>& passPhrase) {
  std::lock_guard guard(lock_);
  if (ssid) hosted_.ssid = *ssid;
  if (passPhrase) hosted_.passPhrase = *passPhrase;
}

SimulatedNetwork::HostedStart SimulatedNetwork::StartHostedNetwork() {
  std::lock_guard guard(lock_);
  if (!HostedHardwareReady()) return HostedStart::BadState;
  if (!hosted_.radioOn) return HostedStart::RadioOff;
  if (!hosted_.allowed || hosted_.ssid.empty()) return HostedStart::BadState;
  StartLocked();
  return HostedStart::Started;
}

void SimulatedNetwork::StopHostedNetwork() {
  std::lock_guard guard(lock_);
  StopLocked();
}

std::vector<SimulatedNetwork::Ipv4Interface> SimulatedNetwork::Ipv4Interfaces() const {
  std::lock_guard guard(lock_);
  std::vector<Ipv4Interface> interfaces;
  for (const LiveConnection& c : connections_) {
    if (!HasIpv4Interface(c.connection)) continue;
    interfaces.push_back(
        {c.connection.name, c.dhcp, c.address, c.mask, MetricOf(c.connection.kind)});
  }
  return interfaces;
}

bool SimulatedNetwork::SetInterfaceAddress(std::string_view name, const std::string& address,
                                           const std::string& mask) {
  std::lock_guard guard(lock_);
  for (LiveConnection& c : connections_) {
    if (!HasIpv4Interface(c.connection) || !text::EqualsIgnoreAsciiCase(c.connection.name, name))
      continue;
    c.dhcp = address.empty();
    c.address = address;
    c.mask = address.empty() ? std::string{} : mask;
    return true;
  }
  return false;
}

std::uint32_t SimulatedNetwork::StartType(std::string_view service) {
  PassHold();
  std::lock_guard guard(lock_);
  const auto found = services_.find(std::string(service));
  return !administrator_ || found == services_.end() ? 0 : found->second.startType;
}

bool SimulatedNetwork::SetStartType(std::string_view service, std::uint32_t startType) {
  PassHold();
  std::lock_guard guard(lock_);
  const auto found = services_.find(std::string(service));
  if (!administrator_ || found == services_.end()) return false;
  found->second.startType = startType;
  return true;
}

std::uint32_t SimulatedNetwork::CurrentState(std::string_view service) {
  PassHold();
  std::lock_guard guard(lock_);
  const auto found = services_.find(std::string(service));
  return !administrator_ || found == services_.end() ? 0 : found->second.state;
}

bool SimulatedNetwork::Start(std::string_view service) {
  PassHold();
  std::lock_guard guard(lock_);
  const auto found = services_.find(std::string(service));
  // A disabled service does not start, nor one whose dependencies are missing.
  if (!administrator_ || found == services_.end() || !found->second.canStart ||
      found->second.startType == 4) {
    return false;
  }
  found->second.state = 4;
  return true;
}

SimulatedNetwork::SharingState SimulatedNetwork::Sharing() const {
  std::lock_guard guard(lock_);
  SharingState state;
  for (const LiveConnection& c : connections_) {
    if (c.sharingPublic) state.publicConnection = c.connection.name;
    if (c.sharingPrivate) state.privateConnection = c.connection.name;
  }
  return state;
}

std::optional<SimConnection> SimulatedNetwork::Connection(std::string_view name) const {
  std::lock_guard guard(lock_);
  const LiveConnection* c = Find(name);
  return c ? std::optional(c->connection) : std::nullopt;
}

std::string SimulatedNetwork::AddressOf(std::string_view name) const {
  std::lock_guard guard(lock_);
  const LiveConnection* c = Find(name);
  return c ? c->address : std::string{};
}

SimService SimulatedNetwork::Service(std::string_view name) const {
  std::lock_guard guard(lock_);
  const auto found = services_.find(std::string(name));
  return found == services_.end() ? SimService{} : found->second;
}

SimulatedNetwork::HostedNetworkView SimulatedNetwork::HostedNetwork() const {
  std::lock_guard guard(lock_);
  return {hosted_.allowed,   HostedStateLocked(), hosted_.ssid, hosted_.passPhrase,
          hosted_.peerLimit, virtualConnection_,  hostedStarts_};
}

std::optional<bool> SimulatedNetwork::DhcpOf(std::string_view name) const {
  std::lock_guard guard(lock_);
  const LiveConnection* c = Find(name);
  return c ? std::optional(c->dhcp) : std::nullopt;
}

std::vector<std::string> SimulatedNetwork::SharingLog() const {
  std::lock_guard guard(lock_);
  return sharingLog_;
}

void SimulatedNetwork::AddConnection(SimConnection connection) {
  std::lock_guard guard(lock_);
  connections_.push_back({std::move(connection)});
}

void SimulatedNetwork::RemoveConnection(std::string_view name) {
  std::lock_guard guard(lock_);
  std::erase_if(connections_, [&](const LiveConnection& c) { return c.connection.name == name; });
}

void SimulatedNetwork::SetStatus(std::string_view name, int status) {
  std::lock_guard guard(lock_);
  if (LiveConnection* c = Find(name)) c->connection.status = status;
}

void SimulatedNetwork::SetByteCounters(std::string_view name, std::uint64_t received,
                                       std::uint64_t sent) {
  std::lock_guard guard(lock_);
  if (LiveConnection* c = Find(name)) {
    c->connection.receivedBytes = received;
    c->connection.sentBytes = sent;
  }
}

void SimulatedNetwork::SetInternetConnection(std::string internetConnection) {
  std::lock_guard guard(lock_);
  internetConnection_ = std::move(internetConnection);
}

void SimulatedNetwork::SetAdministrator(bool administrator) {
  std::lock_guard guard(lock_);
  administrator_ = administrator;
}

void SimulatedNetwork::SetRadioOn(bool on) {
  std::lock_guard guard(lock_);
  hosted_.radioOn = on;
  // Switching the radio off takes the running network down with it.
  if (!on) StopLocked();
}

}  // namespace lumora::platform::sim
