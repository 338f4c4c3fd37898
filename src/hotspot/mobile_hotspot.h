#pragma once
// The system's mobile hotspot, the way to a hotspot on later systems whose wireless
// driver has no hosted network: whether it takes the chosen connection, its start with
// the user's name and pass phrase, its stop, and its watch while it runs. The system
// shares the connection itself. While the program runs the hotspot, the system's
// no-connections timeout is off; every stop puts it back as it was.

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "netconfig/network_context.h"

namespace lumora::hotspot {

inline constexpr std::string_view kMobileSwitchedOffBalloon = "系统关闭了移动热点，请重新开启WiFi";
// How long the program waits for the system's answer to one operation.
inline constexpr std::uint32_t kMobileOperationLimitMs = 20000;
// The second line of the failure shown when the system refuses the name and pass phrase.
inline constexpr std::string_view kConfigurationRefused = "系统没有接受WiFi名称和密码。";

// The message of a failed start: the status's text and, on a second line, the system's
// own text when it gave one. A start that failed for no stated reason is explained by
// the capability the system reports afterwards, when it tells one.
std::string MobileStartFailureText(const platform::TetheringResult& result,
                                   std::optional<int> capabilityAfter = std::nullopt);

// What netsh's drivers list says of the hosted network: Unknown when no line says it in
// a language the program reads (or netsh could not list the drivers).
enum class HostedNetworkSupport { Yes, No, Unknown };
HostedNetworkSupport DriverHostedNetworkSupport(std::string_view showDriversOutput);

class MobileHotspot {
 public:
  explicit MobileHotspot(netconfig::NetworkContext& net) : net_(net) {}

  // On a worker, on later systems: what the wireless driver says of the hosted network.
  HostedNetworkSupport DriverSupport();
  // On a worker. True when the mobile hotspot can share the connection (capability
  // enabled); it is then the one to start.
  bool TakesConnection(std::string_view connection);
  // On a worker, after TakesConnection. Turns the timeout off, configures and starts;
  // the message of the failure, or nullopt when it runs.
  std::optional<std::string> Start(std::string_view name, std::string_view passPhrase);
  // On a worker. Stops the hotspot if the program sent it a start and puts the timeout
  // back. Does nothing when the program has not touched the mobile hotspot.
  void Stop();
  // Whether the program runs the mobile hotspot now.
  bool Running() const;
  // The name and pass phrase the system last took into its configuration.
  struct Configuration {
    std::string name, passPhrase;
  };
  Configuration Accepted() const;
  // On a worker. The devices the system lists for the hotspot while the program runs
  // it; none otherwise, or where the system keeps no list.
  std::vector<platform::TetheringClient> ListedClients();

  enum class Watch { Fine, Restarted, GaveUp };
  // On a worker, from the watch timer: when the system has switched the hotspot off,
  // starts it again, at most three times in ten minutes; after that it is stopped
  // (GaveUp) and the timeout put back.
  Watch Check();

 private:
  platform::AsyncWait Wait() const;
  void RestoreTimeoutLocked();

  netconfig::NetworkContext& net_;
  mutable std::mutex lock_;
  bool running_ = false;
  // A start went out since the last stop. The system may carry it out whatever the
  // program made of its answer (none in time, or a worker ended meanwhile), so the
  // next stop is sent in any case.
  bool startSent_ = false;
  std::string adapterGuid_;
  std::string name_, passPhrase_;
  Configuration accepted_;
  // The timeout as it was before the program turned it off; empty while untouched.
  std::optional<bool> savedTimeout_;
  std::deque<std::uint64_t> restarts_;
};

}  // namespace lumora::hotspot
