#pragma once
// The simulated PC's system facts (from its scenario) and instances (another instance
// can be made to run).

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/shell_port.h"
#include "platform/sim/scenario.h"
#include "platform/system_port.h"

namespace lumora::platform::sim {

class SimulatedSystem final : public SystemFacts {
 public:
  explicit SimulatedSystem(const Scenario& scenario) : scenario_(scenario) {}
  SystemVersion ReportedVersion() override { return scenario_.reportedVersion; }
  SystemVersion EnvironmentBlockVersion() override { return scenario_.environmentBlockVersion; }
  ScreenSize PrimaryScreenSize() override { return scenario_.screen; }
  std::string ProgramPath() override { return scenario_.programPath; }

 private:
  const Scenario& scenario_;
};

class SimulatedInstances final : public Instances {
 public:
  bool ClaimInstance(std::string_view name) override;
  bool ShowWindowTitled(std::string_view title) override;

  // Another program holds a window with this title.
  void AddWindowTitled(std::string title);
  // Another process holds this instance name.
  void HoldInstance(std::string name);
  // The titles whose windows were shown, in order.
  std::vector<std::string> ShownWindows() const;

 private:
  mutable std::mutex lock_;
  std::set<std::string> held_;
  std::set<std::string> windows_;
  std::vector<std::string> shown_;
};

// The shell records what it was asked to open or start.
class SimulatedShell final : public ShellPort {
 public:
  void OpenUrl(std::string_view url) override;
  void StartProgram(std::string_view commandLine) override;
  std::vector<std::string> OpenedUrls() const;
  std::vector<std::string> StartedPrograms() const;

 private:
  mutable std::mutex lock_;
  std::vector<std::string> urls_;
  std::vector<std::string> programs_;
};

}  // namespace lumora::platform::sim
