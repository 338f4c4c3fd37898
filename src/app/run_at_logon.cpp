#include "app/run_at_logon.h"

#include <string>

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

}  // namespace lumora::app
