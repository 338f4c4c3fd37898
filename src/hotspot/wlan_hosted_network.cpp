#include "hotspot/wlan_hosted_network.h"

#include <string>
#include <vector>

#include "exec/worker_context.h"
#include "text/cp936.h"

namespace lumora::hotspot {

namespace {

// The SSID field of the platform's record.
constexpr std::size_t kSsidBytes = 32;

// Every call into the WLAN service and every walk is a step of its own: on the start
// worker an end lets no further step begin (exec::PlatformCall).
std::vector<std::string> ConnectionNames(netconfig::NetworkContext& net) {
  std::vector<std::string> names;
  exec::PlatformCall([&] {
    net.ports.connectionManager.WalkConnections([&](platform::ManagedConnection& connection) {
      names.push_back(connection.Name());
      return !exec::CurrentWorkerEnded();
    });
  });
  return names;
}

bool Enabled(platform::WlanPort& wlan) {
  return exec::PlatformCall([&] { return wlan.HostedNetworkEnabled(); }).value_or(false);
}

}  // namespace

void WlanHostedNetwork::StartHostedNetwork(std::string_view name, std::string_view passPhrase,
                                           std::string_view connection) {
  platform::WlanPort& wlan = net_.ports.wlan;
  if (!Enabled(wlan)) exec::PlatformCall([&] { wlan.SetHostedNetworkEnabled(true); });
  std::string before;
  for (const std::string& existing : ConnectionNames(net_)) before += existing + "\r\n";
  if (State() == kHostedNetworkActive) return;

  // Each step runs whatever the one before answered; the start sequence judges the
  // outcome by whether sharing came up.
  const std::uint32_t peerLimit = exec::PlatformCall([&] { return wlan.HostedNetworkPeerLimit(); });
  exec::PlatformCall([&] { wlan.InitHostedNetworkSettings(); });
  const std::string ssid = text::Cp936FromUtf8(name);
  if (ssid.size() <= kSsidBytes)
    exec::PlatformCall([&] { wlan.SetHostedNetworkSsid(ssid, peerLimit); });
  exec::PlatformCall([&] { wlan.SetHostedNetworkPassPhrase(text::Cp936FromUtf8(passPhrase)); });
  exec::PlatformCall([&] { wlan.RefreshHostedNetworkSecurity(); });
  exec::PlatformCall([&] { wlan.ForceStartHostedNetwork(); });

  // The connection that was not there before is the hosted network's; the last such
  // one wins.
  std::string hosted;
  for (const std::string& now : ConnectionNames(net_))
    if (before.find(now) == std::string::npos) hosted = now;

  exec::PlatformCall([&] {
    net_.ports.sharing.WalkEveryConnection([&](platform::SharedConnection& shared) {
      const std::string sharedName = shared.Name();
      if (sharedName == connection) {
        shared.EnableSharing(platform::SharingType::Public);
      } else if (!hosted.empty() && sharedName == hosted) {
        shared.EnableSharing(platform::SharingType::Private);
      }
      return !exec::CurrentWorkerEnded();
    });
  });
}

std::optional<int> WlanHostedNetwork::State() {
  return exec::PlatformCall([&] { return net_.ports.wlan.HostedNetworkState(); });
}

void WlanHostedNetwork::StopHostedNetwork() {
  platform::WlanPort& wlan = net_.ports.wlan;
  if (State() == kHostedNetworkActive) exec::PlatformCall([&] { wlan.ForceStopHostedNetwork(); });
  if (Enabled(wlan)) exec::PlatformCall([&] { wlan.SetHostedNetworkEnabled(false); });
  // Switching sharing off where it is off already does no harm, and it reaches the
  // private side as well as the public one.
  exec::PlatformCall([&] {
    net_.ports.sharing.WalkEveryConnection([](platform::SharedConnection& shared) {
      shared.DisableSharing();
      return !exec::CurrentWorkerEnded();
    });
  });
}

}  // namespace lumora::hotspot
