#pragma once
// The Windows network services the program asks about connections and adapters, and
// drives for sharing: the sharing objects, the connection manager, WMI, IP Helper,
// the Internet state, the registry, the WLAN service and the service control manager.
// Every decision lives above these ports; each method is one platform question.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mobile_hotspot_port.h"

namespace lumora::platform {

// Internet connection sharing (HNetCfg.HNetShare).
enum class SharingType { Public = 0, Private = 1 };

// One connection during a walk of the sharing objects.
class SharedConnection {
 public:
  virtual ~SharedConnection() = default;
  virtual std::string Name() = 0;
  // The connection's status number: 0 disconnected, 2 connected, 7 media disconnected...
  virtual int Status() = 0;
  virtual bool DisableSharing() = 0;
  virtual bool EnableSharing(SharingType type) = 0;
};

struct PublicConnection {
  std::string name;
  bool sharingEnabled = false;
};

class SharingPort {
 public:
  virtual ~SharingPort() = default;
  // Visits every connection once, in the platform's order, until visit answers false;
  // false when the sharing object cannot be created or the walk cannot start.
  virtual bool WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) = 0;
  // The connections that can be the public side, with their sharing state
  // (EnumPublicConnections); empty when the object cannot be created.
  virtual std::vector<PublicConnection> PublicConnections() = 0;
};

// The network connection manager (INetConnectionManager).
class ManagedConnection {
 public:
  virtual ~ManagedConnection() = default;
  virtual std::string Name() = 0;
  virtual int Status() = 0;
  // Asks the connection to connect; a disabled LAN-type connection is switched on.
  virtual void Connect() = 0;
};

class ConnectionManagerPort {
 public:
  virtual ~ConnectionManagerPort() = default;
  // Visits the connections until visit answers false; false when the manager cannot
  // be created.
  virtual bool WalkConnections(const std::function<bool(ManagedConnection&)>& visit) = 0;
};

// WMI: each result object as its properties in text form (numbers in decimal).
using WmiObject = std::map<std::string, std::string>;

class WmiPort {
 public:
  virtual ~WmiPort() = default;
  // Runs a WQL query in the namespace and reads at most maxObjects results; nullopt
  // when the query cannot be run.
  virtual std::optional<std::vector<WmiObject>> Query(std::string_view wmiNamespace,
                                                      std::string_view wql,
                                                      int maxObjects) = 0;
};

// IP Helper.
struct AdapterInfo {  // GetAdaptersInfo
  std::string adapterName;  // the adapter's GUID text, with braces
  std::string description;
  std::string ipAddress;  // its first IPv4 address; "0.0.0.0" while it has none
};

struct AdapterAddresses {  // GetAdaptersAddresses
  std::string adapterName;
  std::string friendlyName;  // the connection name
};

struct InterfaceRow {  // GetIfEntry2
  std::uint64_t luid = 0;
  std::uint32_t index = 0;
  std::string alias;
  std::string description;
  std::uint32_t physicalAddressLength = 0;
  std::vector<std::uint8_t> physicalAddress;
  std::uint32_t mtu = 0;
  std::uint32_t type = 0;
  std::uint32_t tunnelType = 0;
  std::uint32_t mediaType = 0;
  std::uint32_t physicalMediumType = 0;
  std::uint32_t accessType = 0;
  std::uint32_t directionType = 0;
  std::uint32_t operStatus = 0;
  std::uint32_t adminStatus = 0;
  std::uint64_t transmitLinkSpeed = 0;
  std::uint64_t receiveLinkSpeed = 0;
  std::uint64_t inOctets = 0;
  std::uint64_t outOctets = 0;
};

struct NeighbourRow {  // MIB_IPNETROW
  std::uint32_t interfaceIndex = 0;
  std::uint32_t physicalAddressLength = 0;
  std::array<std::uint8_t, 8> physicalAddress{};
  std::uint32_t address = 0;  // the IPv4 address as dwAddr holds it: first octet lowest
  std::uint32_t type = 0;     // 1 other, 2 invalid, 3 dynamic, 4 static
};

