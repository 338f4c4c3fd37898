#pragma once
// The network ports on the real machine. Every call brings up what it needs (COM on the
// calling thread, the service manager, wlanapi.dll) and releases it before it returns,
// so each object can be used from any thread. Failures give the ports' neutral answers.

#include <functional>

#include "platform/http_port.h"
#include "platform/logon_registry_port.h"
#include "platform/logon_task_port.h"
#include "platform/network_ports.h"

namespace lumora::platform::win32 {

// HNetCfg.HNetShare through its INetSharingManager interface.
class Win32Sharing final : public SharingPort {
 public:
  bool WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) override;
  std::vector<PublicConnection> PublicConnections() override;
};

// The network connection manager (CLSID_ConnectionManager).
class Win32ConnectionManager final : public ConnectionManagerPort {
 public:
  bool WalkConnections(const std::function<bool(ManagedConnection&)>& visit) override;
};

// WMI through the in-process locator. The first query of the process also sets the
// process's COM security. Properties come as text: strings as they are, integers in
// decimal (unsigned 32-bit ones unsigned), booleans "1" or "0", a null value "", and
// anything else as COM converts it to text; arrays are left out.
class Win32Wmi final : public WmiPort {
 public:
  std::optional<std::vector<WmiObject>> Query(std::string_view wmiNamespace, std::string_view wql,
                                              int maxObjects) override;
};

// IP Helper. The physical address of an interface row holds its first
// physicalAddressLength bytes, and at least six.
class Win32IpHelper final : public IpHelperPort {
 public:
  // GetIpNetTable's arguments (a MIB_IPNETTABLE, its size in bytes, sorted) and answer.
  using NeighbourTableCall =
      std::function<unsigned long(void* table, unsigned long* bytes, bool sorted)>;
  // Reads the neighbour table through GetIpNetTable itself.
  Win32IpHelper();
  // Reads it through call, which stands between the program and GetIpNetTable: a test
  // watches the real table there, or changes it between two calls.
  explicit Win32IpHelper(NeighbourTableCall call);

  std::optional<std::vector<AdapterInfo>> AdaptersInfo() override;
  std::optional<std::vector<AdapterAddresses>> AdaptersAddresses() override;
  std::uint32_t AdapterIndex(std::string_view deviceName) override;
  std::optional<InterfaceRow> InterfaceEntry(std::uint32_t index) override;
  // GetIpNetTable, sorted; asked again when the table grows between its two calls, and
  // given up (nullopt, reported) when it grows at every one of four tries.
  std::optional<std::vector<NeighbourRow>> NeighbourTable() override;
  // DeleteIpNetEntry; an entry that is not there (any more) counts as deleted.
  bool DeleteNeighbour(const NeighbourRow& row) override;

 private:
  NeighbourTableCall neighbourTable_;
};

// The reverse look-up through Winsock (getnameinfo), which is started once for the
// process. Only four dot-separated decimal numbers are looked up; any other text gives
// the empty answer without a look-up. The look-up runs on a thread of its own and is
// given up once keepGoing answers false.
class Win32NameLookup final : public NameLookupPort {
 public:
  // GetNameInfoW's arguments (a sockaddr_in and its size, the buffer for the host name
  // and its length in characters) and answer; the flags are the program's.
  using NameInfoCall = std::function<int(const void* socketAddress, int socketAddressBytes,
                                         wchar_t* host, unsigned long hostChars)>;
  // Looks names up through GetNameInfoW itself.
  Win32NameLookup();
  // Through call, which stands in for GetNameInfoW: a test makes it take its time.
  explicit Win32NameLookup(NameInfoCall call);

  std::string HostNameOfAddress(std::string_view address,
                                const std::function<bool()>& keepGoing) override;

 private:
  NameInfoCall nameInfo_;
};

// InternetGetConnectedStateExA.
class Win32InternetState final : public InternetStatePort {
 public:
  std::string ConnectedStateName() override;
};

