#pragma once
// The WLAN service of the simulated PC and its hosted network, with the radio, and what
// netsh's wlan commands read and change of the same hosted network: one setting, two
// ways in (the WLAN service's enable property is the mode netsh sets). Every call into
// the WLAN service passes the network's call hook; netsh's do not.

#include <optional>
#include <string>

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedWlan : public WlanPort {
 public:
  explicit SimulatedWlan(NetworkState& state) : state_(state) {}

  std::optional<int> CountInterfaces(int clientVersion) override;
  std::optional<bool> HostedNetworkEnabled() override;
  bool SetHostedNetworkEnabled(bool enabled) override;
  // 0 (unavailable) when there is no wireless interface, its driver has no hosted
  // network, the radio is off or the hosted network is not enabled.
  std::optional<int> HostedNetworkState() override;
  std::uint32_t HostedNetworkPeerLimit() override;
  bool InitHostedNetworkSettings() override;
  // Refuses an empty SSID as well as one over 32 bytes.
  bool SetHostedNetworkSsid(std::string_view ssid, std::uint32_t peerLimit) override;
  // Refuses a pass phrase of fewer than 8 or more than 63 bytes.
  bool SetHostedNetworkPassPhrase(std::string_view passPhrase) override;
  bool RefreshHostedNetworkSecurity() override;
  // Both need administrator rights; the start also needs the hosted network enabled, a
  // wireless interface whose driver supports it, and the radio on.
  bool ForceStartHostedNetwork() override;
  bool ForceStopHostedNetwork() override;

  // What netsh does to the machine. These ignore administrator rights and the WLAN
  // service: netsh looks at those itself and answers with its own texts.
  bool WlanServiceRunning() const;
  // Whether the wireless driver has the hosted network (what netsh's drivers list says).
  bool HostedNetworkSupported() const;
  // Whether that list says it in a language the program reads.
  bool HostedNetworkListedByDrivers() const;
  int WirelessInterfaces() const;
  void SetHostedNetworkMode(bool allowed);
  // UTF-8 values, taken as given; a missing one stays as it is.
  void ConfigureHostedNetwork(const std::optional<std::string>& ssid,
                              const std::optional<std::string>& passPhrase);
  enum class HostedStart { Started, BadState, RadioOff };
  // Besides what a forced start needs, a start by netsh needs an SSID.
  HostedStart StartHostedNetwork();
  void StopHostedNetwork();

  // What tests look at.
  struct HostedNetworkView {
    bool allowed = false;
    int state = 0;  // as HostedNetworkState answers it
    std::string ssid;
    std::string passPhrase;
    std::uint32_t peerLimit = 0;
    // The virtual adapter's connection while it is there, else empty.
    std::string connection;
    int starts = 0;  // times the hosted network went from stopped to running
  };
  HostedNetworkView HostedNetwork() const;
  void SetRadioOn(bool on);

 private:
  // With the state's lock held.
  int HostedStateLocked() const;
  void SetAllowedLocked(bool allowed);
  void StartLocked();
  void StopLocked();

  NetworkState& state_;
};

}  // namespace lumora::platform::sim
