#pragma once
// The PC's IPv4 neighbour table as the client list reads it, the command that pins a
// device's entry to the all-zero hardware address, and the host names devices give.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mobile_hotspot_port.h"
#include "platform/network_ports.h"

namespace lumora::clients {

inline constexpr std::uint32_t kNeighbourDynamic = 3;
inline constexpr std::string_view kZeroMac = "00-00-00-00-00-00";
inline constexpr std::string_view kBroadcastMarker = "ff-ff-ff-ff-ff-ff";

struct NeighbourRecord {
  platform::NeighbourRow row;
  std::string mac;  // six upper-case two-digit groups joined by "-", whatever the length
  std::string ip;   // dotted decimal
};

// The table in the platform's sorted order; empty when it cannot be read.
std::vector<NeighbourRecord> ListNeighbours(platform::IpHelperPort& ipHelper);
// Deletes every entry whose address is ip, on any interface; betweenRows runs after
// each deletion (the UI thread keeps its events flowing).
void DeleteNeighboursByAddress(platform::IpHelperPort& ipHelper, std::string_view ip,
                               const std::function<void()>& betweenRows);
// Deletes every entry of the table, pinned ones included.
void DeleteAllNeighbours(platform::IpHelperPort& ipHelper,
                         const std::function<void()>& betweenRows);

// netsh's command that pins the address on the interface to the all-zero hardware
// address until the PC restarts or the entry is deleted; none when ip is not an IPv4
// address in dotted form, so nothing else can reach the command line.
std::optional<std::string> BlockCommand(std::uint32_t interfaceIndex, std::string_view ip);

// The name a device is shown with, from what the look-up gave: control characters
// dropped (a name must not split a line of the list files), the sharing service's
// suffix removed once, and the two kinds of phone named in Chinese.
std::string ShownHostName(std::string_view lookedUp);

// The host name the system lists for the device with the MAC (the mobile hotspot keeps
// such a list), whatever the way the system writes MACs; its addresses are no names.
// Empty when it lists none.
std::string ListedHostName(const std::vector<platform::TetheringClient>& listed,
                           std::string_view mac);

}  // namespace lumora::clients
