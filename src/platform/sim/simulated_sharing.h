#pragma once
// Internet connection sharing on the simulated PC, with Windows' rules: one public and
// one private connection at a time, administrator rights for every change, and the
// private side's address. The sharing objects' calls pass the network's call hook.

#include <string>
#include <vector>

#include "platform/network_ports.h"
#include "platform/sim/network_state.h"

namespace lumora::platform::sim {

class SimulatedSharing : public SharingPort {
 public:
  explicit SimulatedSharing(NetworkState& state) : state_(state) {}

  bool WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) override;
  std::vector<PublicConnection> PublicConnections() override;

  // What tests look at.
  struct SharingState {
    std::string publicConnection;   // empty when none
    std::string privateConnection;  // empty when none
  };
  SharingState Sharing() const;
  // Every sharing change the program made, in order: "public 以太网", "off WLAN" ...
  std::vector<std::string> SharingLog() const;
  // Times a sharing walk or query began while another one was under way: the sharing
  // objects in use by two threads at once.
  int SharingOverlaps() const;

 private:
  class SharedView;
  class SharingUse;

  bool EnableSharing(std::string_view name, SharingType type);
  bool DisableSharing(std::string_view name);
  // With the state's lock held.
  bool PublicSharingFailsNow() const;

  NetworkState& state_;
};

}  // namespace lumora::platform::sim
