#pragma once
// The mobile hotspot of the simulated PC; nothing where the scenario has none. A start
// or a stop takes its time on the clock; the no-connections timeout switches the
// hotspot off once it has had no device for its time, as the next call finds. A start
// the program gives up stays in the system's hands and completes once its time is up,
// unless the scenario honours the cancel; a stop completes it first, then stops. While
// it runs, the system shares the connection itself over the virtual adapter.

#include <optional>
#include <string>
#include <vector>

#include "platform/mobile_hotspot_port.h"
#include "platform/sim/hold_gate.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedMobileHotspot : public MobileHotspotPort {
 public:
  explicit SimulatedMobileHotspot(NetworkState& state) : state_(state) {}

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

  // What tests look at.
  struct MobileHotspotView {
    bool on = false;
    std::string ssid;
    std::string passPhrase;
    bool timeoutEnabled = false;
    std::string connection;       // the virtual adapter's connection while it is on
    int starts = 0;               // times it went from off to on
    int calls = 0;                // every call of the program into it
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

 private:
  // With the state's lock held.
  bool MobileUsableLocked(std::string_view adapterGuid);
  void ApplyIdleOffLocked();
  void SetMobileOnLocked(bool on, std::string_view adapterGuid);
  // What a start answers when its time is up, the hotspot switched on if it succeeded.
  TetheringResult CompleteStartLocked(std::string_view adapterGuid);
  // Completes the pending start whose time is up, or with always any pending start.
  void CompletePendingStartLocked(bool always);
  // Lets the operation's time pass, unless the wait runs out first or is given up.
  bool AwaitOperation(std::uint32_t takesMs, const AsyncWait& wait);

  NetworkState& state_;
  HoldGate heldMobileStarts_;
};

}  // namespace lumora::platform::sim