// String values under HKEY_LOCAL_MACHINE, read from the 64-bit view.
class Win32Registry final : public RegistryPort {
 public:
  std::optional<std::string> ReadMachineString(std::string_view keyPath,
                                               std::string_view valueName) override;
};

// The Run keys under HKEY_LOCAL_MACHINE, in the 64-bit view. A key or value that is not
// there is an answer; every other failure is reported.
class Win32LogonRegistry final : public LogonRegistryPort {
 public:
  bool ValueExists(std::string_view keyPath, std::string_view valueName) override;
  bool WriteString(std::string_view keyPath, std::string_view valueName,
                   std::string_view data) override;
  bool DeleteValue(std::string_view keyPath, std::string_view valueName) override;
  bool DeleteSubkey(std::string_view keyPath, std::string_view subkeyName) override;
};

// Logon tasks in the root folder of the Task Scheduler (2.0, from Windows Vista), through
// its in-process ITaskService, on whatever thread calls. The task waits for the logon of
// the user this process runs as and runs under that account.
class Win32LogonTasks final : public LogonTaskPort {
 public:
  bool Register(std::string_view taskName, std::string_view programPath) override;
  std::optional<std::string> RegisteredProgram(std::string_view taskName) override;
  bool Delete(std::string_view taskName) override;
};

// HTTP through WinINet, with direct access (no proxy). An answer whose status is not
// 2xx gives the empty body, and so does a request that takes longer than the timeouts.
// Each request runs on a thread of its own while the caller watches keepGoing.
class Win32Http final : public HttpPort {
 public:
  std::string ReadUrl(std::string_view url, const std::function<bool()>& keepGoing) override;
  std::string Get(std::string_view url, const std::function<bool()>& keepGoing) override;
};

// The WLAN service through wlanapi.dll, loaded for each call: a system without it, or
// whose library lacks the export a call needs (Windows before 7 for the hosted network),
// gets the neutral answer. The hosted-network calls open their client handle with
// client version 2.
class Win32Wlan final : public WlanPort {
 public:
  std::optional<int> CountInterfaces(int clientVersion) override;

  std::optional<bool> HostedNetworkEnabled() override;
  // Makes the default settings first (WlanHostedNetworkInitSettings), then sets the flag.
  bool SetHostedNetworkEnabled(bool enabled) override;
  std::optional<int> HostedNetworkState() override;
  std::uint32_t HostedNetworkPeerLimit() override;
  bool InitHostedNetworkSettings() override;
  bool SetHostedNetworkSsid(std::string_view ssid, std::uint32_t peerLimit) override;
  // Sets a persistent pass phrase.
  bool SetHostedNetworkPassPhrase(std::string_view passPhrase) override;
  bool RefreshHostedNetworkSecurity() override;
  bool ForceStartHostedNetwork() override;
  bool ForceStopHostedNetwork() override;
};

// The mobile hotspot: the tethering manager is looked up at run time; where it is
// missing (Windows 7, Wine) every call answers that there is none.
class Win32MobileHotspot final : public MobileHotspotPort {
 public:
  std::optional<int> Capability(std::string_view adapterGuid) override;
  bool Configure(std::string_view adapterGuid, std::string_view ssid, std::string_view passPhrase,
                 const AsyncWait& wait) override;
  TetheringResult Start(std::string_view adapterGuid, const AsyncWait& wait) override;
  TetheringResult Stop(std::string_view adapterGuid, const AsyncWait& wait) override;
  std::optional<int> State(std::string_view adapterGuid) override;
  std::optional<std::vector<TetheringClient>> Clients(std::string_view adapterGuid) override;
  std::optional<bool> NoConnectionsTimeoutEnabled() override;
  bool SetNoConnectionsTimeoutEnabled(bool enabled) override;
};

// The service control manager, opened with full access for each call.
class Win32Services final : public ServicePort {
 public:
  std::uint32_t StartType(std::string_view service) override;
  bool SetStartType(std::string_view service, std::uint32_t startType) override;
  std::uint32_t CurrentState(std::string_view service) override;
  bool Start(std::string_view service) override;
};

}  // namespace lumora::platform::win32
