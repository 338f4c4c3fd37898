#pragma once
// The machine the simulated PC plays, read from a scenario file (INI text; the format
// is described in docs/simulated-pc.md). Every key has a default, so no file at all
// gives a plain Windows 7 PC.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_port.h"

namespace lumora::platform::sim {

// Where LumoraWiFiSim.exe looks for its scenario.
inline constexpr std::string_view kScenarioPath = "c:\\LumoraWiFiSim.ini";

enum class ConnectionKind { Wired, Wireless, DialUp, Hosted };

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

struct Scenario {
  SystemVersion reportedVersion{6, 1};
  SystemVersion environmentBlockVersion{6, 1};
  ScreenSize screen{1280, 800};
  std::string programPath = "C:\\Program Files\\LumoraWiFi\\LumoraWiFi.exe";

  std::vector<SimConnection> connections;
  // What the "which connection reaches the Internet" question answers; may be the
  // platform's "LAN 连接" or empty.
  std::string internetConnection;
  int wirelessInterfaces = 1;
  bool administrator = true;
  std::map<std::string, SimService> services;

  // Faults.
  bool sharingObjectMissing = false;
  bool sharingWalkFails = false;
  bool wmiFails = false;
  bool wlanServiceMissing = false;
};

// The machine without a scenario file: a Windows 7 PC whose wired connection reaches
// the Internet and whose wireless adapter is free for the hotspot.
Scenario DefaultScenario();

// Reads a scenario from the decoded text of its file; unknown keys and malformed
// values keep their defaults. A file that names no connection keeps the default ones.
Scenario ParseScenario(std::string_view iniText);

}  // namespace lumora::platform::sim
