#include "platform/sim/simulated_connection_names.h"

#include "text/search.h"

namespace lumora::platform::sim {

namespace {

constexpr std::string_view kConnectionNameKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

}  // namespace

std::optional<std::string> SimulatedNetworkRegistry::ReadMachineString(std::string_view keyPath,
                                                                       std::string_view valueName) {
  if (!text::EqualsIgnoreAsciiCase(valueName, "Name") ||
      !text::EqualsIgnoreAsciiCase(keyPath.substr(0, kConnectionNameKey.size()),
                                   kConnectionNameKey))
    return std::nullopt;
  std::lock_guard guard(state_.lock);
  for (const LiveConnection& c : state_.connections) {
    const std::string key = std::string(kConnectionNameKey) + c.connection.guid + "\\Connection";
    if (c.connection.nameInRegistry && text::EqualsIgnoreAsciiCase(keyPath, key))
      return c.connection.name;
  }
  return std::nullopt;
}

std::string SimulatedInternetState::ConnectedStateName() {
  std::lock_guard guard(state_.lock);
  // The buffer was filled with blanks; a machine with no answer leaves it so.
  return state_.internetConnection.empty() ? std::string(511, ' ') : state_.internetConnection;
}

}  // namespace lumora::platform::sim