class IpHelperPort {
 public:
  virtual ~IpHelperPort() = default;
  // Every IPv4 adapter in the platform's order; nullopt when the call fails.
  virtual std::optional<std::vector<AdapterInfo>> AdaptersInfo() = 0;
  // Every adapter in the platform's order; nullopt when the call fails.
  virtual std::optional<std::vector<AdapterAddresses>> AdaptersAddresses() = 0;
  // The interface index of the adapter named "\DEVICE\TCPIP_" + GUID; 0 when none.
  virtual std::uint32_t AdapterIndex(std::string_view deviceName) = 0;
  // The interface's row; nullopt when it cannot be read.
  virtual std::optional<InterfaceRow> InterfaceEntry(std::uint32_t index) = 0;
  // The IPv4 neighbour table, sorted; nullopt when it cannot be read.
  virtual std::optional<std::vector<NeighbourRow>> NeighbourTable() = 0;
  // Deletes the entry of that interface and address; false when the platform refuses.
  virtual bool DeleteNeighbour(const NeighbourRow& row) = 0;
};

// The name service's reverse look-up (Winsock).
class NameLookupPort {
 public:
  virtual ~NameLookupPort() = default;
  // The host name of an IPv4 address in dotted form; empty when the address is not
  // one or has no name. It may take seconds: only workers ask. keepGoing is asked
  // meanwhile where the platform can give up early.
  virtual std::string HostNameOfAddress(std::string_view address,
                                        const std::function<bool()>& keepGoing) = 0;
};

class InternetStatePort {
 public:
  virtual ~InternetStatePort() = default;
  // The name InternetGetConnectedStateEx writes into a buffer of 512 bytes that was
  // filled with spaces: the buffer's text as it stands (still padded), or all blanks
  // when the call wrote nothing.
  virtual std::string ConnectedStateName() = 0;
};

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // A string value under HKEY_LOCAL_MACHINE; nullopt when the key or value is missing.
  virtual std::optional<std::string> ReadMachineString(std::string_view keyPath,
                                                       std::string_view valueName) = 0;
};

// The WLAN service. Every call opens its own client handle (client version 2) and
// closes it again; when the service cannot be opened, a call does nothing and gives
// false, nullopt or 0.
class WlanPort {
 public:
  virtual ~WlanPort() = default;
  // The number of wireless interfaces (0 when the enumeration fails); nullopt when the
  // WLAN service cannot be opened with that client version.
  virtual std::optional<int> CountInterfaces(int clientVersion) = 0;

  // The hosted network. Its states: 0 unavailable, 1 idle, 2 active.
  virtual std::optional<bool> HostedNetworkEnabled() = 0;
  virtual bool SetHostedNetworkEnabled(bool enabled) = 0;
  virtual std::optional<int> HostedNetworkState() = 0;
  // The maximum number of peers of the current settings; 0 when they cannot be read.
  virtual std::uint32_t HostedNetworkPeerLimit() = 0;
  virtual bool InitHostedNetworkSettings() = 0;
  // ssid: the network name's bytes in code page 936, at most 32 (the SSID field);
  // longer input is refused with false and nothing written.
  virtual bool SetHostedNetworkSsid(std::string_view ssid, std::uint32_t peerLimit) = 0;
  // passPhrase: its bytes in code page 936; the platform gets its length with the
  // terminating zero counted.
  virtual bool SetHostedNetworkPassPhrase(std::string_view passPhrase) = 0;
  virtual bool RefreshHostedNetworkSecurity() = 0;
  virtual bool ForceStartHostedNetwork() = 0;
  virtual bool ForceStopHostedNetwork() = 0;
};

// The service control manager. Numbers are the platform's: start type 2 automatic,
// 3 on demand, 4 disabled; state 1 stopped, 4 running.
class ServicePort {
 public:
  virtual ~ServicePort() = default;
  // 0 when the service (or the manager) cannot be opened or read.
  virtual std::uint32_t StartType(std::string_view service) = 0;
  virtual bool SetStartType(std::string_view service, std::uint32_t startType) = 0;
  virtual std::uint32_t CurrentState(std::string_view service) = 0;
  virtual bool Start(std::string_view service) = 0;
};

// Every network port of one machine.
struct NetworkPorts {
  SharingPort& sharing;
  ConnectionManagerPort& connectionManager;
  WmiPort& wmi;
  IpHelperPort& ipHelper;
  InternetStatePort& internetState;
  RegistryPort& registry;
  WlanPort& wlan;
  ServicePort& services;
  NameLookupPort& names;
  MobileHotspotPort& mobileHotspot;
};

}  // namespace lumora::platform
