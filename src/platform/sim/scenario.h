#pragma once
// The machine the simulated PC plays, read from a scenario file (INI text; the format
// is described in docs/simulated-pc.md). Every key has a default, so no file at all
// gives a plain Windows 7 PC.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_port.h"

namespace lumora::platform::sim {

// Where LumoraWiFiSim.exe looks for its scenario.
inline constexpr std::string_view kScenarioPath = "c:\\LumoraWiFiSim.ini";

enum class ConnectionKind { Wired, Wireless, DialUp, Hosted };

// The description Windows gives the hosted network's virtual adapter.
inline constexpr std::string_view kVirtualAdapterWin7 = "Microsoft Virtual WiFi Miniport Adapter";
inline constexpr std::string_view kVirtualAdapterLater = "Microsoft 托管网络虚拟适配器";
// The description of the mobile hotspot's virtual adapter, and of the other Wi-Fi Direct
// adapter later systems keep beside it, idle unless a Wi-Fi Direct device uses it.
inline constexpr std::string_view kMobileHotspotAdapter =
    "Microsoft Wi-Fi Direct Virtual Adapter #2";
inline constexpr std::string_view kIdleDirectAdapter = "Microsoft Wi-Fi Direct Virtual Adapter";
inline constexpr std::string_view kIdleDirectConnection = "本地连接* 1";

// A network connection of the simulated PC and the adapter behind it.
struct SimConnection {
  std::string name;
  int status = 2;  // 0 disconnected, 2 connected, 7 media disconnected
  ConnectionKind kind = ConnectionKind::Wired;
  std::string guid;  // with braces
  std::string description;
  std::uint32_t interfaceIndex = 0;
  std::uint32_t interfaceType = 6;  // 6 Ethernet, 23 PPP, 71 802.11
  std::vector<std::uint8_t> physicalAddress;
  std::uint32_t mtu = 1500;
  std::uint64_t linkSpeed = 100000000;
  std::uint64_t receivedBytes = 0;
  std::uint64_t sentBytes = 0;
  // Whether the registry holds the connection's name under its adapter.
  bool nameInRegistry = true;
};

struct SimService {
  std::uint32_t startType = 3;
  std::uint32_t state = 1;  // 1 stopped, 4 running
  bool canStart = true;
};

// The hosted network as the machine keeps it between runs, and what its hardware can do.
struct SimHostedNetwork {
  bool allowed = false;  // netsh's mode, the WLAN service's enable property
  std::string ssid;      // UTF-8; empty until one is set
  std::string passPhrase;
  std::uint32_t peerLimit = 100;
  // The virtual adapter's connection; empty for the name Windows gives it.
  std::string connectionName;
  bool radioOn = true;
  bool driverSupportsIt = true;
  // Whether netsh's list of drivers has the line on the hosted network in a language
  // the program reads.
  bool listedByDrivers = true;
  // Enabling the public side of sharing does not stick during the first N starts of
  // the hosted network; -1 for every start.
  int sharingFailsStarts = 0;
  // After the virtual adapter appears, IP Helper leaves it out of the first N calls
  // for the adapter list.
  int appearsAfterCalls = 0;
};

// The system's mobile hotspot (later systems). Its numbers are the system's: capability
// 0 is enabled; a start answers startStatus (0 success) after startMs.
struct SimMobileHotspot {
  bool available = false;
  int capability = 0;
  int startStatus = 0;
  std::string startError;  // the additional error text of a failed start
  std::uint32_t startMs = 1500;
  // Like Windows, the system carries out a start the program gave up (cancelled, timed
  // out, or left behind at its end) once startMs has passed; with this set it drops it.
  bool startHonoursCancel = false;
  // The capability a failed start leaves, when the system finds out only then that the
  // hardware or a policy does not allow the hotspot; -1: as it was.
  int capabilityAfterFailure = -1;
  // The access point refuses a new name and pass phrase.
  bool configureFails = false;
  // Whether the system has the no-connections timeout, whether it is on, and after how
  // long without a device it switches the hotspot off.
  bool hasTimeoutSetting = true;
  bool timeoutEnabled = true;
  std::uint32_t idleOffMs = 300000;
  bool hasClientList = true;
  // The virtual adapter's connection; empty for the name Windows gives it.
  std::string connectionName;
  // Name and pass phrase of the access point as the machine keeps them.
  std::string ssid = "DESKTOP-5JQ2B 1234";
  std::string passPhrase = "8k3b2x9q";
};

// A device that joins the hotspot. Times count from the moment the hosted network
// starts; bytes are those the device moves each second while it is connected.
struct SimClient {
  std::string mac;  // "0A-1B-2C-3D-4E-5F"
  std::string ip;   // on the private side of sharing, "192.168.137.x"
  // What the reverse look-up answers, as the sharing service's DNS gives it (usually
  // with the suffix ".mshome.net"); empty: the address has no name.
  std::string hostName;
  bool lookupFails = false;
  std::uint32_t lookupMs = 0;  // how long the look-up takes
  std::uint64_t joinMs = 0;
  std::uint64_t leaveMs = 0;            // 0: stays
  std::uint64_t downloadPerSecond = 0;  // to the device: bytes the hosted adapter sends
  std::uint64_t uploadPerSecond = 0;    // from the device: bytes it receives
};

// An entry of the neighbour table that is there whatever the hotspot does.
struct SimNeighbour {
  std::string connection;  // whose interface; "hosted" for the hosted network's adapter
  std::string mac;
  std::string ip;
  std::uint32_t type = 3;  // 1 other, 2 invalid, 3 dynamic, 4 static
};

// The program's web site: its pages by path ("/updata.txt"), as UTF-8 texts that it
// serves in code page 936.
struct SimSite {
  bool reachable = true;
  std::uint32_t delayMs = 0;  // how long each request takes
  std::map<std::string, std::string> pages;
};

// The site address this build of the program names, as the default site serves it.
std::string_view SiteAddress();

struct Scenario {
  SystemVersion reportedVersion{6, 1};
  SystemVersion environmentBlockVersion{6, 1};
  ScreenSize screen{1280, 800};
  std::string programPath = "C:\\Program Files\\LumoraWiFi\\LumoraWiFi.exe";
  // The display language: "zh-CN" or "en-US"; netsh answers in it.
  std::string language = "zh-CN";

