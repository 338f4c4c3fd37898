// The devices of the simulated PC's hotspot: the neighbour table they make, netsh's
// pinned entries, their traffic and the name look-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/manual_clock.h"
#include "platform/sim/simulated_pc.h"
#include "text/ipv4.h"

namespace lumora::platform::sim {
namespace {

constexpr std::string_view kPc = R"(
[connection1]
name=本地连接
index=11
[connection2]
name=无线网络连接
kind=wireless
status=7
index=12
[client1]
mac=3c-a6-f6-12-5b-01
ip=192.168.137.23
host=android-5a1b.mshome.net
join=2
down=1000
up=100
[client2]
mac=F0-99-B6-7C-0E-42
ip=192.168.137.5
host=iPhone.mshome.net
lookup=2500
join=4
leave=10
down=500
[client3]
mac=00-21-CC-5E-9A-17
ip=192.168.137.88
lookup=fails
host=never-told
join=0.5
[neighbour1]
connection=本地连接
ip=192.168.1.1
mac=00-2B-3C-F0-FF-F1
type=static
[neighbour2]
connection=本地连接
ip=192.168.1.11
mac=00-0C-29-47-FD-8D
[neighbour3]
connection=hosted
ip=192.168.137.200
mac=00-00-00-00-00-00
type=invalid
)";

struct Row {
  std::uint32_t index;
  std::string ip, mac;
  std::uint32_t type;
  bool operator==(const Row&) const = default;
};

std::string MacOf(const NeighbourRow& row) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string mac;
  for (int i = 0; i < 6; ++i) {
    if (i) mac += '-';
    mac += kHex[row.physicalAddress[i] >> 4];
    mac += kHex[row.physicalAddress[i] & 15];
  }
  return mac;
}

std::vector<Row> Table(SimulatedNetwork& network) {
  std::vector<Row> rows;
  const std::vector<NeighbourRow> table = network.NeighbourTable().value();
  for (const NeighbourRow& row : table)
    rows.push_back({row.interfaceIndex, text::DottedIpv4(row.address), MacOf(row), row.type});
  return rows;
}

class SimClientsTest : public ::testing::Test {
 protected:
  void StartHotspot() {
    netsh("wlan set hostednetwork mode=allow ssid=\"x\" key=\"12345678\"");
    netsh("wlan start hostednetwork");
    hosted = pc.network.Connection(pc.network.HostedNetwork().connection)->interfaceIndex;
  }
  std::string netsh(std::string_view arguments) { return pc.netsh.Run(arguments); }
  std::uint64_t Sent() { return pc.network.InterfaceEntry(hosted)->outOctets; }

  ManualClock clock;
  SimulatedPc pc{ParseScenario(kPc), &clock};
  std::uint32_t hosted = 0;
};

TEST_F(SimClientsTest, DevicesAreDynamicEntriesOfTheHostedInterfaceWhileTheyAreJoined) {
  // Before the hotspot runs only the other interfaces have entries.
  EXPECT_EQ(Table(pc.network), (std::vector<Row>{{11, "192.168.1.1", "00-2B-3C-F0-FF-F1", 4},
                                                 {11, "192.168.1.11", "00-0C-29-47-FD-8D", 3}}));
  StartHotspot();
  ASSERT_NE(hosted, 0u);
  clock.Advance(1000);
  // Sorted by address; the broadcast and multicast entries Windows keeps are there too.
  EXPECT_EQ(Table(pc.network),
            (std::vector<Row>{{11, "192.168.1.1", "00-2B-3C-F0-FF-F1", 4},
                              {11, "192.168.1.11", "00-0C-29-47-FD-8D", 3},
                              {hosted, "192.168.137.88", "00-21-CC-5E-9A-17", 3},
                              {hosted, "192.168.137.200", "00-00-00-00-00-00", 2},
                              {hosted, "192.168.137.255", "FF-FF-FF-FF-FF-FF", 4},
                              {hosted, "224.0.0.22", "01-00-5E-00-00-16", 4}}));
  clock.Advance(4000);  // 5 s: all three are there
  EXPECT_EQ(Table(pc.network).size(), 8u);
  clock.Advance(5000);  // 10 s: the phone has left
  EXPECT_EQ(Table(pc.network).size(), 7u);
  netsh("wlan stop hostednetwork");
  EXPECT_EQ(Table(pc.network).size(), 2u);
}

