#pragma once
// The network of the simulated PC: its connections and adapters, Internet connection
// sharing with Windows' rules, the connection manager, WMI's view of the adapters, the
// WLAN service and the two services sharing needs. One state behind every network
// port, safe to use from any thread.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/network_ports.h"
#include "platform/sim/scenario.h"

namespace lumora::platform::sim {

// The private side of full sharing, as Windows gives it.
inline constexpr std::string_view kSharingPrivateAddress = "192.168.137.1";

class SimulatedNetwork final : public SharingPort,
                               public ConnectionManagerPort,
                               public WmiPort,
                               public IpHelperPort,
                               public InternetStatePort,
                               public RegistryPort,
                               public WlanPort,
                               public ServicePort {
 public:
  explicit SimulatedNetwork(const Scenario& scenario);

  NetworkPorts Ports();

  // SharingPort
  bool WalkEveryConnection(const std::function<void(SharedConnection&)>& visit) override;
  std::vector<PublicConnection> PublicConnections() override;
  // ConnectionManagerPort
  bool WalkConnections(const std::function<bool(ManagedConnection&)>& visit) override;
  // WmiPort: understands the adapter queries the program makes, with WQL's quoting.
  std::optional<std::vector<WmiObject>> Query(std::string_view wmiNamespace, std::string_view wql,
                                              int maxObjects) override;
  // IpHelperPort
  std::optional<std::vector<AdapterInfo>> AdaptersInfo() override;
  std::optional<std::vector<AdapterAddresses>> AdaptersAddresses() override;
  std::uint32_t AdapterIndex(std::string_view deviceName) override;
  std::optional<InterfaceRow> InterfaceEntry(std::uint32_t index) override;
  // InternetStatePort
  std::string ConnectedStateName() override;
  // RegistryPort
  std::optional<std::string> ReadMachineString(std::string_view keyPath,
                                               std::string_view valueName) override;
  // WlanPort
  std::optional<int> CountInterfaces(int clientVersion) override;
  // ServicePort
  std::uint32_t StartType(std::string_view service) override;
  bool SetStartType(std::string_view service, std::uint32_t startType) override;
  std::uint32_t CurrentState(std::string_view service) override;
  bool Start(std::string_view service) override;

  // What tests look at.
  struct SharingState {
    std::string publicConnection;   // empty when none
    std::string privateConnection;  // empty when none
  };
  SharingState Sharing() const;
  std::optional<SimConnection> Connection(std::string_view name) const;
  std::string AddressOf(std::string_view name) const;
  SimService Service(std::string_view name) const;
  // Every sharing change the program made, in order: "public 以太网", "off WLAN" ...
  std::vector<std::string> SharingLog() const;

  // Changes a test or the hosted network makes to the machine.
  void AddConnection(SimConnection connection);
  void RemoveConnection(std::string_view name);
  void SetStatus(std::string_view name, int status);
  void SetInternetConnection(std::string internetConnection);

 private:
  struct LiveConnection {
    SimConnection connection;
    bool sharingPublic = false;
    bool sharingPrivate = false;
    std::string address;
  };
  class SharedView;
  class ManagedView;

  LiveConnection* Find(std::string_view name);
  int StatusOf(std::string_view name) const;
  const LiveConnection* Find(std::string_view name) const;
  std::vector<std::string> NamesInOrder() const;
  bool EnableSharing(std::string_view name, SharingType type);
  bool DisableSharing(std::string_view name);

  mutable std::mutex lock_;
  std::vector<LiveConnection> connections_;
  std::string internetConnection_;
  int wirelessInterfaces_;
  bool administrator_;
  std::map<std::string, SimService> services_;
  bool sharingObjectMissing_, sharingWalkFails_, wmiFails_, wlanServiceMissing_;
  std::vector<std::string> sharingLog_;
};

}  // namespace lumora::platform::sim
