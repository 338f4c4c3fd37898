#include "clients/neighbour_table.h"

#include <cctype>

#include "text/command_line.h"
#include "text/ipv4.h"
#include "text/search.h"

namespace lumora::clients {

namespace {

// The domain Internet connection sharing gives its clients' names.
constexpr std::string_view kSharingSuffix = ".mshome.net";

std::string MacText(const platform::NeighbourRow& row) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string mac;
  for (std::size_t i = 0; i < 6; ++i) {
    if (i > 0) mac += '-';
    mac += kHex[row.physicalAddress[i] >> 4];
    mac += kHex[row.physicalAddress[i] & 0x0F];
  }
  return mac;
}

}  // namespace

std::vector<NeighbourRecord> ListNeighbours(platform::IpHelperPort& ipHelper) {
  std::vector<NeighbourRecord> records;
  const auto table = ipHelper.NeighbourTable();
  if (!table) return records;
  records.reserve(table->size());
  for (const platform::NeighbourRow& row : *table)
    records.push_back({row, MacText(row), text::DottedIpv4(row.address)});
  return records;
}

void DeleteNeighboursByAddress(platform::IpHelperPort& ipHelper, std::string_view ip,
                               const std::function<void()>& betweenRows) {
  for (const NeighbourRecord& record : ListNeighbours(ipHelper)) {
    if (record.ip != ip) continue;
    ipHelper.DeleteNeighbour(record.row);
    if (betweenRows) betweenRows();
  }
}

void DeleteAllNeighbours(platform::IpHelperPort& ipHelper,
                         const std::function<void()>& betweenRows) {
  for (const NeighbourRecord& record : ListNeighbours(ipHelper)) {
    ipHelper.DeleteNeighbour(record.row);
    if (betweenRows) betweenRows();
  }
}

std::optional<std::string> BlockCommand(std::uint32_t interfaceIndex, std::string_view ip) {
  if (!text::ParseIpv4(ip)) return std::nullopt;
  return "netsh interface ipv4 set neighbors " + std::to_string(interfaceIndex) + " " +
         text::QuoteArgument(ip) + " " + text::QuoteArgument(kZeroMac) + " store=active";
}

std::string ListedHostName(const std::vector<platform::TetheringClient>& listed,
                           std::string_view mac) {
  auto digits = [](std::string_view text) {
    std::string hex;
    for (const char c : text)
      if (std::isxdigit(static_cast<unsigned char>(c))) hex += static_cast<char>(std::tolower(c));
    return hex;
  };
  const std::string wanted = digits(mac);
  if (wanted.size() != 12) return {};
  for (const platform::TetheringClient& client : listed) {
    if (digits(client.mac) != wanted) continue;
    for (const std::string& name : client.hostNames) {
      const bool address = text::ParseIpv4(name) || name.find(':') != std::string::npos;
      if (!name.empty() && !address) return name;
    }
  }
  return {};
}

std::string ShownHostName(std::string_view lookedUp) {
  std::string name;
  for (const char c : lookedUp)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) name += c;
  if (const std::size_t suffix = text::FindIgnoreAsciiCase(name, kSharingSuffix);
      suffix != std::string::npos)
    name.erase(suffix, kSharingSuffix.size());
  if (text::FindIgnoreAsciiCase(name, "android") != std::string::npos) name = "安卓设备";
  if (text::FindIgnoreAsciiCase(name, "ipho") != std::string::npos) name = "苹果手机";
  return name;
}

}  // namespace lumora::clients
