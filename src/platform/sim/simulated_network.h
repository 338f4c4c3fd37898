#pragma once
// The network of the simulated PC: its connections and adapters, Internet connection
// sharing with Windows' rules, the connection manager, WMI's view of the adapters, the
// WLAN service with its hosted network and the two services sharing needs. One state
// behind every network port and the simulated netsh, safe to use from any thread.
//
// The hosted network's virtual adapter brings its own connection, added at the end of
// the list: on Windows 7 (reported version 6.1) it is there while the hosted network is
// allowed (status 7 until it is started, 2 while it runs); on later systems only while
// it runs. When it goes, any sharing side it had goes with it.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/network_ports.h"
#include "platform/sim/hold_gate.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/scenario.h"
#include "platform/sim/simulated_clients.h"

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
                               public ServicePort,
                               public NameLookupPort,
                               public MobileHotspotPort {
 public:
  // The clients' times run on the clock; without one, on a clock of the network's own
  // that stands still.
  explicit SimulatedNetwork(const Scenario& scenario, Clock* clock = nullptr);

  NetworkPorts Ports();

  // SharingPort
  bool WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) override;
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
  // The hosted adapter's byte counters are what its devices moved this session.
  std::optional<InterfaceRow> InterfaceEntry(std::uint32_t index) override;
  std::optional<std::vector<NeighbourRow>> NeighbourTable() override;
  bool DeleteNeighbour(const NeighbourRow& row) override;
  // NameLookupPort: a device's host name, after the look-up's time on the clock.
  std::string HostNameOfAddress(std::string_view address,
                                const std::function<bool()>& keepGoing) override;
  // InternetStatePort
  std::string ConnectedStateName() override;
  // RegistryPort
  std::optional<std::string> ReadMachineString(std::string_view keyPath,
                                               std::string_view valueName) override;
  // WlanPort. The enable property is the mode netsh sets: one setting, two ways in.
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
  // MobileHotspotPort: nothing where the scenario has no mobile hotspot. A start or a
  // stop takes its time on the clock; the no-connections timeout switches the hotspot
  // off once it has had no device for its time, as the next call finds. A start the
  // program gives up stays in the system's hands and completes once its time is up,
  // unless the scenario honours the cancel; a stop completes it first, then stops.
  std::optional<int> Capability(std::string_view adapterGuid) override;
  // Refuses an empty name and one over 32 bytes of UTF-8.
  bool Configure(std::string_view adapterGuid, std::string_view ssid, std::string_view passPhrase,
                 const AsyncWait& wait) override;
  TetheringResult Start(std::string_view adapterGuid, const AsyncWait& wait) override;
  TetheringResult Stop(std::string_view adapterGuid, const AsyncWait& wait) override;
  std::optional<int> State(std::string_view adapterGuid) override;
  std::optional<std::vector<TetheringClient>> Clients(std::string_view adapterGuid) override;
  std::optional<bool> NoConnectionsTimeoutEnabled() override;
  bool SetNoConnectionsTimeoutEnabled(bool enabled) override;
  // ServicePort
  std::uint32_t StartType(std::string_view service) override;
  bool SetStartType(std::string_view service, std::uint32_t startType) override;
  std::uint32_t CurrentState(std::string_view service) override;
  bool Start(std::string_view service) override;

  // What netsh does to the machine. These ignore administrator rights and the WLAN
  // service: netsh looks at those itself and answers with its own texts.
  bool Administrator() const;
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
  struct MobileHotspotView {
    bool on = false;
    std::string ssid;
    std::string passPhrase;
    bool timeoutEnabled = false;
    std::string connection;  // the virtual adapter's connection while it is on
    int starts = 0;          // times it went from off to on
    int calls = 0;           // every call of the program into it
    bool timeoutSetting = false;  // whether the system has the timeout at all
  };
  MobileHotspotView MobileHotspot();
  // Completes what the system still has in hand, as if its time had passed: the start
  // of the mobile hotspot that the program gave up.
  void CompletePendingOperations();
  // While held, mobile hotspot starts wait (until let go, or until given up) before
  // they take their time: how a test meets the program in the middle of one.
  void HoldMobileStarts(bool hold);
  int MobileStartsWaiting() const;
  // The system switches the mobile hotspot off by itself.
  void SwitchMobileHotspotOff();
  // The MACs ("0A-1B-2C-3D-4E-5F") of the static neighbour entries on the hosted
  // network's interface, in the order of their addresses.
  std::vector<std::string> PinnedOnHostedInterface() const;
  // Whether the connection is on DHCP; nullopt when there is no such connection.
  std::optional<bool> DhcpOf(std::string_view name) const;
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
  // Times a sharing walk or query began while another one was under way: the sharing
  // objects in use by two threads at once.
  int SharingOverlaps() const;

  // A test hook that holds a call in the middle. Counted are the calls into the
  // sharing objects (a walk, each change a walk makes, the public query), the
  // connection manager's walk, and every call into the WLAN service and the service
  // control manager. HoldCall(n) makes the n-th such call from now on (1: the next)
  // wait at its start until ReleaseHeldCall.
  void HoldCall(int n);
  bool CallHeld() const;
  void ReleaseHeldCall();
  // The calls counted so far.
  int Calls() const;

  // While held, name look-ups wait (until let go, or until given up) before they
  // answer: how a test meets a scan in the middle of one.
  void HoldNameLookUps(bool hold);
  int NameLookUpsWaiting() const;

  // Changes a test or the hosted network makes to the machine.
  void AddConnection(SimConnection connection);
  void RemoveConnection(std::string_view name);
  void SetStatus(std::string_view name, int status);
  // The adapter's own byte counters; the hosted adapter adds its devices' traffic.
  void SetByteCounters(std::string_view name, std::uint64_t received, std::uint64_t sent);
  void SetInternetConnection(std::string internetConnection);
  void SetAdministrator(bool administrator);
  void SetRadioOn(bool on);

 private:
  struct LiveConnection {
    SimConnection connection;
    bool sharingPublic = false;
    bool sharingPrivate = false;
    std::string address;
    std::string mask;
    bool dhcp = true;
  };
  class SharedView;
  class ManagedView;
  class SharingUse;

  // Counts a call and, when it is the one to hold, waits until it is released.
  void PassHold();

  LiveConnection* Find(std::string_view name);
  int StatusOf(std::string_view name) const;
  const LiveConnection* Find(std::string_view name) const;
  std::vector<std::string> NamesInOrder() const;
  bool EnableSharing(std::string_view name, SharingType type);
  bool DisableSharing(std::string_view name);
  static void DropPrivateSide(LiveConnection& c);
  // The hosted network, with lock_ held.
  bool HostedHardwareReady() const;
  int HostedStateLocked() const;
  bool PublicSharingFailsNow() const;
  void SetAllowedLocked(bool allowed);
  void StartLocked();
  void StopLocked();
  void UpdateVirtualAdapterLocked();
  std::string VirtualConnectionName() const;
  // The mobile hotspot, with lock_ held.
  bool MobileUsableLocked(std::string_view adapterGuid);
  void ApplyIdleOffLocked();
  void SetMobileOnLocked(bool on, std::string_view adapterGuid);
  // What a start answers when its time is up, the hotspot switched on if it succeeded.
  TetheringResult CompleteStartLocked(std::string_view adapterGuid);
  // Completes the pending start whose time is up, or with always any pending start.
  void CompletePendingStartLocked(bool always);
  // Lets the operation's time pass, unless the wait runs out first or is given up.
  bool AwaitOperation(std::uint32_t takesMs, const AsyncWait& wait);

  mutable std::mutex lock_;
  std::vector<LiveConnection> connections_;
  std::string internetConnection_;
  int wirelessInterfaces_;
  bool administrator_;
  std::map<std::string, SimService> services_;
  bool sharingObjectMissing_, sharingWalkFails_, wmiFails_, wlanServiceMissing_;
  std::vector<std::string> sharingLog_;

  bool laterSystem_;
  SimHostedNetwork hosted_;
  bool hostedActive_ = false;
  int hostedStarts_ = 0;
  std::string virtualConnection_;  // its name while it is there
  std::uint32_t virtualIndex_ = 0;
  std::vector<std::uint8_t> virtualMac_;
  int hiddenAdapterCalls_ = 0;

  SimMobileHotspot mobile_;
  bool mobileOn_ = false;
  std::uint64_t mobileSince_ = 0;
  int mobileStarts_ = 0;
  int mobileCalls_ = 0;
  // A start the system is carrying out; each start has a number of its own.
  struct PendingStart {
    std::string adapterGuid;
    std::uint64_t dueMs = 0;
    int number = 0;
  };
  std::optional<PendingStart> pendingStart_;
  int startsSent_ = 0;

  // The hook and the overlap count, under holdLock_ alone: a held call holds no lock
  // of the machine.
  mutable std::mutex holdLock_;
  std::condition_variable holdChanged_;
  int calls_ = 0;
  int holdAt_ = 0;  // the count of the call to hold; 0 for none
  bool held_ = false;
  int sharingUsers_ = 0;
  int sharingOverlaps_ = 0;

  HoldGate heldMobileStarts_;

  HoldGate heldNameLookUps_;

  ManualClock ownClock_;
  Clock& clock_;
  SimulatedClients clients_;
};

}  // namespace lumora::platform::sim
