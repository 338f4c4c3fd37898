// Sharing off everywhere and on between the two connections, on simulated PCs.
#include "netconfig/sharing_control.h"

#include <gtest/gtest.h>

#include "netconfig/adapter_toolkit.h"
#include "support/headless_program.h"

namespace lumora::netconfig {
namespace {


struct Started : testing::StartedPc {
  using StartedPc::StartedPc;
  std::string Candidates() { return w().编辑框去除多个本地.Text(); }
};

TEST(SharingControl, LanCandidatesGrowWithEveryResetAndCollapseAtTwoOrThree) {
  // Two wired connections: the start-up's reset collects both, which collapses at once.
  Started two("[connection1]\nname=本地连接\n[connection2]\nname=本地连接 2\n");
  EXPECT_EQ(two.Candidates(), "本地连接");

  // One: the first reset keeps its name, the second collapses the two, and every later
  // one adds the name to the collapsed text, which collapses again.
  Started one("[connection1]\nname=本地连接 2\n[connection2]\nname=以太网\n");
  EXPECT_EQ(one.Candidates(), "本地连接 2");  // Windows 7 does not collect 以太
  ResetSharing(one.net());
  EXPECT_EQ(one.Candidates(), "本地连接");
  ResetSharing(one.net());
  EXPECT_EQ(one.Candidates(), "本地连接");

  // Four names at once are too many to collapse, and the text keeps growing.
  Started four(
      "[connection1]\nname=本地连接\n[connection2]\nname=本地连接 2\n"
      "[connection3]\nname=本地连接 3\n[connection4]\nname=本地连接 4\n");
  EXPECT_EQ(four.Candidates(), "本地连接本地连接 2本地连接 3本地连接 4");
  ResetSharing(four.net());
  EXPECT_EQ(four.Candidates().size(), 2 * std::string("本地连接本地连接 2本地连接 3本地连接 4").size());
}

TEST(SharingControl, LaterSystemsCollectEthernetNamesToo) {
  Started later("[system]\nversion=6.2\n[connection1]\nname=以太网\n[connection2]\nname=WLAN\n");
  EXPECT_EQ(later.Candidates(), "以太网");
  ResetSharing(later.net());
  EXPECT_EQ(later.Candidates(), "以太网");  // twice, collapsed to itself
  // A system that reports 6.3 gets the later path but collects no 以太 names.
  Started other("[system]\nversion=6.3\n[connection1]\nname=以太网\n");
  EXPECT_EQ(other.Candidates(), "");
}

TEST(SharingControl, ResetSwitchesEverythingOffAndAlwaysDisallows) {
  Started pc("[connection1]\nname=以太网\n[connection2]\nname=无线网络连接 2\nkind=hosted\n");
  platform::sim::SimulatedNetwork& network = pc.program.pc.network;
  pc.w().组合框1.SetText("以太网");
  pc.w().编辑框虚拟网卡.SetText("无线网络连接 2");
  SwitchOnSharing(pc.net());
  ASSERT_EQ(network.Sharing().publicConnection, "以太网");
  ResetSharing(pc.net());
  EXPECT_EQ(network.Sharing().publicConnection, "");
  EXPECT_EQ(network.Sharing().privateConnection, "");
  EXPECT_EQ(network.AddressOf("无线网络连接 2"), "");

  Started broken("[connection1]\nname=本地连接\n[faults]\nsharing_object_missing=yes\n");
  const std::vector<std::string> history = broken.program.pc.console.History();
  ASSERT_FALSE(history.empty());
  EXPECT_EQ(history.back(), "netsh wlan set hostednetwork mode=disallow");
  EXPECT_EQ(broken.Candidates(), "");
}

TEST(SharingControl, SwitchOnTrimsTheInternetNameButNotTheHostedName) {
  Started pc(R"(
[connection1]
name=无线网络连接 2
kind=hosted
[connection2]
name=宽带连接
kind=dialup
)");
  platform::sim::SimulatedNetwork& network = pc.program.pc.network;
  pc.w().组合框1.SetText(" 　宽带连接 ");
  pc.w().编辑框虚拟网卡.SetText("无线网络连接 2");
  SwitchOnSharing(pc.net());
  EXPECT_EQ(network.Sharing().publicConnection, "宽带连接");
  EXPECT_EQ(network.Sharing().privateConnection, "无线网络连接 2");
  EXPECT_EQ(network.AddressOf("无线网络连接 2"), "192.168.137.1");
  // Enumeration order decides: the hosted connection comes first here.
  const std::vector<std::string> log = network.SharingLog();
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
            (std::vector<std::string>{"private 无线网络连接 2", "public 宽带连接"}));
  EXPECT_EQ(pc.program.App().Network().toolkit.QueryPublicSharing(), "宽带连接");

  ResetSharing(pc.net());
  pc.w().编辑框虚拟网卡.SetText("无线网络连接 2 ");
  pc.w().组合框1.SetText("宽带连接");
  SwitchOnSharing(pc.net());
  EXPECT_EQ(network.Sharing().privateConnection, "");  // the trailing blank names nothing
  pc.w().组合框1.SetText("宽带连接X");
  ResetSharing(pc.net());
  SwitchOnSharing(pc.net());
  EXPECT_EQ(pc.program.App().Network().toolkit.QueryPublicSharing(), "");
}

TEST(SharingControl, WithoutAdministratorRightsNothingShares) {
  Started pc("[connection1]\nname=以太网\n[connection2]\nname=WLAN\n[network]\nadministrator=no\n");
  pc.w().组合框1.SetText("以太网");
  pc.w().编辑框虚拟网卡.SetText("WLAN");
  SwitchOnSharing(pc.net());
  EXPECT_EQ(pc.program.App().Network().toolkit.QueryPublicSharing(), "");
}

}  // namespace
}  // namespace lumora::netconfig
