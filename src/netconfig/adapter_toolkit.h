#pragma once
// Questions about network adapters by connection name: its adapter GUID, interface
// index, interface record with byte counters, connection status; and a few more the
// network configuration asks. Every failure gives a neutral answer: 0, -1, the empty
// text or the all-zero record.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/network_ports.h"

namespace lumora::netconfig {

// The interface record of a connection: the platform's row with its physical address
// and type as texts; all zero and empty when it cannot be read.
struct InterfaceRecord {
  platform::InterfaceRow row;   // row.inOctets: received bytes, row.outOctets: sent bytes
  std::string physicalAddress;  // six groups, "00-1A-2B-3C-4D-5E"
  std::string typeName;
};

// The Chinese name of an interface type ("以太网适配器" for 6 ...).
std::string InterfaceTypeName(std::uint32_t type);

// Six hexadecimal groups joined by "-": the first six bytes, zeros where there are none.
std::string PhysicalAddressText(const std::vector<std::uint8_t>& address);

// The text as a WQL string literal, quoted so that no character of it can end the
// literal or change the query.
std::string WqlQuoted(std::string_view text);

class AdapterToolkit {
 public:
  explicit AdapterToolkit(platform::NetworkPorts& ports) : ports_(ports) {}

  InterfaceRecord InterfaceRowOfConnection(std::string_view name);
  // 0 when the name matches no adapter.
  std::uint32_t InterfaceIndexOfConnection(std::string_view name);
  // The GUID text with braces; empty when the name matches no adapter.
  std::string AdapterGuidOfConnection(std::string_view name);
  // The connection's status number (0 also for no such adapter); -1 when neither WMI
  // nor the connection manager can tell.
  int ConnectionStatusByName(std::string_view name);
  // Asks the named connection to connect (a disabled adapter is switched on).
  void EnableConnectionByName(std::string_view name);
  // -1 when the WLAN service cannot be opened.
  int CountWirelessInterfaces();
  // The first public connection whose sharing is on; empty when none.
  std::string QueryPublicSharing();

 private:
  platform::NetworkPorts& ports_;
};

}  // namespace lumora::netconfig
