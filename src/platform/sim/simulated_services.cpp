#include "platform/sim/simulated_services.h"

namespace lumora::platform::sim {

std::uint32_t SimulatedServices::StartType(std::string_view service) {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  const auto found = state_.services.find(std::string(service));
  return !state_.administrator || found == state_.services.end() ? 0 : found->second.startType;
}

bool SimulatedServices::SetStartType(std::string_view service, std::uint32_t startType) {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  const auto found = state_.services.find(std::string(service));
  if (!state_.administrator || found == state_.services.end()) return false;
  found->second.startType = startType;
  return true;
}

std::uint32_t SimulatedServices::CurrentState(std::string_view service) {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  const auto found = state_.services.find(std::string(service));
  return !state_.administrator || found == state_.services.end() ? 0 : found->second.state;
}

bool SimulatedServices::Start(std::string_view service) {
  state_.PassHold();
  std::lock_guard guard(state_.lock);
  const auto found = state_.services.find(std::string(service));
  // A disabled service does not start, nor one whose dependencies are missing.
  if (!state_.administrator || found == state_.services.end() || !found->second.canStart ||
      found->second.startType == 4) {
    return false;
  }
  found->second.state = 4;
  return true;
}

SimService SimulatedServices::Service(std::string_view name) const {
  std::lock_guard guard(state_.lock);
  const auto found = state_.services.find(std::string(name));
  return found == state_.services.end() ? SimService{} : found->second;
}

}  // namespace lumora::platform::sim