  std::vector<SimConnection> connections;
  // What the "which connection reaches the Internet" question answers; may be the
  // platform's "LAN 连接" or empty.
  std::string internetConnection;
  int wirelessInterfaces = 1;
  bool administrator = true;
  std::map<std::string, SimService> services;
  SimHostedNetwork hosted;
  SimMobileHotspot mobileHotspot;
  std::vector<SimClient> clients;
  std::vector<SimNeighbour> neighbours;
  SimSite site;
  // The start-with-Windows value the machine holds at start; nullopt: none.
  std::optional<std::string> runValue;
  // The program the start-with-Windows logon task (lmrawifiqd) starts; nullopt: none.
  std::optional<std::string> logonTask;

  // Faults.
  bool sharingObjectMissing = false;
  bool sharingWalkFails = false;
  bool wmiFails = false;
  bool wlanServiceMissing = false;
  // The program cannot hold the shutdown privilege.
  bool shutdownPrivilegeMissing = false;
  // The Run key opens for reading only, as for a user without administrator rights.
  bool runKeyReadOnly = false;
  // The Task Scheduler refuses to register a task, as when its service is not running.
  bool logonTaskRefused = false;
};

// The machine without a scenario file: a Windows 7 PC whose wired connection reaches
// the Internet and whose wireless adapter is free for the hotspot; two phones and a
// laptop join within seconds of a start.
Scenario DefaultScenario();

// Reads a scenario from the decoded text of its file; unknown keys and malformed
// values keep their defaults. A file that names no connection keeps the default ones.
Scenario ParseScenario(std::string_view iniText);

}  // namespace lumora::platform::sim
