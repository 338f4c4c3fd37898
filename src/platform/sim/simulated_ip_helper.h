#pragma once
// IP Helper on the simulated PC: the adapters with their addresses, the interface rows
// with their byte counters, and the neighbour table of the devices; with what netsh's
// interface commands read and change of the same IPv4 interfaces.

#include <array>
#include <string>
#include <vector>

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedIpHelper : public IpHelperPort {
 public:
  explicit SimulatedIpHelper(NetworkState& state) : state_(state) {}

  std::optional<std::vector<AdapterInfo>> AdaptersInfo() override;
  std::optional<std::vector<AdapterAddresses>> AdaptersAddresses() override;
  std::uint32_t AdapterIndex(std::string_view deviceName) override;
  // The hosted adapter's byte counters are what its devices moved this session.
  std::optional<InterfaceRow> InterfaceEntry(std::uint32_t index) override;
  std::optional<std::vector<NeighbourRow>> NeighbourTable() override;
  bool DeleteNeighbour(const NeighbourRow& row) override;

  // What netsh does to the machine.
  struct Ipv4Interface {
    std::string name;
    bool dhcp = true;
    std::string address;  // empty when it has none
    std::string mask;
    std::uint32_t metric = 0;
  };
  // The IPv4 interfaces in the platform's order, the loopback not included.
  std::vector<Ipv4Interface> Ipv4Interfaces() const;
  // Gives the interface (named ignoring ASCII case) a static address, DHCP off, or
  // with an empty address puts it back on DHCP; false when no interface has the name.
  bool SetInterfaceAddress(std::string_view name, const std::string& address,
                           const std::string& mask);
  // A static neighbour entry, as netsh's set neighbors makes it; false when no
  // interface has the index.
  bool SetStaticNeighbour(std::uint32_t interfaceIndex, std::uint32_t address,
                          const std::array<std::uint8_t, 6>& mac);

  // What tests look at: the MACs ("0A-1B-2C-3D-4E-5F") of the static neighbour entries
  // on the hosted network's interface, in the order of their addresses.
  std::vector<std::string> PinnedOnHostedInterface() const;

 private:
  NetworkState& state_;
};

}  // namespace lumora::platform::sim
