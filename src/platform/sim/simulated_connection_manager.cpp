#include "platform/sim/simulated_connection_manager.h"

namespace lumora::platform::sim {

class SimulatedConnectionManager::ManagedView final : public ManagedConnection {
 public:
  ManagedView(NetworkState& state, std::string name) : state_(state), name_(std::move(name)) {}
  std::string Name() override { return name_; }
  int Status() override { return state_.StatusOf(name_); }
  void Connect() override {
    std::lock_guard guard(state_.lock);
    LiveConnection* c = state_.Find(name_);
    // Switching an adapter on takes administrator rights. A wireless adapter that
    // comes back has no network in range until it joins one.
    if (!c || !state_.administrator || c->connection.status != 0) return;
    c->connection.status = c->connection.kind == ConnectionKind::Wireless ? 7 : 2;
  }

 private:
  NetworkState& state_;
  std::string name_;
};

bool SimulatedConnectionManager::WalkConnections(
    const std::function<bool(ManagedConnection&)>& visit) {
  state_.PassHold();
  for (const std::string& name : state_.NamesInOrder()) {
    ManagedView view(state_, name);
    if (!visit(view)) break;
  }
  return true;
}

}  // namespace lumora::platform::sim
