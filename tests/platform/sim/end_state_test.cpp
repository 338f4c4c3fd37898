// How the simulated PC tells the state it was left in, and the mobile hotspot start that
// the system completes after the program gave it up.
#include "platform/sim/end_state.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/sim/manual_clock.h"
#include "support/headless_program.h"

namespace lumora::platform::sim {
namespace {

// The tests' later PC on the mobile hotspot.
const std::string kLaterPcWithMobileHotspot =
    std::string(testing::kLaterPc) + std::string(testing::kDriverWithoutHostedNetwork);
constexpr std::string_view kEthernetGuid = "{1A2B3C4D-0000-4000-8000-000000000001}";

TEST(SimEndState, TellsEachFactOfTheMachineOnItsLine) {
  struct Case {
    const char* what;
    std::string scenario;
    std::function<void(SimulatedPc&)> leave;
    int workers;
    std::string text;
  };
  const Case cases[] = {
      {"untouched Windows 7 PC", "", [](SimulatedPc&) {}, 0,
       "hosted.mode=disallow\nhosted.running=no\nmobile.on=no\nmobile.timeout=none\n"
       "poweroff.requests=0\nworkers.running=0\n"},
      {"hosted network left running and shared", "",
       [](SimulatedPc& pc) {
         pc.network.SetHostedNetworkMode(true);
         pc.network.ConfigureHostedNetwork("热点", "12345678");
         ASSERT_EQ(pc.network.StartHostedNetwork(), SimulatedNetwork::HostedStart::Started);
         const std::string hosted = pc.network.HostedNetwork().connection;
         pc.network.WalkEveryConnection([&](SharedConnection& c) {
           if (c.Name() == "本地连接") c.EnableSharing(SharingType::Public);
           if (c.Name() == hosted) c.EnableSharing(SharingType::Private);
           return true;
         });
         const std::uint32_t index = pc.network.Connection(hosted)->interfaceIndex;
         pc.network.SetStaticNeighbour(index, 0x1789A8C0, {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F});
         // An entry of another interface is not the hotspot's.
         pc.network.SetStaticNeighbour(1, 0x0200A8C0, {1, 2, 3, 4, 5, 6});
       },
       2,
       "sharing=本地连接 public\nsharing=无线网络连接 2 private\nhosted.mode=allow\n"
       "hosted.running=yes\nmobile.on=no\nmobile.timeout=none\npinned=0A-1B-2C-3D-4E-5F\n"
       "poweroff.requests=0\nworkers.running=2\n"},
      {"powered off, pages opened", "",
       [](SimulatedPc& pc) {
         pc.power.EnableShutdownPrivilege();
         pc.power.EndSession(1, 0);
         pc.power.EndSession(1, 0);
         pc.shell.OpenUrl("http://example.test/a?b=1");
         pc.shell.OpenUrl("http://example.test/");
       },
       0,
       "hosted.mode=disallow\nhosted.running=no\nmobile.on=no\nmobile.timeout=none\n"
       "poweroff.requests=2\nopened=http://example.test/a?b=1\nopened=http://example.test/\n"
       "workers.running=0\n"},
      {"mobile hotspot left on, its timeout off", kLaterPcWithMobileHotspot,
       [](SimulatedPc& pc) {
         pc.network.SetNoConnectionsTimeoutEnabled(false);
         ASSERT_TRUE(pc.network.Configure(kEthernetGuid, "咖啡店", "12345678", {20000, {}}));
         ASSERT_EQ(pc.network.Start(kEthernetGuid, {20000, {}}).status, 0);
       },
       0,
       "sharing=以太网 public\nsharing=本地连接* 2 private\nhosted.mode=disallow\n"
       "hosted.running=no\nmobile.on=yes\nmobile.timeout=off\npoweroff.requests=0\n"
       "workers.running=0\n"},
      {"mobile hotspot off, its timeout on", kLaterPcWithMobileHotspot,
       [](SimulatedPc&) {}, 0,
       "hosted.mode=disallow\nhosted.running=no\nmobile.on=no\nmobile.timeout=on\n"
       "poweroff.requests=0\nworkers.running=0\n"},
  };
  for (const Case& c : cases) {
    ManualClock clock;
    SimulatedPc pc(ParseScenario(c.scenario), &clock);
    c.leave(pc);
    EXPECT_EQ(EndStateText(ReadEndState(pc, c.workers)), c.text) << c.what;
  }
}

TEST(SimEndState, AMobileHotspotStartTheProgramGaveUpCompletesUnlessTheSystemHonoursIt) {
  struct Case {
    const char* what;
    bool honours;
    bool byTimeLimit;  // else by a cancel
  };
  const Case cases[] = {
      {"cancelled", false, false},
      {"timed out", false, true},
      {"cancelled, the system honours it", true, false},
      {"timed out, the system honours it", true, true},
  };
  for (const Case& c : cases) {
    const std::string scenario =
        kLaterPcWithMobileHotspot +
        "start_ms=30000\nstart_honours_cancel=" + (c.honours ? "yes" : "no") + "\n";
    const AsyncWait given =
        c.byTimeLimit ? AsyncWait{20000, {}} : AsyncWait{20000, [] { return false; }};
    // Read by the next call once its time is up, and at the end at once.
    for (const bool atTheEnd : {false, true}) {
      ManualClock clock;
      SimulatedPc pc(ParseScenario(scenario), &clock);
      const TetheringResult result = pc.network.Start(kEthernetGuid, given);
      EXPECT_EQ(result.status, 1) << c.what;
      EXPECT_FALSE(pc.network.MobileHotspot().on) << c.what;
      if (atTheEnd) {
        EXPECT_EQ(ReadEndState(pc, 0).mobileOn, !c.honours) << c.what;
        EXPECT_EQ(ReadEndState(pc, 0).publicConnection, c.honours ? "" : "以太网") << c.what;
      } else {
        clock.Advance(30000);
        EXPECT_EQ(pc.network.MobileHotspot().on, !c.honours) << c.what;
        EXPECT_EQ(pc.network.MobileHotspot().starts, c.honours ? 0 : 1) << c.what;
      }
    }
    // A stop after it is carried out after it: the hotspot stays off.
    ManualClock clock;
    SimulatedPc pc(ParseScenario(scenario), &clock);
    pc.network.Start(kEthernetGuid, given);
    EXPECT_EQ(pc.network.Stop(kEthernetGuid, {20000, [] { return true; }}).status, 0);
    clock.Advance(30000);
    EXPECT_FALSE(pc.network.MobileHotspot().on) << c.what;
    EXPECT_EQ(EndStateText(ReadEndState(pc, 0)).find("sharing="), std::string::npos) << c.what;
  }
}

}  // namespace
}  // namespace lumora::platform::sim
