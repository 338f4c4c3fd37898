#include "platform/sim/simulated_wlan.h"

#include "text/cp936.h"

namespace lumora::platform::sim {

namespace {

constexpr std::size_t kLeastPassPhraseBytes = 8;
constexpr std::size_t kMostPassPhraseBytes = 63;

}  // namespace

int SimulatedWlan::HostedStateLocked() const {
  if (!state_.HostedHardwareReady() || !state_.hosted.radioOn || !state_.hosted.allowed) return 0;
  return state_.hostedActive ? 2 : 1;
}

void SimulatedWlan::SetAllowedLocked(bool allowed) {
  state_.hosted.allowed = allowed;
  if (!allowed) state_.hostedActive = false;
  state_.UpdateVirtualAdapterLocked();
}

void SimulatedWlan::StartLocked() {
  if (!state_.hostedActive) ++state_.hostedStarts;
  state_.hostedActive = true;
  state_.UpdateVirtualAdapterLocked();
}

void SimulatedWlan::StopLocked() {
  state_.hostedActive = false;
  state_.UpdateVirtualAdapterLocked();
}

std::optional<int> SimulatedWlan::CountInterfaces(int) {
  state_.PassHold();
  if (state_.wlanServiceMissing) return std::nullopt;
  return state_.wirelessInterfaces;
}

std::optional<bool> SimulatedWlan::HostedNetworkEnabled() {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  if (state_.wlanServiceMissing) return std::nullopt;
  return state_.hosted.allowed;
}

bool SimulatedWlan::SetHostedNetworkEnabled(bool enabled) {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  if (state_.wlanServiceMissing) return false;
  SetAllowedLocked(enabled);
  return true;
}

std::optional<int> SimulatedWlan::HostedNetworkState() {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  if (state_.wlanServiceMissing) return std::nullopt;
  return HostedStateLocked();
}

std::uint32_t SimulatedWlan::HostedNetworkPeerLimit() {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  return state_.wlanServiceMissing ? 0 : state_.hosted.peerLimit;
}

bool SimulatedWlan::InitHostedNetworkSettings() {
  state_.PassHold();
  return !state_.wlanServiceMissing;
}

bool SimulatedWlan::SetHostedNetworkSsid(std::string_view ssid, std::uint32_t peerLimit) {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  if (state_.wlanServiceMissing || ssid.empty() || ssid.size() > kMostSsidBytes) return false;
  state_.hosted.ssid = text::Utf8FromCp936(ssid);
  state_.hosted.peerLimit = peerLimit;
  return true;
}

bool SimulatedWlan::SetHostedNetworkPassPhrase(std::string_view passPhrase) {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  if (state_.wlanServiceMissing || passPhrase.size() < kLeastPassPhraseBytes ||
      passPhrase.size() > kMostPassPhraseBytes) {
    return false;
  }
  state_.hosted.passPhrase = text::Utf8FromCp936(passPhrase);
  return true;
}

bool SimulatedWlan::RefreshHostedNetworkSecurity() {
  state_.PassHold();
  return !state_.wlanServiceMissing;
}

bool SimulatedWlan::ForceStartHostedNetwork() {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  if (state_.wlanServiceMissing || !state_.administrator || HostedStateLocked() == 0) return false;
  StartLocked();
  return true;
}

bool SimulatedWlan::ForceStopHostedNetwork() {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  if (state_.wlanServiceMissing || !state_.administrator) return false;
  StopLocked();
  return true;
}

bool SimulatedWlan::WlanServiceRunning() const { return !state_.wlanServiceMissing; }

bool SimulatedWlan::HostedNetworkSupported() const {
  std::lock_guard guard(state_.lock);
  return state_.hosted.driverSupportsIt;
}

bool SimulatedWlan::HostedNetworkListedByDrivers() const {
  std::lock_guard guard(state_.lock);
  return state_.hosted.listedByDrivers;
}

int SimulatedWlan::WirelessInterfaces() const {
  std::lock_guard guard(state_.lock);
  return state_.wirelessInterfaces;
}

void SimulatedWlan::SetHostedNetworkMode(bool allowed) {
  std::lock_guard guard(state_.lock);
  SetAllowedLocked(allowed);
}

void SimulatedWlan::ConfigureHostedNetwork(const std::optional<std::string>& ssid,
                                           const std::optional<std::string>& passPhrase) {
  std::lock_guard guard(state_.lock);
  if (ssid) state_.hosted.ssid = *ssid;
  if (passPhrase) state_.hosted.passPhrase = *passPhrase;
}

SimulatedWlan::HostedStart SimulatedWlan::StartHostedNetwork() {
  std::lock_guard guard(state_.lock);
  if (!state_.HostedHardwareReady()) return HostedStart::BadState;
  if (!state_.hosted.radioOn) return HostedStart::RadioOff;
  if (!state_.hosted.allowed || state_.hosted.ssid.empty()) return HostedStart::BadState;
  StartLocked();
  return HostedStart::Started;
}

void SimulatedWlan::StopHostedNetwork() {
  std::lock_guard guard(state_.lock);
  StopLocked();
}

SimulatedWlan::HostedNetworkView SimulatedWlan::HostedNetwork() const {
  std::lock_guard guard(state_.lock);
  return {state_.hosted.allowed,    HostedStateLocked(),     state_.hosted.ssid,
          state_.hosted.passPhrase, state_.hosted.peerLimit, state_.virtualConnection,
          state_.hostedStarts};
}

void SimulatedWlan::SetRadioOn(bool on) {
  std::lock_guard guard(state_.lock);
  state_.hosted.radioOn = on;
  // Switching the radio off takes the running network down with it.
  if (!on) StopLocked();
}

}  // namespace lumora::platform::sim
