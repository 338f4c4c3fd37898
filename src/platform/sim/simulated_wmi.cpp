#include "platform/sim/simulated_wmi.h"

#include "text/search.h"

namespace lumora::platform::sim {

namespace {

// Reads a WQL string literal that starts at text[pos] (after the opening quote):
// backslash escapes the next character. nullopt when it is not closed.
std::optional<std::string> ReadWqlString(std::string_view text, std::size_t pos, char quote,
                                         std::size_t* end) {
  std::string value;
  for (; pos < text.size(); ++pos) {
    if (text[pos] == '\\') {
      if (++pos >= text.size()) return std::nullopt;
      value += text[pos];
    } else if (text[pos] == quote) {
      *end = pos + 1;
      return value;
    } else {
      value += text[pos];
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<WmiObject>> SimulatedWmi::Query(std::string_view wmiNamespace,
                                                          std::string_view wql, int maxObjects) {
  if (state_.wmiFails || !text::EqualsIgnoreAsciiCase(wmiNamespace, "root\\cimv2"))
    return std::nullopt;
  // SELECT <properties> FROM Win32_NetworkAdapter WHERE NetConnectionID = '<name>'
  const std::size_t from = text::FindIgnoreAsciiCase(wql, " From Win32_NetworkAdapter WHERE ");
  if (text::FindIgnoreAsciiCase(wql, "Select ") != 0 || from == std::string_view::npos)
    return std::nullopt;
  std::size_t pos = text::FindIgnoreAsciiCase(wql, "NetConnectionID", from);
  if (pos == std::string_view::npos) return std::nullopt;
  pos = wql.find_first_not_of(' ', pos + 15);
  if (pos == std::string_view::npos || wql[pos] != '=') return std::nullopt;
  pos = wql.find_first_not_of(' ', pos + 1);
  if (pos == std::string_view::npos || (wql[pos] != '\'' && wql[pos] != '"')) return std::nullopt;
  std::size_t end = 0;
  const std::optional<std::string> name = ReadWqlString(wql, pos + 1, wql[pos], &end);
  // Anything after the literal would be more WQL than the program ever sends.
  if (!name || wql.find_first_not_of(' ', end) != std::string_view::npos) return std::nullopt;

  std::lock_guard guard(state_.lock);
  std::vector<WmiObject> objects;
  for (const LiveConnection& c : state_.connections) {
    if (static_cast<int>(objects.size()) >= maxObjects) break;
    if (c.connection.name != *name) continue;
    objects.push_back({{"GUID", c.connection.guid},
                       {"NetConnectionID", c.connection.name},
                       {"NetConnectionStatus", std::to_string(c.connection.status)}});
  }
  return objects;
}

}  // namespace lumora::platform::sim
