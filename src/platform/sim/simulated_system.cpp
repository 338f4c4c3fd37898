#include "platform/sim/simulated_system.h"

#include "platform/failure_report.h"

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
  openingThreads_.push_back(std::this_thread::get_id());
}

std::vector<std::thread::id> SimulatedShell::OpeningThreads() const {
  std::lock_guard guard(lock_);
  return openingThreads_;
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

bool SimulatedPowerOff::EnableShutdownPrivilege() {
  std::lock_guard guard(lock_);
  if (scenario_.shutdownPrivilegeMissing) {
    // As AdjustTokenPrivileges answers for a token that lacks the privilege.
    ReportFailure("AdjustTokenPrivileges", "error 1300 not all privileges were assigned");
    return false;
  }
  privilegeEnabled_ = true;
  return true;
}

bool SimulatedPowerOff::EndSession(unsigned flags, unsigned reason) {
  std::lock_guard guard(lock_);
  if (!privilegeEnabled_) {
    ReportFailure("ExitWindowsEx", "error 1314 a required privilege is not held");
    return false;
  }
  requests_.push_back({flags, reason});
  return true;
}

std::vector<SimulatedPowerOff::Request> SimulatedPowerOff::Requests() const {
  std::lock_guard guard(lock_);
  return requests_;
}

}  // namespace lumora::platform::sim
