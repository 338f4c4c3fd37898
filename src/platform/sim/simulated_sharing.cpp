#include "platform/sim/simulated_sharing.h"

namespace lumora::platform::sim {

class SimulatedSharing::SharedView final : public SharedConnection {
 public:
  SharedView(SimulatedSharing& sharing, std::string name)
      : sharing_(sharing), name_(std::move(name)) {}
  std::string Name() override { return name_; }
  int Status() override { return sharing_.state_.StatusOf(name_); }
  bool DisableSharing() override {
    sharing_.state_.PassHold();
    return sharing_.DisableSharing(name_);
  }
  bool EnableSharing(SharingType type) override {
    sharing_.state_.PassHold();
    return sharing_.EnableSharing(name_, type);
  }

 private:
  SimulatedSharing& sharing_;
  std::string name_;
};

// A walk or query of the sharing objects while it lasts.
class SimulatedSharing::SharingUse {
 public:
  explicit SharingUse(NetworkState& state) : state_(state) {
    std::lock_guard guard(state_.holdLock);
    if (state_.sharingUsers++ > 0) ++state_.sharingOverlaps;
  }
  ~SharingUse() {
    std::lock_guard guard(state_.holdLock);
    --state_.sharingUsers;
  }
  SharingUse(const SharingUse&) = delete;
  SharingUse& operator=(const SharingUse&) = delete;

 private:
  NetworkState& state_;
};

bool SimulatedSharing::WalkEveryConnection(const std::function<bool(SharedConnection&)>& visit) {
  state_.PassHold();
  const SharingUse use(state_);
  if (state_.sharingObjectMissing || state_.sharingWalkFails) return false;
  for (const std::string& name : state_.NamesInOrder()) {
    SharedView view(*this, name);
    if (!visit(view)) break;
  }
  return true;
}

std::vector<PublicConnection> SimulatedSharing::PublicConnections() {
  state_.PassHold();
  const SharingUse use(state_);
  std::lock_guard guard(state_.lock);
  std::vector<PublicConnection> result;
  if (state_.sharingObjectMissing) return result;
  // Every connection but the hosted network's own can be the public side.
  for (const LiveConnection& c : state_.connections)
    if (c.connection.kind != ConnectionKind::Hosted)
      result.push_back({c.connection.name, c.sharingPublic});
  return result;
}

bool SimulatedSharing::PublicSharingFailsNow() const {
  const int failing = state_.hosted.sharingFailsStarts;
  if (failing < 0) return true;
  // Sharing belongs to the start that runs, or before one to the start that comes:
  // the program switches it on before netsh starts the network, after a forced start.
  const int start = state_.hostedActive ? state_.hostedStarts : state_.hostedStarts + 1;
  return start <= failing;
}

bool SimulatedSharing::EnableSharing(std::string_view name, SharingType type) {
  std::lock_guard guard(state_.lock);
  LiveConnection* target = state_.Find(name);
  if (!target || !state_.administrator) return false;
  // One public and one private connection at a time: a side moves to its new owner.
  for (LiveConnection& c : state_.connections) {
    if (type == SharingType::Public) {
      c.sharingPublic = false;
    } else {
      c.DropPrivateSide();
    }
  }
  if (type == SharingType::Public) {
    // The fault: Windows reports success, and the connection is not shared.
    if (!PublicSharingFailsNow()) target->sharingPublic = true;
    state_.sharingLog.push_back("public " + std::string(name));
  } else {
    // Sharing gives its private side its address but leaves the adapter on DHCP, as
    // the hosted network's adapter is often found on Windows 7; the program fixes
    // that with netsh.
    target->sharingPrivate = true;
    target->address = std::string(kSharingPrivateAddress);
    target->mask = std::string(kSharingPrivateMask);
    state_.sharingLog.push_back("private " + std::string(name));
  }
  return true;
}

bool SimulatedSharing::DisableSharing(std::string_view name) {
  std::lock_guard guard(state_.lock);
  LiveConnection* target = state_.Find(name);
  if (!target || !state_.administrator) return false;
  target->DropPrivateSide();
  target->sharingPublic = false;
  state_.sharingLog.push_back("off " + std::string(name));
  return true;
}

SimulatedSharing::SharingState SimulatedSharing::Sharing() const {
  std::lock_guard guard(state_.lock);
  SharingState state;
  for (const LiveConnection& c : state_.connections) {
    if (c.sharingPublic) state.publicConnection = c.connection.name;
    if (c.sharingPrivate) state.privateConnection = c.connection.name;
  }
  return state;
}

std::vector<std::string> SimulatedSharing::SharingLog() const {
  std::lock_guard guard(state_.lock);
  return state_.sharingLog;
}

int SimulatedSharing::SharingOverlaps() const {
  std::lock_guard guard(state_.holdLock);
  return state_.sharingOverlaps;
}

}  // namespace lumora::platform::sim
