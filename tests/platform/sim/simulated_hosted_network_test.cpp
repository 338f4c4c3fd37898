// The hosted network of the simulated PC: its virtual adapter, the WLAN service's
// functions, and the faults a scenario can switch on.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/simulated_pc.h"
#include "text/cp936.h"

namespace lumora::platform::sim {
namespace {

bool Listed(SimulatedNetwork& network, std::string_view name) {
  const std::vector<AdapterAddresses> adapters = network.AdaptersAddresses().value();
  return std::any_of(adapters.begin(), adapters.end(),
                     [&](const AdapterAddresses& a) { return a.friendlyName == name; });
}

void ShareTo(SimulatedNetwork& network, std::string_view publicSide, std::string_view privateSide) {
  network.WalkEveryConnection([&](SharedConnection& c) {
    if (c.Name() == publicSide) c.EnableSharing(SharingType::Public);
    if (c.Name() == privateSide) c.EnableSharing(SharingType::Private);
    return true;
  });
}

TEST(SimHostedNetwork, ReadsItsScenarioKeys) {
  const Scenario s = ParseScenario(R"(
[system]
language=EN-us
[hosted]
mode=allow
ssid=热点
key=12345678
peer_limit=8
connection_name=本地连接* 3
radio=off
sharing_fails_starts=-1
[faults]
hosted_supported=no
hosted_appears_after=2
)");
  EXPECT_EQ(s.language, "en-US");
  EXPECT_TRUE(s.hosted.allowed);
  EXPECT_EQ(s.hosted.ssid + "/" + s.hosted.passPhrase + "/" + s.hosted.connectionName,
            "热点/12345678/本地连接* 3");
  EXPECT_EQ(s.hosted.peerLimit, 8u);
  EXPECT_FALSE(s.hosted.radioOn);
  EXPECT_FALSE(s.hosted.driverSupportsIt);  // from [faults]
  EXPECT_EQ(s.hosted.sharingFailsStarts, -1);
  EXPECT_EQ(s.hosted.appearsAfterCalls, 2);

  const Scenario plain = ParseScenario("[system]\nlanguage=fr-FR\n[hosted]\nmode=maybe\nradio=1\n");
  EXPECT_EQ(plain.language, "zh-CN");
  EXPECT_FALSE(plain.hosted.allowed);
  EXPECT_TRUE(plain.hosted.radioOn);
  EXPECT_EQ(plain.hosted.peerLimit, 100u);
  EXPECT_EQ(plain.hosted.sharingFailsStarts, 0);
}

TEST(SimHostedNetwork, VirtualConnectionIsNamedAndDescribedAsWindowsDoesIt) {
  struct Row {
    std::string scenario;
    std::string_view name;
    std::string_view description;
    bool whileAllowed;  // there before the start, and after a stop
  };
  const Row rows[] = {
      {"", "无线网络连接 2", "Microsoft Virtual WiFi Miniport Adapter", true},
      {"[connection1]\nname=本地连接\n[connection2]\nname=无线网络连接 2\nkind=wireless\n",
       "无线网络连接 3", "Microsoft Virtual WiFi Miniport Adapter", true},
      {"[system]\nversion=6.2\n", "本地连接* 12", "Microsoft 托管网络虚拟适配器", false},
      {"[system]\nversion=10.0\n[connection1]\nname=本地连接* 12\n", "本地连接* 13",
       "Microsoft 托管网络虚拟适配器", false},
      {"[system]\nversion=6.3\n[hosted]\nconnection_name=WLAN 2\n", "WLAN 2",
       "Microsoft 托管网络虚拟适配器", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.scenario);
    SimulatedPc pc(ParseScenario(row.scenario));
    SimulatedNetwork& network = pc.network;
    const std::size_t before = network.AdaptersAddresses()->size();
    ASSERT_TRUE(network.SetHostedNetworkEnabled(true));
    EXPECT_EQ(Listed(network, row.name), row.whileAllowed);
    ASSERT_TRUE(network.ForceStartHostedNetwork());

    const std::vector<AdapterAddresses> addresses = network.AdaptersAddresses().value();
    ASSERT_EQ(addresses.size(), before + 1);
    EXPECT_EQ(addresses.back().friendlyName, row.name);  // at the end of the list
    EXPECT_EQ(network.AdaptersInfo()->back().description, row.description);
    EXPECT_EQ(network.ReadMachineString(
                  "SYSTEM\\CurrentControlSet\\Control\\Network\\"
                  "{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
                      addresses.back().adapterName + "\\Connection",
                  "Name"),
              std::string(row.name));
    const std::optional<SimConnection> c = network.Connection(row.name);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->kind, ConnectionKind::Hosted);
    EXPECT_EQ(c->status, 2);
    EXPECT_EQ(network.DhcpOf(row.name), true);
    EXPECT_NE(network.AdapterIndex("\\DEVICE\\TCPIP_" + c->guid), 0u);
    EXPECT_EQ(network.HostedNetwork().connection, row.name);

    ASSERT_TRUE(network.ForceStopHostedNetwork());
    EXPECT_EQ(Listed(network, row.name), row.whileAllowed);
    if (row.whileAllowed) {
      EXPECT_EQ(network.Connection(row.name)->status, 7);
    }
    ASSERT_TRUE(network.SetHostedNetworkEnabled(false));
    EXPECT_FALSE(network.Connection(row.name));
    EXPECT_EQ(network.AdaptersAddresses()->size(), before);
  }
}

TEST(SimHostedNetwork, SharingOnTheVirtualConnectionGoesWithIt) {
  // Later systems: a stop takes the connection and its private side away.
  SimulatedPc later(ParseScenario("[system]\nversion=6.2\n"));
  SimulatedNetwork& network = later.network;
  network.SetHostedNetworkEnabled(true);
  network.ForceStartHostedNetwork();
  ShareTo(network, "以太网", "本地连接* 12");
  ASSERT_EQ(network.Sharing().privateConnection, "本地连接* 12");
  ASSERT_EQ(network.AddressOf("本地连接* 12"), "192.168.137.1");
  network.ForceStopHostedNetwork();
  EXPECT_EQ(network.Sharing().publicConnection, "以太网");
  EXPECT_EQ(network.Sharing().privateConnection, "");
  // Back again, it is a new connection with nothing shared.
  network.ForceStartHostedNetwork();
  EXPECT_EQ(network.Sharing().privateConnection, "");
  EXPECT_EQ(network.DhcpOf("本地连接* 12"), true);

  // Windows 7: a stop keeps the connection and its sharing; disallowing ends both.
  SimulatedPc win7(DefaultScenario());
  win7.netsh.Run("wlan set hostednetwork mode=allow ssid=a key=12345678");
  win7.netsh.Run("wlan start hostednetwork");
  ShareTo(win7.network, "本地连接", "无线网络连接 2");
  win7.netsh.Run("wlan stop hostednetwork");
  EXPECT_EQ(win7.network.Sharing().privateConnection, "无线网络连接 2");
  win7.netsh.Run("wlan set hostednetwork mode=disallow");
  EXPECT_EQ(win7.network.Sharing().privateConnection, "");
  EXPECT_EQ(win7.network.Sharing().publicConnection, "本地连接");
}

TEST(SimHostedNetwork, WlanFunctionsKeepTheSettingsAndRefuseWhatThePlatformRefuses) {
  SimulatedPc pc(ParseScenario("[system]\nversion=6.2\n"));
  SimulatedNetwork& wlan = pc.network;
  EXPECT_EQ(wlan.HostedNetworkEnabled(), false);
  EXPECT_EQ(wlan.HostedNetworkState(), 0);  // not enabled: unavailable
  EXPECT_EQ(wlan.HostedNetworkPeerLimit(), 100u);
  EXPECT_FALSE(wlan.ForceStartHostedNetwork());
  EXPECT_TRUE(wlan.SetHostedNetworkEnabled(true));
  EXPECT_EQ(wlan.HostedNetworkEnabled(), true);
  EXPECT_EQ(wlan.HostedNetworkState(), 1);
  EXPECT_TRUE(wlan.InitHostedNetworkSettings());

  struct Ssid {
    std::string utf8;
    bool taken;
  };
  const Ssid ssids[] = {
      {"", false},
      {"热点热点热点热点热点热点热点热点", true},   // 32 bytes in code page 936
      {"热点热点热点热点热点热点热点热点a", false},  // 33
  };
  for (const Ssid& ssid : ssids) {
    SCOPED_TRACE(ssid.utf8);
    ASSERT_TRUE(wlan.SetHostedNetworkSsid("before", 7));
    EXPECT_EQ(wlan.SetHostedNetworkSsid(text::Cp936FromUtf8(ssid.utf8), 20), ssid.taken);
    EXPECT_EQ(wlan.HostedNetwork().ssid, ssid.taken ? ssid.utf8 : "before");
    EXPECT_EQ(wlan.HostedNetworkPeerLimit(), ssid.taken ? 20u : 7u);
  }
  struct Key {
    std::size_t length;
    bool taken;
  };
  for (const Key key : {Key{7, false}, Key{8, true}, Key{63, true}, Key{64, false}}) {
    SCOPED_TRACE(key.length);
    ASSERT_TRUE(wlan.SetHostedNetworkPassPhrase("before00"));
    EXPECT_EQ(wlan.SetHostedNetworkPassPhrase(std::string(key.length, 'k')), key.taken);
    EXPECT_EQ(wlan.HostedNetwork().passPhrase.size(), key.taken ? key.length : 8u);
  }
  EXPECT_TRUE(wlan.RefreshHostedNetworkSecurity());

  EXPECT_TRUE(wlan.ForceStartHostedNetwork());
  EXPECT_EQ(wlan.HostedNetworkState(), 2);
  EXPECT_TRUE(wlan.ForceStartHostedNetwork());  // already running: still one start
  EXPECT_EQ(wlan.HostedNetwork().starts, 1);
  EXPECT_TRUE(wlan.ForceStopHostedNetwork());
  EXPECT_EQ(wlan.HostedNetworkState(), 1);
  EXPECT_TRUE(wlan.ForceStopHostedNetwork());  // stopping a stopped network does no harm

  // Disabling a running network takes it down.
  wlan.ForceStartHostedNetwork();
  EXPECT_TRUE(wlan.SetHostedNetworkEnabled(false));
  EXPECT_EQ(wlan.HostedNetworkState(), 0);
  EXPECT_EQ(wlan.HostedNetwork().connection, "");

  // And switching the radio off does too.
  wlan.SetHostedNetworkEnabled(true);
  wlan.ForceStartHostedNetwork();
  wlan.SetRadioOn(false);
  EXPECT_EQ(wlan.HostedNetworkState(), 0);
  EXPECT_EQ(wlan.HostedNetwork().connection, "");
  EXPECT_FALSE(wlan.ForceStartHostedNetwork());
  wlan.SetRadioOn(true);
  EXPECT_TRUE(wlan.ForceStartHostedNetwork());
}

TEST(SimHostedNetwork, ForcedStartNeedsTheHardwareTheRadioAndTheRights) {
  struct Row {
    std::string_view scenario;
    bool starts;
    int stateWhenEnabled;
  };
  const Row rows[] = {
      {"", true, 1},
      {"[network]\nwireless_interfaces=0\n", false, 0},
      {"[faults]\nhosted_supported=no\n", false, 0},
      {"[faults]\nradio=off\n", false, 0},
      {"[network]\nadministrator=no\n", false, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.scenario);
    SimulatedPc pc(ParseScenario(row.scenario));
    ASSERT_TRUE(pc.network.SetHostedNetworkEnabled(true));
    EXPECT_EQ(pc.network.HostedNetworkState(), row.stateWhenEnabled);
    EXPECT_EQ(pc.network.ForceStartHostedNetwork(), row.starts);
    EXPECT_EQ(pc.network.HostedNetworkState(), row.starts ? 2 : row.stateWhenEnabled);
  }

  // Without the WLAN service every function gives its neutral answer and changes nothing.
  SimulatedPc none(ParseScenario("[faults]\nwlan_service_missing=yes\n[hosted]\nmode=allow\n"));
  SimulatedNetwork& wlan = none.network;
  EXPECT_EQ(wlan.CountInterfaces(2), std::nullopt);
  EXPECT_EQ(wlan.HostedNetworkEnabled(), std::nullopt);
  EXPECT_FALSE(wlan.SetHostedNetworkEnabled(false));
  EXPECT_EQ(wlan.HostedNetworkState(), std::nullopt);
  EXPECT_EQ(wlan.HostedNetworkPeerLimit(), 0u);
  EXPECT_FALSE(wlan.InitHostedNetworkSettings());
  EXPECT_FALSE(wlan.SetHostedNetworkSsid("name", 100));
  EXPECT_FALSE(wlan.SetHostedNetworkPassPhrase("12345678"));
  EXPECT_FALSE(wlan.RefreshHostedNetworkSecurity());
  EXPECT_FALSE(wlan.ForceStartHostedNetwork());
  EXPECT_FALSE(wlan.ForceStopHostedNetwork());
  EXPECT_TRUE(wlan.HostedNetwork().allowed);
}

TEST(SimHostedNetwork, PublicSharingDoesNotStickDuringTheFailingStarts) {
  // Later systems share after the forced start; each row is one start of the network.
  struct Row {
    int failingStarts;
    std::vector<bool> shared;  // whether the public side stuck, start by start
  };
  const Row rows[] = {
      {0, {true, true}},
      {2, {false, false, true, true}},
      {-1, {false, false, false, false, false}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.failingStarts);
    SimulatedPc pc(ParseScenario("[system]\nversion=6.2\n[faults]\nsharing_fails_starts=" +
                                 std::to_string(row.failingStarts) + "\n"));
    SimulatedNetwork& network = pc.network;
    network.SetHostedNetworkEnabled(true);
    for (std::size_t start = 0; start < row.shared.size(); ++start) {
      SCOPED_TRACE(start + 1);
      ASSERT_TRUE(network.ForceStartHostedNetwork());
      ShareTo(network, "以太网", "本地连接* 12");
      EXPECT_EQ(network.Sharing().publicConnection, row.shared[start] ? "以太网" : "");
      EXPECT_EQ(network.PublicConnections().front().sharingEnabled, row.shared[start]);
      EXPECT_EQ(network.Sharing().privateConnection, "本地连接* 12");
      network.ForceStopHostedNetwork();
    }
  }

  // Windows 7 shares before netsh starts the network: that belongs to the coming start.
  SimulatedPc win7(ParseScenario("[faults]\nsharing_fails_starts=1\n"));
  win7.netsh.Run("wlan set hostednetwork mode=allow ssid=a key=12345678");
  ShareTo(win7.network, "本地连接", "无线网络连接 2");
  EXPECT_EQ(win7.network.Sharing().publicConnection, "");
  win7.netsh.Run("wlan start hostednetwork");
  win7.netsh.Run("wlan stop hostednetwork");
  ShareTo(win7.network, "本地连接", "无线网络连接 2");
  EXPECT_EQ(win7.network.Sharing().publicConnection, "本地连接");
  // The program's calls are logged all the same.
  const std::vector<std::string> log = win7.network.SharingLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "public 本地连接"), 2);
}

