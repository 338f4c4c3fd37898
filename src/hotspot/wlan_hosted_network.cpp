#include "hotspot/wlan_hosted_network.h"

#include <string>
#include <vector>

#include "text/cp936.h"

namespace lumora::hotspot {

namespace {

constexpr int kHostedNetworkActive = 2;
// The SSID field of the platform's record.
constexpr std::size_t kSsidBytes = 32;

std::vector<std::string> ConnectionNames(netconfig::NetworkContext& net) {
  std::vector<std::string> names;
  net.ports.connectionManager.WalkConnections([&](platform::ManagedConnection& connection) {
    names.push_back(connection.Name());
    return true;
  });
  return names;
}

}  // namespace

void WlanHostedNetwork::StartHostedNetwork(std::string_view name, std::string_view passPhrase,
                                           std::string_view connection) {
  platform::WlanPort& wlan = net_.ports.wlan;
  if (!wlan.HostedNetworkEnabled().value_or(false)) wlan.SetHostedNetworkEnabled(true);
  std::string before;
  for (const std::string& existing : ConnectionNames(net_)) before += existing + "\r\n";
  if (wlan.HostedNetworkState() == kHostedNetworkActive) return;

  // Each step runs whatever the one before answered; the start sequence judges the
  // outcome by whether sharing came up.
  const std::uint32_t peerLimit = wlan.HostedNetworkPeerLimit();
  wlan.InitHostedNetworkSettings();
  const std::string ssid = text::Cp936FromUtf8(name);
  if (ssid.size() <= kSsidBytes) wlan.SetHostedNetworkSsid(ssid, peerLimit);
  wlan.SetHostedNetworkPassPhrase(text::Cp936FromUtf8(passPhrase));
  wlan.RefreshHostedNetworkSecurity();
  wlan.ForceStartHostedNetwork();

  // The connection that was not there before is the hosted network's; the last such
  // one wins.
  std::string hosted;
  for (const std::string& now : ConnectionNames(net_))
    if (before.find(now) == std::string::npos) hosted = now;

  net_.ports.sharing.WalkEveryConnection([&](platform::SharedConnection& shared) {
    const std::string sharedName = shared.Name();
    if (sharedName == connection) {
      shared.EnableSharing(platform::SharingType::Public);
    } else if (!hosted.empty() && sharedName == hosted) {
      shared.EnableSharing(platform::SharingType::Private);
    }
  });
}

void WlanHostedNetwork::StopHostedNetwork() {
  platform::WlanPort& wlan = net_.ports.wlan;
  if (wlan.HostedNetworkState() == kHostedNetworkActive) wlan.ForceStopHostedNetwork();
  if (wlan.HostedNetworkEnabled().value_or(false)) wlan.SetHostedNetworkEnabled(false);
  // Switching sharing off where it is off already does no harm, and it reaches the
  // private side as well as the public one.
  net_.ports.sharing.WalkEveryConnection(
      [](platform::SharedConnection& shared) { shared.DisableSharing(); });
}

}  // namespace lumora::hotspot
