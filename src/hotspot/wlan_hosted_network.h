#pragma once
// The hosted network through the WLAN service, on every system after Windows 7: start
// it with a name and pass phrase and share a connection to it; stop it and switch
// sharing off.

#include <optional>
#include <string_view>

#include "netconfig/network_context.h"

namespace lumora::hotspot {

// The states of the hosted network: unavailable (the driver has none, or the radio is
// off), idle and active.
inline constexpr int kHostedNetworkUnavailable = 0;
inline constexpr int kHostedNetworkIdle = 1;
inline constexpr int kHostedNetworkActive = 2;

class WlanHostedNetwork {
 public:
  explicit WlanHostedNetwork(netconfig::NetworkContext& net) : net_(net) {}

  // Enables the hosted network and, unless it is already active, configures it with
  // the name and pass phrase, force-starts it, and shares the connection (public)
  // with the connection that came up with it (private).
  void StartHostedNetwork(std::string_view name, std::string_view passPhrase,
                          std::string_view connection);

  // The hosted network's state as the WLAN service reports it; nullopt when it cannot
  // tell.
  std::optional<int> State();

  // Force-stops the hosted network if active, disables it if enabled, and switches
  // sharing off on every connection.
  void StopHostedNetwork();

 private:
  netconfig::NetworkContext& net_;
};

}  // namespace lumora::hotspot
