#pragma once
// The machine behind the simulated network's ports: its connections and adapters, the
// hosted network and the mobile hotspot with their virtual adapter, the services, the
// faults and the devices. One state that every port reads and writes under `lock`;
// the call hook and the sharing overlap count are under `holdLock` alone, so that a
// held call holds no lock of the machine.
//
// The hosted network's virtual adapter brings its own connection, added at the end of
// the list: on Windows 7 (reported version 6.1) it is there while the hosted network is
// allowed (status 7 until it is started, 2 while it runs); on later systems only while
// it runs. When it goes, any sharing side it had goes with it.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/manual_clock.h"
#include "platform/sim/scenario.h"
#include "platform/sim/simulated_clients.h"

namespace lumora::platform::sim {

// The private side of full sharing, as Windows gives it.
inline constexpr std::string_view kSharingPrivateAddress = "192.168.137.1";
inline constexpr std::string_view kSharingPrivateMask = "255.255.255.0";
// The SSID field of the hosted network and of the mobile hotspot's access point.
inline constexpr std::size_t kMostSsidBytes = 32;

struct LiveConnection {
  SimConnection connection;
  bool sharingPublic = false;
  bool sharingPrivate = false;
  std::string address;
  std::string mask;
  bool dhcp = true;

  // It stops being sharing's private side.
  void DropPrivateSide();
};

// A mobile hotspot start the system is carrying out; each start has a number of its own.
struct PendingStart {
  std::string adapterGuid;
  std::uint64_t dueMs = 0;
  int number = 0;
};

struct NetworkState {
  // The clients' times run on the clock; without one, on a clock of the state's own
  // that stands still.
  NetworkState(const Scenario& scenario, Clock* clock);

  // With lock held.
  LiveConnection* Find(std::string_view name);
  const LiveConnection* Find(std::string_view name) const;
  bool HostedHardwareReady() const;
  // Brings the virtual adapter's connection in line with the hosted network and the
  // mobile hotspot, and tells the devices whether their network runs.
  void UpdateVirtualAdapterLocked();

  // These take lock themselves.
  int StatusOf(std::string_view name) const;
  std::vector<std::string> NamesInOrder() const;

  // Counts a call and, when it is the one to hold, waits until it is released.
  void PassHold();

  mutable std::mutex lock;
  std::vector<LiveConnection> connections;
  std::string internetConnection;
  int wirelessInterfaces;
  bool administrator;
  std::map<std::string, SimService> services;
  bool sharingObjectMissing, sharingWalkFails, wmiFails, wlanServiceMissing;
  std::vector<std::string> sharingLog;

  bool laterSystem;
  SimHostedNetwork hosted;
  bool hostedActive = false;
  int hostedStarts = 0;
  std::string virtualConnection;  // its name while it is there
  std::uint32_t virtualIndex = 0;
  std::vector<std::uint8_t> virtualMac;
  int hiddenAdapterCalls = 0;

  SimMobileHotspot mobile;
  bool mobileOn = false;
  std::uint64_t mobileSince = 0;
  int mobileStarts = 0;
  int mobileCalls = 0;
  std::optional<PendingStart> pendingStart;
  int startsSent = 0;

  // The hook and the overlap count.
  mutable std::mutex holdLock;
  std::condition_variable holdChanged;
  int calls = 0;
  int holdAt = 0;  // the count of the call to hold; 0 for none
  bool held = false;
  int sharingUsers = 0;
  int sharingOverlaps = 0;

  ManualClock ownClock;
  Clock& clock;
  SimulatedClients clients;

 private:
  std::string VirtualConnectionName() const;
};

}  // namespace lumora::platform::sim
