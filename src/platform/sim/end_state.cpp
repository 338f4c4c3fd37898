#include "platform/sim/end_state.h"

namespace lumora::platform::sim {

EndState ReadEndState(SimulatedPc& pc, int workersRunning) {
  SimulatedNetwork& network = pc.network;
  network.CompletePendingOperations();
  EndState state;
  const SimulatedNetwork::SharingState sharing = network.Sharing();
  state.publicConnection = sharing.publicConnection;
  state.privateConnection = sharing.privateConnection;
  const SimulatedNetwork::HostedNetworkView hosted = network.HostedNetwork();
  state.hostedAllowed = hosted.allowed;
  state.hostedRunning = hosted.state == 2;
  const SimulatedNetwork::MobileHotspotView mobile = network.MobileHotspot();
  state.mobileOn = mobile.on;
  state.mobileTimeout = !mobile.timeoutSetting ? "none" : mobile.timeoutEnabled ? "on" : "off";
  state.pinned = network.PinnedOnHostedInterface();
  state.powerOffRequests = pc.power.Requests().size();
  state.opened = pc.shell.OpenedUrls();
  state.workersRunning = workersRunning;
  return state;
}

std::string EndStateText(const EndState& state) {
  const auto yesNo = [](bool value) { return value ? "yes" : "no"; };
  std::string text;
  if (!state.publicConnection.empty()) text += "sharing=" + state.publicConnection + " public\n";
  if (!state.privateConnection.empty()) text += "sharing=" + state.privateConnection + " private\n";
  text += std::string("hosted.mode=") + (state.hostedAllowed ? "allow" : "disallow") + "\n";
  text += std::string("hosted.running=") + yesNo(state.hostedRunning) + "\n";
  text += std::string("mobile.on=") + yesNo(state.mobileOn) + "\n";
  text += "mobile.timeout=" + state.mobileTimeout + "\n";
  for (const std::string& mac : state.pinned) text += "pinned=" + mac + "\n";
  text += "poweroff.requests=" + std::to_string(state.powerOffRequests) + "\n";
  for (const std::string& address : state.opened) text += "opened=" + address + "\n";
  text += "workers.running=" + std::to_string(state.workersRunning) + "\n";
  return text;
}

}  // namespace lumora::platform::sim
