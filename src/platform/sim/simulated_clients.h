#pragma once
// The devices of the simulated PC's hotspot and its IPv4 neighbour table: while the
// hosted network runs, each device of the scenario is a dynamic entry on the hosted
// interface from the time it joins until it leaves, next to the broadcast and
// multicast entries Windows keeps there and the scenario's entries of other
// interfaces. A pinned entry (netsh's set neighbors) stands in for the device's own:
// the PC no longer delivers to it, so its traffic stops counting on the hosted
// adapter. Not thread-safe: the network calls it under its lock.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock_port.h"
#include "platform/network_ports.h"
#include "platform/sim/scenario.h"

namespace lumora::platform::sim {

// "0A-1B-2C-3D-4E-5F" (any letter case) as six bytes; none for anything else.
std::optional<std::array<std::uint8_t, 6>> ParseMacText(std::string_view text);

class SimulatedClients {
 public:
  SimulatedClients(const Scenario& scenario, Clock& clock);

  // The hosted network's adapter came up on that interface, or went; a start begins a
  // new session of its byte counters.
  void HostedStarted(std::uint32_t interfaceIndex);
  void HostedStopped();

  // The table, sorted by address. indexOf turns a connection name into its interface
  // index (0 for none); interfaceExists tells whether an interface is there.
  std::vector<NeighbourRow> Rows(const std::function<std::uint32_t(std::string_view)>& indexOf,
                                 const std::function<bool(std::uint32_t)>& interfaceExists);
  // A static entry for the address on the interface, as netsh sets it.
  void SetStatic(std::uint32_t interfaceIndex, std::uint32_t address,
                 const std::array<std::uint8_t, 6>& mac);
  // The MACs of the static entries on the interface.
  std::vector<std::array<std::uint8_t, 6>> StaticMacs(std::uint32_t interfaceIndex) const;
  // Deletes the entry; a device that is still connected resolves again at once.
  bool Delete(std::uint32_t interfaceIndex, std::uint32_t address);

  // Bytes the hosted adapter has sent and received this session.
  std::pair<std::uint64_t, std::uint64_t> HostedTraffic();

  // The scenario's devices.
  const std::vector<SimClient>& Clients() const { return clients_; }

  // The device at the address, for the name look-up.
  std::optional<SimClient> ClientAt(std::string_view ip) const;

 private:
  struct StaticEntry {
    std::array<std::uint8_t, 6> mac{};
  };
  using Key = std::pair<std::uint32_t, std::uint32_t>;  // interface, address
  bool Connected(const SimClient& client, std::uint64_t now) const;
  bool Pinned(const SimClient& client) const;
  // Adds the traffic of connected, unpinned devices up to now.
  void Account();

  Clock& clock_;
  std::vector<SimClient> clients_;
  std::vector<SimNeighbour> neighbours_;
  std::uint32_t hostedIndex_ = 0;  // 0 while the hosted network is down
  std::optional<std::uint64_t> hostedSince_;
  std::uint64_t accountedUntil_ = 0;
  std::uint64_t sent_ = 0, received_ = 0;
  // Entries set by netsh, by interface and address.
  std::map<std::pair<std::uint32_t, std::uint32_t>, StaticEntry> statics_;
  // The scenario's lasting entries that were deleted; dynamic ones come back.
  std::set<std::pair<std::uint32_t, std::uint32_t>> deleted_;
  // What is left over of the traffic below one byte, in bytes times milliseconds.
  std::uint64_t sentRemainder_ = 0, receivedRemainder_ = 0;
};

}  // namespace lumora::platform::sim
