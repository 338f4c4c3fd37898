#pragma once
// The system's mobile hotspot (the tethering manager of later systems, Windows 10 1607
// on): the way to a hotspot on drivers that have no hosted network. The numbers are the
// system's own: capability, operational state and operation status.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::platform {

// TetheringCapability.
inline constexpr int kTetheringEnabled = 0;
inline constexpr int kTetheringDisabledByGroupPolicy = 1;
inline constexpr int kTetheringDisabledByHardwareLimitation = 2;

// TetheringOperationalState.
enum class TetheringState { Unknown = 0, On = 1, Off = 2, InTransition = 3 };

// TetheringOperationStatus.
enum class TetheringStatus {
  Success = 0,
  Unknown = 1,
  MobileBroadbandDeviceOff = 2,
  WiFiDeviceOff = 3,
  EntitlementCheckTimeout = 4,
  EntitlementCheckFailure = 5,
  OperationInProgress = 6,
  BluetoothDeviceOff = 7,
  NetworkLimitedConnectivity = 8,
};

// The outcome of a start or a stop: the system's status and its additional error text
// (UTF-8, often empty).
struct TetheringResult {
  int status = static_cast<int>(TetheringStatus::Unknown);
  std::string additionalError;
  // The system did not answer within the wait's limit.
  bool timedOut = false;
};

// A device on the mobile hotspot, as the system lists it.
struct TetheringClient {
  std::string mac;  // as the system writes it
  std::vector<std::string> hostNames;
};

// How an asynchronous operation of the system is awaited: at most limitMs, and only as
// long as keepGoing answers true (the worker has not been ended).
struct AsyncWait {
  std::uint32_t limitMs = 0;
  std::function<bool()> keepGoing;
};

// Every call picks the connection by the GUID of its adapter (with braces; empty: the
// connection the system uses for the Internet). Calls that wait are made on workers
// only. A wait that runs out or is given up answers as a failure: false, or status
// Unknown (timedOut when the limit ran out).
class MobileHotspotPort {
 public:
  virtual ~MobileHotspotPort() = default;
  // The capability for the connection; nullopt when the system has no tethering manager
  // or no such connection.
  virtual std::optional<int> Capability(std::string_view adapterGuid) = 0;
  // Writes name and pass phrase into the access-point configuration.
  virtual bool Configure(std::string_view adapterGuid, std::string_view ssid,
                         std::string_view passPhrase, const AsyncWait& wait) = 0;
  virtual TetheringResult Start(std::string_view adapterGuid, const AsyncWait& wait) = 0;
  virtual TetheringResult Stop(std::string_view adapterGuid, const AsyncWait& wait) = 0;
  // TetheringState as a number; nullopt when it cannot be read.
  virtual std::optional<int> State(std::string_view adapterGuid) = 0;
  // nullopt where the system has no client list.
  virtual std::optional<std::vector<TetheringClient>> Clients(std::string_view adapterGuid) = 0;
  // Whether the system switches the hotspot off when no device is connected; nullopt
  // where the system has no such setting.
  virtual std::optional<bool> NoConnectionsTimeoutEnabled() = 0;
  virtual bool SetNoConnectionsTimeoutEnabled(bool enabled) = 0;
};

}  // namespace lumora::platform
