#include "platform/sim/simulated_system.h"

namespace lumora::platform::sim {

bool SimulatedInstances::ClaimInstance(std::string_view name) {
  std::lock_guard guard(lock_);
  return held_.emplace(name).second;
}

bool SimulatedInstances::ShowWindowTitled(std::string_view title) {
  std::lock_guard guard(lock_);
  if (!windows_.contains(std::string(title))) return false;
  shown_.emplace_back(title);
  return true;
}

void SimulatedInstances::AddWindowTitled(std::string title) {
  std::lock_guard guard(lock_);
  windows_.insert(std::move(title));
}

void SimulatedInstances::HoldInstance(std::string name) {
  std::lock_guard guard(lock_);
  held_.insert(std::move(name));
}

std::vector<std::string> SimulatedInstances::ShownWindows() const {
  std::lock_guard guard(lock_);
  return shown_;
}

void SimulatedShell::OpenUrl(std::string_view url) {
  std::lock_guard guard(lock_);
  urls_.emplace_back(url);
}

void SimulatedShell::StartProgram(std::string_view commandLine) {
  std::lock_guard guard(lock_);
  programs_.emplace_back(commandLine);
}

std::vector<std::string> SimulatedShell::OpenedUrls() const {
  std::lock_guard guard(lock_);
  return urls_;
}

std::vector<std::string> SimulatedShell::StartedPrograms() const {
  std::lock_guard guard(lock_);
  return programs_;
}

}  // namespace lumora::platform::sim