TEST_F(SimClientsTest, APinnedEntryReplacesTheDeviceAndStopsItsTraffic) {
  StartHotspot();
  clock.Advance(3000);
  EXPECT_EQ(Sent(), 1000u);  // one second of the first phone
  const std::string pin = "interface ipv4 set neighbors " + std::to_string(hosted) +
                          " \"192.168.137.23\" \"00-00-00-00-00-00\" store=active";
  EXPECT_EQ(netsh(pin), "");
  const std::vector<Row> table = Table(pc.network);
  EXPECT_NE(std::find(table.begin(), table.end(),
                      Row{hosted, "192.168.137.23", "00-00-00-00-00-00", 4}),
            table.end());
  clock.Advance(2000);
  EXPECT_EQ(Sent(), 1000u + 500u);  // the second phone's first second only

  // Deleting the pinned entry lets the device resolve again, and its bytes count.
  const std::vector<NeighbourRow> pinned = pc.network.NeighbourTable().value();
  for (const NeighbourRow& row : pinned) {
    if (text::DottedIpv4(row.address) == "192.168.137.23") {
      EXPECT_TRUE(pc.network.DeleteNeighbour(row));
    }
  }
  const std::vector<Row> after = Table(pc.network);
  EXPECT_NE(std::find(after.begin(), after.end(),
                      Row{hosted, "192.168.137.23", "3C-A6-F6-12-5B-01", 3}),
            after.end());
  clock.Advance(1000);
  EXPECT_EQ(Sent(), 1500u + 1000u + 500u);
}

TEST_F(SimClientsTest, NetshRefusesAnUnknownInterfaceAndBadAddressesAndChangesNothing) {
  StartHotspot();
  clock.Advance(3000);
  const std::vector<Row> before = Table(pc.network);
  EXPECT_EQ(netsh("interface ipv4 set neighbors 99 \"192.168.137.23\" \"00-00-00-00-00-00\""),
            "找不到元素。\r\n\r\n");
  EXPECT_NE(netsh("interface ipv4 set neighbors " + std::to_string(hosted) +
                  " \"192.168.137.300\" \"00-00-00-00-00-00\""),
            "");
  EXPECT_NE(netsh("interface ipv4 set neighbors " + std::to_string(hosted) +
                  " \"192.168.137.23\" \"00-00-00-00-00\""),
            "");
  EXPECT_EQ(Table(pc.network), before);
  pc.network.SetAdministrator(false);
  EXPECT_NE(netsh("interface ipv4 set neighbors " + std::to_string(hosted) +
                  " \"192.168.137.23\" \"00-00-00-00-00-00\"")
                .find("管理员"),
            std::string::npos);
  EXPECT_EQ(Table(pc.network), before);
}

TEST_F(SimClientsTest, TheNameLookUpTakesItsTimeAndAnswersAsTheScenarioSays) {
  const std::uint64_t start = clock.NowMs();
  EXPECT_EQ(pc.network.HostNameOfAddress("192.168.137.5", {}), "iPhone.mshome.net");
  EXPECT_EQ(clock.NowMs() - start, 2500u);
  EXPECT_EQ(pc.network.HostNameOfAddress("192.168.137.88", {}), "");  // the look-up fails
  EXPECT_EQ(pc.network.HostNameOfAddress("192.168.137.99", {}), "");  // nobody there
  EXPECT_EQ(pc.network.HostNameOfAddress("not an address", {}), "");
  // A look-up given up on answers nothing at once.
  const std::uint64_t before = clock.NowMs();
  EXPECT_EQ(pc.network.HostNameOfAddress("192.168.137.5", [] { return false; }), "");
  EXPECT_EQ(clock.NowMs(), before);
}

TEST(SimClients, TheDefaultPcHasTwoPhonesAndALaptopThatJoinWithinSeconds) {
  const Scenario scenario = DefaultScenario();
  ASSERT_EQ(scenario.clients.size(), 3u);
  for (const SimClient& client : scenario.clients) {
    EXPECT_LE(client.joinMs, 5000u);
    EXPECT_GT(client.downloadPerSecond, 0u);
    EXPECT_TRUE(client.hostName.ends_with(".mshome.net"));
  }
  // A scenario that describes its own machine brings its own devices, or none.
  EXPECT_TRUE(ParseScenario("[connection1]\nname=以太网\n").clients.empty());
}

}  // namespace
}  // namespace lumora::platform::sim
