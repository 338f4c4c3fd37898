// The neighbour table, the deletion of an entry and the reverse look-up on a real IP
// stack: a network namespace that neighbour_namespace_test makes on Linux, where a Wine
// session of its own runs this program. The script describes what it made in LUMORA_NETNS.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
// After Winsock 2, in whose terms the tables are declared.
#include <iphlpapi.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_network.h"
#include "support/test_support.h"

namespace lumora::platform::win32 {
namespace {

constexpr std::uint32_t kDynamic = 3;  // MIB_IPNET_TYPE_DYNAMIC
constexpr std::uint32_t kStatic = 4;   // MIB_IPNET_TYPE_STATIC
constexpr std::string_view kDevicePrefix = "\\DEVICE\\TCPIP_";

// How Wine reports the states the kernel keeps. Wine reads /proc/net/arp, whose flags
// tell only "permanent" and "complete": a permanent entry is static, a complete one
// (reachable, stale) dynamic, and one without a hardware address (failed, incomplete) is
// dynamic too, with six zero bytes, where Windows would call it invalid.
struct WineReport {
  std::uint32_t type;
  bool keepsHardwareAddress;
};
const std::map<std::string, WineReport, std::less<>> kWineReports = {
    {"reachable", {kDynamic, true}},
    {"stale", {kDynamic, true}},
    {"permanent", {kStatic, true}},
    {"failed", {kDynamic, false}},
};

const char* const kAlwaysListedGroups[] = {"224.0.0.22", "239.255.255.250"};

struct Neighbour {
  std::string link;
  std::string address;
  std::array<std::uint8_t, 6> hardwareAddress{};
  std::string state;
};

// What the script made, one fact a line:
//   link NAME INDEX                      an interface and the index Linux gave it
//   neighbour LINK ADDRESS MAC STATE     an entry of the PC's neighbour table
//   growth LINK PREFIX                   where a test may add entries: PREFIX.100 and up
//   name ADDRESS NAME                    a line of the namespace's own hosts file
//   unnamed ADDRESS                      an address that no name belongs to
struct Namespace {
  std::map<std::string, std::uint32_t> linkIndexes;
  std::vector<Neighbour> neighbours;
  std::string growthLink;
  std::string growthPrefix;
  std::vector<std::pair<std::string, std::string>> names;
  std::vector<std::string> unnamed;
};

std::array<std::uint8_t, 6> ParseMac(const std::string& text) {
  std::array<std::uint8_t, 6> bytes{};
  if (text == "-") return bytes;
  std::istringstream in(text);
  for (std::uint8_t& byte : bytes) {
    unsigned value = 0;
    char separator = 0;
    in >> std::hex >> value;
    in.get(separator);
    byte = static_cast<std::uint8_t>(value);
  }
  return bytes;
}

const Namespace& TheNamespace() {
  static const Namespace described = [] {
    Namespace ns;
    const char* text = std::getenv("LUMORA_NETNS");
    std::istringstream lines(text ? text : "");
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string kind;
      fields >> kind;
      if (kind == "link") {
        std::string name;
        std::uint32_t index = 0;
        fields >> name >> index;
        ns.linkIndexes[name] = index;
      } else if (kind == "neighbour") {
        Neighbour n;
        std::string mac;
        fields >> n.link >> n.address >> mac >> n.state;
        n.hardwareAddress = ParseMac(mac);
        ns.neighbours.push_back(n);
      } else if (kind == "growth") {
        fields >> ns.growthLink >> ns.growthPrefix;
      } else if (kind == "name") {
        std::string address, name;
        fields >> address >> name;
        ns.names.emplace_back(address, name);
      } else if (kind == "unnamed") {
        std::string address;
        fields >> address;
        ns.unnamed.push_back(address);
      }
    }
    return ns;
  }();
  return described;
}

class NeighbourNamespace : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(TheNamespace().neighbours.empty())
        << "LUMORA_NETNS describes no namespace: run neighbour_namespace_test";
    // What the tests expect of the system is what Wine does.
    ASSERT_NE(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"), nullptr);
  }
  const Namespace& ns = TheNamespace();
};

std::uint32_t Address(const std::string& dotted) {
  in_addr a{};
  inet_pton(AF_INET, dotted.c_str(), &a);
  return a.s_addr;
}

const NeighbourRow* Find(const std::vector<NeighbourRow>& rows, std::uint32_t index,
                         std::uint32_t address) {
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const NeighbourRow& r) {
    return r.interfaceIndex == index && r.address == address;
  });
  return row == rows.end() ? nullptr : &*row;
}

