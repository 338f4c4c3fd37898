// Names and addresses from the network: the host names devices give and the system
// lists, the addresses that go into netsh's block command and into a WMI query, the
// connection names the system reports.

#include <cstring>

#include "clients/neighbour_table.h"
#include "fuzz_input.h"
#include "netconfig/adapter_toolkit.h"
#include "netconfig/connection_discovery.h"
#include "text/command_line.h"
#include "text/cp936.h"
#include "text/ipv4.h"

using namespace lumora;

namespace {

// A WQL string literal read as the query's parser reads it; nullopt when the quoted text
// does not end where the literal does.
std::optional<std::string> ReadWqlLiteral(std::string_view quoted) {
  if (quoted.size() < 2 || quoted.front() != '\'') return std::nullopt;
  std::string text;
  for (std::size_t at = 1; at < quoted.size(); ++at) {
    const char c = quoted[at];
    if (c == '\\' && at + 1 < quoted.size()) {
      text += quoted[++at];
    } else if (c == '\'') {
      if (at + 1 != quoted.size()) return std::nullopt;
      return text;
    } else {
      text += c;
    }
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 3);
  // Names reach the program through the wide calls: valid text.
  const std::string name = text::Utf8FromCp936(pieces[0]);

  const std::string shown = clients::ShownHostName(name);
  for (const char c : shown)
    fuzz::Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
                "a shown name holds no control character");

  const std::vector<platform::TetheringClient> listed = {
      {std::string(pieces[1]), fuzz::SplitAt(name, '\n')}};
  const std::string listedName = clients::ListedHostName(listed, pieces[2]);
  fuzz::Check(listedName.empty() || !text::ParseIpv4(listedName), "an address is no name");

  const std::uint32_t index = size >= 4 ? data[0] | data[1] << 8 : 0;
  if (const std::optional<std::string> command = clients::BlockCommand(index, pieces[0])) {
    fuzz::Check(text::ParseIpv4(pieces[0]).has_value(), "only an address is blocked");
    const std::vector<std::string> expected = {"netsh",
                                               "interface",
                                               "ipv4",
                                               "set",
                                               "neighbors",
                                               std::to_string(index),
                                               std::string(pieces[0]),
                                               "00-00-00-00-00-00",
                                               "store=active"};
    fuzz::Check(text::SplitCommandLine(*command) == expected, "the block command's arguments");
  }
  if (const std::optional<std::uint32_t> address = text::ParseIpv4(pieces[0]))
    fuzz::Check(text::ParseIpv4(text::DottedIpv4(*address)) == address,
                "an address read writes and reads back");
  if (size >= 4) {
    std::uint32_t raw;
    std::memcpy(&raw, data, sizeof raw);
    fuzz::Check(text::ParseIpv4(text::DottedIpv4(raw)) == raw, "any address writes and reads back");
  }

  fuzz::Check(ReadWqlLiteral(netconfig::WqlQuoted(name)) == name,
              "a quoted connection name is the query's whole literal");
  const std::string_view trimmed = netconfig::TrimSpaces(name);
  fuzz::Check(!trimmed.starts_with(' ') && !trimmed.ends_with(' ') && !trimmed.starts_with("　") &&
                  !trimmed.ends_with("　"),
              "a trimmed connection name has no spaces around it");
  std::vector<std::uint8_t> physical(pieces[1].begin(), pieces[1].end());
  fuzz::Check(netconfig::PhysicalAddressText(physical).size() == 17, "a MAC text has six groups");
  return 0;
}
