#pragma once
// The simulated PC's system facts (from its scenario), instances (another instance
// can be made to run), shell and power-off, which record what they were asked.

#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/power_off_port.h"
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

// The shell records what it was asked to open or start, and on which thread an address
// was opened: the real shell needs COM there.
class SimulatedShell final : public ShellPort {
 public:
  void OpenUrl(std::string_view url) override;
  void StartProgram(std::string_view commandLine) override;
  std::vector<std::string> OpenedUrls() const;
  std::vector<std::thread::id> OpeningThreads() const;
  std::vector<std::string> StartedPrograms() const;

 private:
  mutable std::mutex lock_;
  std::vector<std::string> urls_;
  std::vector<std::thread::id> openingThreads_;
  std::vector<std::string> programs_;
};

// The power-off records each request it accepts and switches nothing off. Its
// scenario's fault takes the shutdown privilege away, as from a process of a user
// the system does not let shut down; a request without the privilege is refused.
class SimulatedPowerOff final : public PowerOffPort {
 public:
  explicit SimulatedPowerOff(const Scenario& scenario) : scenario_(scenario) {}
  bool EnableShutdownPrivilege() override;
  bool EndSession(unsigned flags, unsigned reason) override;

  struct Request {
    unsigned flags = 0;
    unsigned reason = 0;
    bool operator==(const Request&) const = default;
  };
  std::vector<Request> Requests() const;

 private:
  const Scenario& scenario_;
  mutable std::mutex lock_;
  bool privilegeEnabled_ = false;
  std::vector<Request> requests_;
};

}  // namespace lumora::platform::sim
