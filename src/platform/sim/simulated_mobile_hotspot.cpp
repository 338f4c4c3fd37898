#include "platform/sim/simulated_mobile_hotspot.h"

#include <algorithm>
#include <cctype>

#include "text/search.h"

namespace lumora::platform::sim {
bool SimulatedMobileHotspot::MobileUsableLocked(std::string_view adapterGuid) {
  ++state_.mobileCalls;
  if (!state_.mobile.available) return false;
  CompletePendingStartLocked(false);
  ApplyIdleOffLocked();
  if (adapterGuid.empty()) return !state_.internetConnection.empty();
  return std::any_of(state_.connections.begin(), state_.connections.end(),
                     [&](const LiveConnection& c) {
                       return text::EqualsIgnoreAsciiCase(c.connection.guid, adapterGuid);
                     });
}

void SimulatedMobileHotspot::ApplyIdleOffLocked() {
  if (!state_.mobileOn || !state_.mobile.hasTimeoutSetting || !state_.mobile.timeoutEnabled) return;
  // The last moment a device was there: each device's time runs from the start.
  const std::uint64_t now = state_.clock.NowMs();
  std::uint64_t lastSeen = state_.mobileSince;
  for (const SimClient& client : state_.clients.Clients()) {
    const std::uint64_t joined = state_.mobileSince + client.joinMs;
    if (joined > now) continue;
    const std::uint64_t left = client.leaveMs == 0 ? now : state_.mobileSince + client.leaveMs;
    lastSeen = std::max(lastSeen, std::min(now, left));
  }
  if (now - lastSeen >= state_.mobile.idleOffMs) SetMobileOnLocked(false, {});
}

void SimulatedMobileHotspot::SetMobileOnLocked(bool on, std::string_view adapterGuid) {
  if (on == state_.mobileOn) return;
  // The system shares the connection itself while the hotspot runs: public the chosen
  // connection, private its virtual adapter.
  for (LiveConnection& c : state_.connections) {
    if (on) {
      c.sharingPublic = text::EqualsIgnoreAsciiCase(c.connection.guid, adapterGuid) ||
                        (adapterGuid.empty() && c.connection.name == state_.internetConnection);
    } else {
      c.sharingPublic = false;
      c.DropPrivateSide();
    }
  }
  state_.mobileOn = on;
  if (on) {
    ++state_.mobileStarts;
    state_.mobileSince = state_.clock.NowMs();
  }
  state_.UpdateVirtualAdapterLocked();
  if (LiveConnection* adapter = on ? state_.Find(state_.virtualConnection) : nullptr) {
    adapter->sharingPrivate = true;
    adapter->address = std::string(kSharingPrivateAddress);
    adapter->mask = std::string(kSharingPrivateMask);
  }
}

bool SimulatedMobileHotspot::AwaitOperation(std::uint32_t takesMs, const AsyncWait& wait) {
  // In slices, so that a program that gives the operation up is not kept waiting.
  constexpr std::uint32_t kSliceMs = 50;
  const std::uint32_t waited = std::min(takesMs, wait.limitMs);
  for (std::uint32_t slept = 0;; slept += kSliceMs) {
    if (wait.keepGoing && !wait.keepGoing()) return false;
    if (slept >= waited) break;
    state_.clock.SleepFor(std::min(kSliceMs, waited - slept), nullptr);
  }
  return takesMs <= wait.limitMs;
}

TetheringResult SimulatedMobileHotspot::CompleteStartLocked(std::string_view adapterGuid) {
  if (state_.wirelessInterfaces == 0 || !state_.hosted.radioOn)
    return {static_cast<int>(TetheringStatus::WiFiDeviceOff), {}};
  if (state_.mobile.startStatus != static_cast<int>(TetheringStatus::Success)) {
    if (state_.mobile.capabilityAfterFailure >= 0)
      state_.mobile.capability = state_.mobile.capabilityAfterFailure;
    return {state_.mobile.startStatus, state_.mobile.startError};
  }
  SetMobileOnLocked(true, adapterGuid);
  return {static_cast<int>(TetheringStatus::Success), {}};
}

void SimulatedMobileHotspot::CompletePendingStartLocked(bool always) {
  if (!state_.pendingStart || (!always && state_.clock.NowMs() < state_.pendingStart->dueMs))
    return;
  const std::string adapterGuid = std::move(state_.pendingStart->adapterGuid);
  state_.pendingStart.reset();
  CompleteStartLocked(adapterGuid);
}

std::optional<int> SimulatedMobileHotspot::Capability(std::string_view adapterGuid) {
  std::lock_guard guard(state_.lock);
  if (!MobileUsableLocked(adapterGuid)) return std::nullopt;
  return state_.mobile.capability;
}

bool SimulatedMobileHotspot::Configure(std::string_view adapterGuid, std::string_view ssid,
                                       std::string_view passPhrase, const AsyncWait& wait) {
  {
    std::lock_guard guard(state_.lock);
    if (!MobileUsableLocked(adapterGuid)) return false;
  }
  if (!AwaitOperation(0, wait)) return false;
  std::lock_guard guard(state_.lock);
  // The access point keeps the name in UTF-8.
  if (state_.mobile.configureFails || ssid.empty() || ssid.size() > kMostSsidBytes) return false;
  state_.mobile.ssid = std::string(ssid);
  state_.mobile.passPhrase = std::string(passPhrase);
  return true;
}

TetheringResult SimulatedMobileHotspot::Start(std::string_view adapterGuid, const AsyncWait& wait) {
  int number = 0;
  {
    std::lock_guard guard(state_.lock);
    if (!MobileUsableLocked(adapterGuid)) return {};
    // One start in the system's hands at a time: a new one takes the place of the last.
    number = ++state_.startsSent;
    state_.pendingStart = PendingStart{std::string(adapterGuid),
                                       state_.clock.NowMs() + state_.mobile.startMs, number};
  }
  heldMobileStarts_.Pass(wait.keepGoing);
  const bool answered = AwaitOperation(state_.mobile.startMs, wait);
  std::lock_guard guard(state_.lock);
  const bool mine = state_.pendingStart && state_.pendingStart->number == number;
  if (!answered) {
    if (mine && state_.mobile.startHonoursCancel) state_.pendingStart.reset();
    return {static_cast<int>(TetheringStatus::Unknown), {}, true};
  }
  // Completed by a later operation meanwhile, it has already done what it does.
  if (!mine) return {static_cast<int>(TetheringStatus::Success), {}};
  state_.pendingStart.reset();
  return CompleteStartLocked(adapterGuid);
}

TetheringResult SimulatedMobileHotspot::Stop(std::string_view adapterGuid, const AsyncWait& wait) {
  {
    std::lock_guard guard(state_.lock);
    if (!MobileUsableLocked(adapterGuid)) return {};
  }
  if (!AwaitOperation(0, wait)) return {static_cast<int>(TetheringStatus::Unknown), {}, true};
  std::lock_guard guard(state_.lock);
  // The system carries out the start it has in hand first.
  CompletePendingStartLocked(true);
  SetMobileOnLocked(false, adapterGuid);
  return {static_cast<int>(TetheringStatus::Success), {}};
}

std::optional<int> SimulatedMobileHotspot::State(std::string_view adapterGuid) {
  std::lock_guard guard(state_.lock);
  if (!MobileUsableLocked(adapterGuid)) return std::nullopt;
  return static_cast<int>(state_.mobileOn ? TetheringState::On : TetheringState::Off);
}

std::optional<std::vector<TetheringClient>> SimulatedMobileHotspot::Clients(
    std::string_view adapterGuid) {
  std::lock_guard guard(state_.lock);
  if (!MobileUsableLocked(adapterGuid) || !state_.mobile.hasClientList) return std::nullopt;
  std::vector<TetheringClient> list;
  if (!state_.mobileOn) return list;
  const std::uint64_t now = state_.clock.NowMs();
  for (const SimClient& client : state_.clients.Clients()) {
    if (now < state_.mobileSince + client.joinMs) continue;
    if (client.leaveMs != 0 && now >= state_.mobileSince + client.leaveMs) continue;
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

std::optional<bool> SimulatedMobileHotspot::NoConnectionsTimeoutEnabled() {
  std::lock_guard guard(state_.lock);
  ++state_.mobileCalls;
  if (!state_.mobile.available || !state_.mobile.hasTimeoutSetting) return std::nullopt;
  return state_.mobile.timeoutEnabled;
}

bool SimulatedMobileHotspot::SetNoConnectionsTimeoutEnabled(bool enabled) {
  std::lock_guard guard(state_.lock);
  ++state_.mobileCalls;
  if (!state_.mobile.available || !state_.mobile.hasTimeoutSetting) return false;
  state_.mobile.timeoutEnabled = enabled;
  return true;
}

SimulatedMobileHotspot::MobileHotspotView SimulatedMobileHotspot::MobileHotspot() {
  std::lock_guard guard(state_.lock);
  if (state_.mobile.available) CompletePendingStartLocked(false);
  ApplyIdleOffLocked();
  return {state_.mobileOn,
          state_.mobile.ssid,
          state_.mobile.passPhrase,
          state_.mobile.timeoutEnabled,
          state_.mobileOn ? state_.virtualConnection : std::string{},
          state_.mobileStarts,
          state_.mobileCalls,
          state_.mobile.available && state_.mobile.hasTimeoutSetting};
}

void SimulatedMobileHotspot::CompletePendingOperations() {
  std::lock_guard guard(state_.lock);
  CompletePendingStartLocked(true);
}

void SimulatedMobileHotspot::HoldMobileStarts(bool hold) { heldMobileStarts_.Hold(hold); }

int SimulatedMobileHotspot::MobileStartsWaiting() const { return heldMobileStarts_.Waiting(); }

void SimulatedMobileHotspot::SwitchMobileHotspotOff() {
  std::lock_guard guard(state_.lock);
  SetMobileOnLocked(false, {});
}

}  // namespace lumora::platform::sim
