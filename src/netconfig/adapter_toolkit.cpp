#include "netconfig/adapter_toolkit.h"

#include <charconv>
#include <cstdio>

#include "text/search.h"

namespace lumora::netconfig {

namespace {

constexpr std::string_view kNamespace = "root\\cimv2";
constexpr int kMostWmiObjects = 10;
// The client version of the WLAN service on every system the program runs on.
constexpr int kWlanClientVersion = 2;

int ParseStatus(std::string_view text) {
  int status = 0;
  std::from_chars(text.data(), text.data() + text.size(), status);
  return status;
}

// Connection names as the connection manager compares them: surrounding spaces
// removed, ASCII letters folded.
bool SameConnectionName(std::string_view a, std::string_view b) {
  auto trim = [](std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  };
  return text::EqualsIgnoreAsciiCase(trim(a), trim(b));
}

std::string AdapterQuery(std::string_view properties, std::string_view name) {
  return "Select " + std::string(properties) +
         " From Win32_NetworkAdapter WHERE NetConnectionID=" + WqlQuoted(name);
}

}  // namespace

std::string InterfaceTypeName(std::uint32_t type) {
  switch (type) {
    case 6:
      return "以太网适配器";
    case 9:
      return "令牌环适配器";
    case 15:
      return "光纤接口适配器";
    case 23:
      return "点到点协议适配器";
    case 24:
      return "回环（Loopback）适配器";
    case 28:
      return "串行适配器";
    case 71:
      return "IEEE 802.11无线网络适配器";
    default:
      return "其他类型的适配器";
  }
}

std::string PhysicalAddressText(const std::vector<std::uint8_t>& address) {
  std::string text;
  for (std::size_t i = 0; i < 6; ++i) {
    char group[4];
    std::snprintf(group, sizeof group, "%02X", i < address.size() ? address[i] : 0);
    if (i > 0) text += '-';
    text += group;
  }
  return text;
}

std::string WqlQuoted(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

InterfaceRecord AdapterToolkit::InterfaceRowOfConnection(std::string_view name) {
  InterfaceRecord record;
  const std::optional<platform::InterfaceRow> row =
      ports_.ipHelper.InterfaceEntry(InterfaceIndexOfConnection(name));
  if (!row) return record;
  record.row = *row;
  record.physicalAddress = PhysicalAddressText(row->physicalAddress);
  record.typeName = InterfaceTypeName(row->type);
  return record;
}

std::uint32_t AdapterToolkit::InterfaceIndexOfConnection(std::string_view name) {
  const std::string guid = AdapterGuidOfConnection(name);
  if (guid.empty()) return 0;
  return ports_.ipHelper.AdapterIndex("\\DEVICE\\TCPIP_" + guid);
}

std::string AdapterToolkit::AdapterGuidOfConnection(std::string_view name) {
  if (const auto adapters = ports_.ipHelper.AdaptersAddresses()) {
    for (const platform::AdapterAddresses& adapter : *adapters)
      if (adapter.friendlyName == name) return adapter.adapterName;
  }
  // Adapters that IP Helper does not list may still be known to WMI.
  std::string guid;
  if (const auto objects =
          ports_.wmi.Query(kNamespace, AdapterQuery("GUID", name), kMostWmiObjects)) {
    for (const platform::WmiObject& object : *objects) {
      if (const auto found = object.find("GUID"); found != object.end()) guid = found->second;
    }
  }
  return guid;
}

int AdapterToolkit::ConnectionStatusByName(std::string_view name) {
  int status = -1;
  if (const auto objects = ports_.wmi.Query(kNamespace, AdapterQuery("*", name), kMostWmiObjects)) {
    status = 0;
    for (const platform::WmiObject& object : *objects) {
      if (const auto found = object.find("NetConnectionStatus"); found != object.end())
        status = ParseStatus(found->second);
    }
  }
  if (status != -1) return status;
  ports_.connectionManager.WalkConnections([&](platform::ManagedConnection& connection) {
    if (!SameConnectionName(connection.Name(), name)) return true;
    status = connection.Status();
    return false;
  });
  return status;
}

void AdapterToolkit::EnableConnectionByName(std::string_view name) {
  ports_.connectionManager.WalkConnections([&](platform::ManagedConnection& connection) {
    if (!SameConnectionName(connection.Name(), name)) return true;
    connection.Connect();
    return false;
  });
}

int AdapterToolkit::CountWirelessInterfaces() {
  return ports_.wlan.CountInterfaces(kWlanClientVersion).value_or(-1);
}

std::string AdapterToolkit::QueryPublicSharing() {
  for (const platform::PublicConnection& connection : ports_.sharing.PublicConnections())
    if (connection.sharingEnabled) return connection.name;
  return {};
}

}  // namespace lumora::netconfig