TEST(SimHostedNetwork, LateAdapterIsMissingFromTheFirstAdapterLists) {
  SimulatedPc pc(ParseScenario("[system]\nversion=6.2\n[faults]\nhosted_appears_after=2\n"));
  SimulatedNetwork& network = pc.network;
  network.SetHostedNetworkEnabled(true);
  network.ForceStartHostedNetwork();
  auto hasVirtual = [&] {
    const std::vector<AdapterInfo> adapters = network.AdaptersInfo().value();
    return std::any_of(adapters.begin(), adapters.end(),
                       [](const AdapterInfo& a) { return a.description == kVirtualAdapterLater; });
  };
  EXPECT_FALSE(Listed(network, "本地连接* 12"));  // counts no call
  EXPECT_FALSE(hasVirtual());
  EXPECT_FALSE(Listed(network, "本地连接* 12"));
  EXPECT_FALSE(hasVirtual());
  EXPECT_TRUE(hasVirtual());
  EXPECT_TRUE(Listed(network, "本地连接* 12"));
  // The connection itself is there from the start: only IP Helper is late.
  EXPECT_TRUE(network.Connection("本地连接* 12"));

  // Each new appearance is late again.
  network.ForceStopHostedNetwork();
  network.ForceStartHostedNetwork();
  EXPECT_FALSE(hasVirtual());
}

}  // namespace
}  // namespace lumora::platform::sim