// The interface index the program would find for a connection name: the adapter of that
// name in the address table, then the index of its GUID.
std::uint32_t IndexOfConnection(Win32IpHelper& ip, const std::string& name) {
  const auto adapters = ip.AdaptersAddresses();
  if (!adapters) return 0;
  for (const AdapterAddresses& adapter : *adapters) {
    if (adapter.friendlyName == name)
      return ip.AdapterIndex(std::string(kDevicePrefix) + adapter.adapterName);
  }
  return 0;
}

TEST_F(NeighbourNamespace, ReportsEachEntryOnItsLinkWithTheTypeWineGivesItsState) {
  Win32IpHelper ip;
  for (const auto& [link, linuxIndex] : ns.linkIndexes) {
    EXPECT_EQ(IndexOfConnection(ip, link), linuxIndex) << link;
    const auto row = ip.InterfaceEntry(linuxIndex);
    ASSERT_TRUE(row.has_value()) << link;
    EXPECT_EQ(row->alias, link);
  }

  const auto rows = ip.NeighbourTable();
  ASSERT_TRUE(rows.has_value());
  for (const Neighbour& n : ns.neighbours) {
    SCOPED_TRACE(n.address + " " + n.state);
    const NeighbourRow* row = Find(*rows, ns.linkIndexes.at(n.link), Address(n.address));
    ASSERT_NE(row, nullptr);
    const WineReport& report = kWineReports.at(n.state);
    EXPECT_EQ(row->type, report.type);
    EXPECT_EQ(row->physicalAddressLength, 6u);
    // Eight bytes are handed on; those past the sixth are zero.
    std::array<std::uint8_t, 8> expected{};
    if (report.keepsHardwareAddress)
      std::copy(n.hardwareAddress.begin(), n.hardwareAddress.end(), expected.begin());
    EXPECT_EQ(row->physicalAddress, expected);
  }

  // On a link where no test adds entries, the table holds the entries made and, on every
  // interface, the two multicast groups that Windows always lists: Wine adds them as static
  // entries without a hardware address.
  for (const auto& [link, index] : ns.linkIndexes) {
    if (link == ns.growthLink) continue;
    SCOPED_TRACE(link);
    std::vector<std::uint32_t> expected;
    for (const Neighbour& n : ns.neighbours)
      if (n.link == link) expected.push_back(Address(n.address));
    for (const char* group : kAlwaysListedGroups) {
      expected.push_back(Address(group));
      const NeighbourRow* row = Find(*rows, index, Address(group));
      ASSERT_NE(row, nullptr) << group;
      EXPECT_EQ(row->type, kStatic);
      EXPECT_EQ(row->physicalAddressLength, 0u);
    }
    std::vector<std::uint32_t> listed;
    for (const NeighbourRow& row : *rows)
      if (row.interfaceIndex == index) listed.push_back(row.address);
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
  }

  // Sorted as asked: by interface, then by address in the order of its octets.
  EXPECT_TRUE(
      std::is_sorted(rows->begin(), rows->end(), [](const NeighbourRow& a, const NeighbourRow& b) {
        return std::pair(a.interfaceIndex, ntohl(a.address)) <
               std::pair(b.interfaceIndex, ntohl(b.address));
      }));
}

// Wine's DeleteIpNetEntry answers success and leaves the table as it was; on Windows the
// entry goes. Either way the program is told the entry is gone and nothing is reported.
TEST_F(NeighbourNamespace, DeletingAnEntryIsAnsweredAsWineDoes) {
  Win32IpHelper ip;
  // One on the link whose entries the other tests do not count.
  const auto target = std::find_if(ns.neighbours.begin(), ns.neighbours.end(),
                                   [&](const Neighbour& n) { return n.link == ns.growthLink; });
  ASSERT_NE(target, ns.neighbours.end());
  const std::uint32_t index = ns.linkIndexes.at(target->link);
  const auto before = ip.NeighbourTable();
  ASSERT_TRUE(before.has_value());
  const NeighbourRow* row = Find(*before, index, Address(target->address));
  ASSERT_NE(row, nullptr);

  EXPECT_TRUE(ip.DeleteNeighbour(*row));

  const auto after = ip.NeighbourTable();
  ASSERT_TRUE(after.has_value());
  const NeighbourRow* still = Find(*after, index, Address(target->address));
  ASSERT_NE(still, nullptr);
  EXPECT_EQ(still->type, row->type);
  EXPECT_EQ(still->physicalAddress, row->physicalAddress);
}

