#pragma once
// The program's web site as the simulated PC serves it, the machine's Run key and its
// logon tasks.

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock_port.h"
#include "platform/http_port.h"
#include "platform/logon_registry_port.h"
#include "platform/logon_task_port.h"
#include "platform/sim/scenario.h"

namespace lumora::platform::sim {

// Serves the scenario's pages by the path of the address, whatever its host, in code
// page 936; an unknown path, or a site that cannot be reached, gives the empty body.
// Each request takes the site's delay on the clock, when there is one.
class SimulatedSite final : public HttpPort {
 public:
  SimulatedSite(const Scenario& scenario, Clock* clock) : scenario_(scenario), clock_(clock) {}
  std::string ReadUrl(std::string_view url, const std::function<bool()>& keepGoing) override;
  std::string Get(std::string_view url, const std::function<bool()>& keepGoing) override;

  // Every address asked for, in order, each with "read " or "get " before it.
  std::vector<std::string> Requests() const;
  // While held, requests wait at their start until let go: a site that answers late.
  void HoldRequests(bool hold);
  int RequestsWaiting() const;

 private:
  std::string Serve(std::string_view how, std::string_view url,
                    const std::function<bool()>& keepGoing);

  const Scenario& scenario_;
  Clock* clock_;
  mutable std::mutex lock_;
  std::condition_variable letGo_;
  bool held_ = false;
  int waiting_ = 0;
  std::vector<std::string> requests_;
};

// The values of the machine-wide keys, by key and name ignoring ASCII case. With the
// scenario's fault the Run key opens for reading only: writes and deletes fail.
class SimulatedRegistry final : public LogonRegistryPort {
 public:
  explicit SimulatedRegistry(const Scenario& scenario);
  bool ValueExists(std::string_view keyPath, std::string_view valueName) override;
  bool WriteString(std::string_view keyPath, std::string_view valueName,
                   std::string_view data) override;
  bool DeleteValue(std::string_view keyPath, std::string_view valueName) override;
  bool DeleteSubkey(std::string_view keyPath, std::string_view subkeyName) override;

  // The value's data; nullopt when there is none.
  std::optional<std::string> Value(std::string_view keyPath, std::string_view valueName) const;
  void SetReadOnly(bool readOnly);
  // Writes and deletes that reached the registry, whether or not they succeeded.
  int Changes() const;

 private:
  static std::string KeyOf(std::string_view keyPath, std::string_view valueName);

  mutable std::mutex lock_;
  bool readOnly_;
  int changes_ = 0;
  std::map<std::string, std::string> values_;
};

// The logon tasks by name ignoring ASCII case, each with the program it starts. With the
// scenario's fault a task cannot be registered; deleting one still works.
class SimulatedLogonTasks final : public LogonTaskPort {
 public:
  explicit SimulatedLogonTasks(const Scenario& scenario);
  bool Register(std::string_view taskName, std::string_view programPath) override;
  std::optional<std::string> RegisteredProgram(std::string_view taskName) override;
  bool Delete(std::string_view taskName) override;

  void SetRefused(bool refused);
  // Registrations and deletes that reached the scheduler, whether or not they took.
  int Changes() const;

 private:
  mutable std::mutex lock_;
  bool refused_;
  int changes_ = 0;
  std::map<std::string, std::string> programs_;
};

}  // namespace lumora::platform::sim
