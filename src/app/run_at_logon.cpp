#include "app/run_at_logon.h"

#include <string>

#include "platform/failure_report.h"

namespace lumora::app {

int RunAtLogon(platform::LogonRegistryPort& registry, std::string_view name, std::string_view data,
               RunAtLogonMode mode) {
  const std::string path = std::string(kRunValuePath) + std::string(name);
  const std::size_t split = path.rfind('\\');
  const std::string_view key = std::string_view(path).substr(0, split);
  const std::string_view value = std::string_view(path).substr(split + 1);
  switch (mode) {
    case RunAtLogonMode::Test:
      return registry.ValueExists(key, value) ? 1 : 0;
    case RunAtLogonMode::Delete:
      if (!registry.DeleteValue(key, value)) registry.DeleteSubkey(key, value);
      return 0;
    case RunAtLogonMode::Write:
      registry.WriteString(key, value, data);
      return 0;
  }
  return 0;
}

namespace {

bool RunValueExists(platform::LogonRegistryPort& registry) {
  return RunAtLogon(registry, kRunValueName, {}, RunAtLogonMode::Test) == 1;
}

constexpr std::string_view kWhere = "StartWithWindows";

}  // namespace

bool StartsWithWindows(platform::LogonRegistryPort& registry, platform::LogonTaskPort& tasks) {
  return RunValueExists(registry) && tasks.RegisteredProgram(kLogonTaskName).has_value();
}

bool RunValueAtStartup(platform::LogonRegistryPort& registry, platform::LogonTaskPort& tasks) {
  if (!RunValueExists(registry)) return false;
  if (!tasks.RegisteredProgram(kLogonTaskName))
    platform::ReportFailure(kWhere, "the Run value has no logon task: tick the box again");
  return true;
}

bool SetStartWithWindows(platform::LogonRegistryPort& registry, platform::LogonTaskPort& tasks,
                         std::string_view programPath, bool on) {
  if (on) {
    // The task first: a Run value without it would claim a start that Windows refuses
    // while User Account Control is on.
    if (!tasks.Register(kLogonTaskName, programPath)) {
      platform::ReportFailure(
          kWhere, "the logon task cannot be registered for " + std::string(programPath));
    } else {
      RunAtLogon(registry, kRunValueName, programPath, RunAtLogonMode::Write);
      // Without the value the option is off, and its task must not start the program.
      if (!RunValueExists(registry) && !tasks.Delete(kLogonTaskName))
        platform::ReportFailure(kWhere, "the logon task stays without its Run value");
    }
  } else {
    RunAtLogon(registry, kRunValueName, {}, RunAtLogonMode::Delete);
    // A value that cannot be deleted keeps its task: the option stays on as a whole.
    if (!RunValueExists(registry) && !tasks.Delete(kLogonTaskName))
      platform::ReportFailure(kWhere, "the logon task cannot be deleted");
  }
  return StartsWithWindows(registry, tasks);
}

}  // namespace lumora::app