// Winsock for the datagrams the growth tests send.
class Winsock {
 public:
  Winsock() { started_ = WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
  ~Winsock() {
    if (started_) WSACleanup();
  }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;
  explicit operator bool() const { return started_; }

 private:
  WSADATA data_{};
  bool started_ = false;
};

ULONG TableBytes() {
  ULONG bytes = 0;
  GetIpNetTable(nullptr, &bytes, FALSE);
  return bytes;
}

// Makes the system's table one entry longer: a datagram to an address of the growth link
// that nobody holds makes the kernel start resolving it. Waits, within a limit, until the
// table is counted longer.
bool GrowTheTable(const std::string& address) {
  const ULONG before = TableBytes();
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(9);  // discard
  to.sin_addr.s_addr = Address(address);
  const char byte = 0;
  const bool sent = sendto(s, &byte, 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) == 1;
  closesocket(s);
  if (!sent) return false;
  for (int i = 0; i < 200; ++i) {
    if (TableBytes() > before) return true;
    Sleep(5);
  }
  return false;
}

TEST_F(NeighbourNamespace, ReadsTheTableAgainWhenItGrowsBetweenSizingAndFilling) {
  const Winsock winsock;
  ASSERT_TRUE(winsock);
  struct Case {
    const char* what;
    int growths;  // after how many of the sizing calls the table grows
    int calls;
    bool read;
  };
  const Case cases[] = {
      {"grows once", 1, 4, true},
      {"grows at every try", 4, 8, false},
  };
  int nextHost = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> added;
    std::vector<unsigned long> answers;
    int sizings = 0;
    Win32IpHelper ip([&](void* table, unsigned long* bytes, bool sorted) {
      const unsigned long answer =
          GetIpNetTable(static_cast<MIB_IPNETTABLE*>(table), bytes, sorted);
      answers.push_back(answer);
      if (!table && sizings++ < c.growths) {
        added.push_back(ns.growthPrefix + "." + std::to_string(nextHost++));
        EXPECT_TRUE(GrowTheTable(added.back())) << added.back();
      }
      return answer;
    });

    lumora::testing::ExpectedFailureReports reports;
    const auto rows = ip.NeighbourTable();
    EXPECT_EQ(static_cast<int>(answers.size()), c.calls);
    EXPECT_EQ(rows.has_value(), c.read);
    for (std::size_t i = 1; i < answers.size(); i += 2) {
      const bool last = i + 1 == answers.size();
      EXPECT_EQ(answers[i], last && c.read ? static_cast<unsigned long>(NO_ERROR)
                                           : static_cast<unsigned long>(ERROR_INSUFFICIENT_BUFFER))
          << "fill call " << i / 2;
    }
    if (rows) {
      for (const std::string& address : added)
        EXPECT_NE(Find(*rows, ns.linkIndexes.at(ns.growthLink), Address(address)), nullptr)
            << address;
      EXPECT_TRUE(reports.Lines().empty());
    } else {
      EXPECT_EQ(reports.Lines(), std::vector<std::string>{
                                     "GetIpNetTable: the table kept growing while it was read"});
    }
  }
}

TEST_F(NeighbourNamespace, LooksUpNamesOfDottedAddressesOnly) {
  ASSERT_FALSE(ns.names.empty());
  ASSERT_FALSE(ns.unnamed.empty());
  const auto& [address, name] = ns.names.front();
  struct Case {
    std::string address;
    std::string name;
  };
  std::vector<Case> cases;
  for (const auto& [a, n] : ns.names) cases.push_back({a, n});
  for (const std::string& a : ns.unnamed) cases.push_back({a, ""});
  // Texts that hold the named address and more, or no address at all, are not looked up.
  for (const std::string& hostile :
       {address + std::string(1, '\0'), address + std::string(1, '\0') + "x", address + " ",
        " " + address, address + ";echo x", address + "\r\n127.0.0.1", "$(" + address + ")",
        address + "%1", name, std::string(), std::string("192.0.2"), std::string("192.0.2.256"),
        std::string("::1"), std::string("0x7f.0.0.1"), std::string("\xE4\xB8\xAD")})
    cases.push_back({hostile, ""});

  Win32NameLookup names;
  for (const Case& c : cases) {
    EXPECT_EQ(names.HostNameOfAddress(c.address, [] { return true; }), c.name)
        << "\"" << c.address << "\" (" << c.address.size() << " bytes)";
  }
}

}  // namespace
}  // namespace lumora::platform::win32
