// Adapter look-ups by connection name, through both of their routes.
#include "netconfig/adapter_toolkit.h"

#include <gtest/gtest.h>

#include "platform/sim/simulated_network.h"
#include "support/test_support.h"

namespace lumora::netconfig {
namespace {

using platform::sim::ParseScenario;

// IP Helper that knows no adapter, so every name falls back to WMI.
class NoIpHelper final : public platform::IpHelperPort {
 public:
  explicit NoIpHelper(platform::IpHelperPort& inner) : inner_(inner) {}
  std::optional<std::vector<platform::AdapterInfo>> AdaptersInfo() override { return std::nullopt; }
  std::optional<std::vector<platform::AdapterAddresses>> AdaptersAddresses() override {
    return std::nullopt;
  }
  std::uint32_t AdapterIndex(std::string_view name) override { return inner_.AdapterIndex(name); }
  std::optional<platform::InterfaceRow> InterfaceEntry(std::uint32_t index) override {
    return inner_.InterfaceEntry(index);
  }
  std::optional<std::vector<platform::NeighbourRow>> NeighbourTable() override {
    return inner_.NeighbourTable();
  }
  bool DeleteNeighbour(const platform::NeighbourRow& row) override {
    return inner_.DeleteNeighbour(row);
  }

 private:
  platform::IpHelperPort& inner_;
};

constexpr std::string_view kPc = R"(
[connection1]
name=以太网
guid={11111111-2222-3333-4444-555555555555}
index=7
mac=0A-1B-2C-3D-4E-5F
received=123456789
sent=987
[connection2]
name=O'Brien's \ link
index=9
type=131
status=7
)";

TEST(AdapterToolkit, ResolvesNamesThroughIpHelperOrWmiToTheSameRecord) {
  const platform::sim::Scenario scenario = ParseScenario(kPc);
  platform::sim::SimulatedNetwork network(scenario);
  platform::NetworkPorts direct = network.Ports();
  NoIpHelper noIpHelper(network);
  platform::NetworkPorts throughWmi{network, network, network, noIpHelper, network,
                                    network, network, network, network, network};
  platform::NetworkPorts* routes[] = {&direct, &throughWmi};
  for (platform::NetworkPorts* ports : routes) {
    AdapterToolkit toolkit(*ports);
    EXPECT_EQ(toolkit.AdapterGuidOfConnection("以太网"), "{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ(toolkit.InterfaceIndexOfConnection("以太网"), 7u);
    const InterfaceRecord record = toolkit.InterfaceRowOfConnection("以太网");
    EXPECT_EQ(record.row.inOctets, 123456789u);
    EXPECT_EQ(record.row.outOctets, 987u);
    EXPECT_EQ(record.physicalAddress, "0A-1B-2C-3D-4E-5F");
    EXPECT_EQ(record.typeName, "以太网适配器");
    EXPECT_EQ(record.row.alias, "以太网");
    // A name with an apostrophe and a backslash is quoted, never broken out of.
    EXPECT_EQ(toolkit.InterfaceIndexOfConnection("O'Brien's \\ link"), 9u);
    EXPECT_EQ(toolkit.InterfaceRowOfConnection("O'Brien's \\ link").typeName, "其他类型的适配器");
    EXPECT_EQ(toolkit.InterfaceIndexOfConnection("x' OR NetConnectionID<>'"), 0u);
    // Names that match nothing, or two run together, give the neutral answers.
    for (const char* unknown : {"无此连接", "以太网以太网", ""}) {
      EXPECT_EQ(toolkit.InterfaceIndexOfConnection(unknown), 0u) << unknown;
      const InterfaceRecord none = toolkit.InterfaceRowOfConnection(unknown);
      EXPECT_EQ(none.row.inOctets, 0u);
      EXPECT_EQ(none.physicalAddress, "");
      EXPECT_EQ(none.row.index, 0u);
    }
  }
}

TEST(AdapterToolkit, StatusComesFromWmiOrTheConnectionManager) {
  platform::sim::Scenario scenario = ParseScenario(kPc);
  platform::sim::SimulatedNetwork network(scenario);
  platform::NetworkPorts ports = network.Ports();
  AdapterToolkit toolkit(ports);
  EXPECT_EQ(toolkit.ConnectionStatusByName("以太网"), 2);
  EXPECT_EQ(toolkit.ConnectionStatusByName("O'Brien's \\ link"), 7);
  EXPECT_EQ(toolkit.ConnectionStatusByName("无此连接"), 0);  // WMI answers, no object

  scenario.wmiFails = true;
  platform::sim::SimulatedNetwork withoutWmi(scenario);
  platform::NetworkPorts fallback = withoutWmi.Ports();
  AdapterToolkit manager(fallback);
  EXPECT_EQ(manager.ConnectionStatusByName("  以太网 "), 2);  // trimmed
  EXPECT_EQ(manager.ConnectionStatusByName("o'brien's \\ LINK"), 7);  // case folded
  EXPECT_EQ(manager.ConnectionStatusByName("无此连接"), -1);
}

TEST(AdapterToolkit, AnyNameReachesWmiAsOneLiteral) {
  for (const std::string& name : testing::HostileTexts()) {
    SCOPED_TRACE(name);
    platform::sim::Scenario scenario = ParseScenario(kPc);
    scenario.connections[1].name = name;
    platform::sim::SimulatedNetwork network(scenario);
    NoIpHelper noIpHelper(network);
    platform::NetworkPorts throughWmi{network, network, network, noIpHelper, network,
                                      network, network, network, network, network};
    AdapterToolkit toolkit(throughWmi);
    EXPECT_EQ(toolkit.ConnectionStatusByName(name), 7);
    EXPECT_EQ(toolkit.AdapterGuidOfConnection(name), scenario.connections[1].guid);
    // Neither a longer name nor a shorter one matches it, nor the other connection.
    EXPECT_EQ(toolkit.ConnectionStatusByName(name + "'"), 0);
    EXPECT_EQ(toolkit.ConnectionStatusByName(name + "\\"), 0);
    if (!name.empty()) {
      EXPECT_EQ(toolkit.ConnectionStatusByName(name.substr(1)), 0);
    }
  }
}

TEST(AdapterToolkit, NamesTypesAndAddressesByTheirTables) {
  EXPECT_EQ(InterfaceTypeName(71), "IEEE 802.11无线网络适配器");
  EXPECT_EQ(InterfaceTypeName(24), "回环（Loopback）适配器");
  EXPECT_EQ(InterfaceTypeName(131), "其他类型的适配器");
  EXPECT_EQ(PhysicalAddressText({}), "00-00-00-00-00-00");
  EXPECT_EQ(PhysicalAddressText({0xA, 0xB, 0xC, 0xD, 0xE, 0xF, 0x1, 0x2}), "0A-0B-0C-0D-0E-0F");
  EXPECT_EQ(WqlQuoted("a'b\\c"), "'a\\'b\\\\c'");
}

}  // namespace
}  // namespace lumora::netconfig
