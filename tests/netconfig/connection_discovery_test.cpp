// Finding the Internet connection and the hosted network's connection on simulated PCs.
#include "netconfig/connection_discovery.h"

#include <gtest/gtest.h>

#include "netconfig/adapter_toolkit.h"
#include "netconfig/sharing_control.h"
#include "support/headless_program.h"

namespace lumora::netconfig {
namespace {


using Started = testing::StartedPc;

constexpr std::string_view kLaterPc = R"(
[system]
version=6.2
[connection1]
name=以太网
[connection2]
name=WLAN 2
kind=wireless
[connection3]
name=蓝牙网络连接
status=7
[connection4]
name=以太网 7
[connection5]
name=本地连接 10
status=0
[network]
internet=以太网
)";

TEST(ConnectionDiscovery, ListsTheConnectionsThatAreUpAndProposesWlanFirst) {
  Started pc(kLaterPc);
  // 本地连接 10 is down; 以太网 7 is up and listed although its name holds a 7.
  EXPECT_EQ(pc.w().组合框1.Items(), (std::vector<std::string>{"以太网", "WLAN 2", "以太网 7"}));
  EXPECT_EQ(pc.w().组合框1.Text(), "WLAN 2");  // "WLAN" matches WLAN 2 by its beginning
  EXPECT_FALSE(pc.w().选择框2.Checked());
}

TEST(ConnectionDiscovery, PresetsMatchByPrefixIgnoringCaseInTheirOwnOrder) {
  Started pc(R"(
[connection1]
name=宽带连接
[connection2]
name=wi-fi 3
[connection3]
name=Ethernet
)");
  EXPECT_EQ(pc.w().组合框1.Text(), "wi-fi 3");
  ChoosePresetConnection(pc.net(), {"ChinaNetSNWide", "宽带"});
  EXPECT_EQ(pc.w().组合框1.Text(), "宽带连接");
}

TEST(ConnectionDiscovery, TheSystemsLanAnswerTakesTheCollectedWiredNames) {
  // No preset matches; the system answers "LAN 连接", and the start-up's reset has
  // collected 本地连接 2.
  Started pc(R"(
[connection1]
name=本地连接 2
[network]
internet=  LAN 连接　
)");
  EXPECT_EQ(pc.w().编辑框去除多个本地.Text(), "本地连接 2");
  EXPECT_EQ(pc.w().组合框1.Text(), "本地连接 2");
  EXPECT_EQ(pc.program.pc.network.SharingLog().front(), "off 本地连接 2");
}

TEST(ConnectionDiscovery, NoAnswerLeavesTheChoiceEmptyAfterTwoRetries) {
  Started pc(R"(
[connection1]
name=Ethernet
[network]
internet=LAN 连接
)");
  EXPECT_EQ(pc.w().组合框1.Text(), "");
  // Asked three times, with 300 ms after each of the two retries.
  std::uint64_t before = pc.program.clock.NowMs();
  ChoosePresetConnection(pc.net(), {"nothing"});
  EXPECT_EQ(pc.w().组合框1.Text(), "");
  EXPECT_EQ(pc.program.clock.NowMs() - before, 600u);
  // An answer ends the questions at once.
  pc.program.pc.network.SetInternetConnection("Ethernet");
  before = pc.program.clock.NowMs();
  ChoosePresetConnection(pc.net(), {"nothing"});
  EXPECT_EQ(pc.w().组合框1.Text(), "Ethernet");
  EXPECT_EQ(pc.program.clock.NowMs(), before);
}

TEST(ConnectionDiscovery, TheRememberedConnectionWinsEvenWhenItIsGone) {
  Started pc(kLaterPc, "[xzk2]\r\nxz=1\r\n[kdmc]\r\nkdmc=宽带连接 3\r\n");
  EXPECT_TRUE(pc.w().选择框2.Checked());
  EXPECT_EQ(pc.w().组合框1.Text(), "宽带连接 3");
}

TEST(ConnectionDiscovery, RememberBoxAndFocusLostKeepTheChoiceInTheSettings) {
  using namespace ui::headless;
  Started pc(kLaterPc);
  settings::Settings& settings = pc.program.App().Settings();
  Type(pc.w().组合框1, "以太网");
  Click(pc.w().选择框2);
  EXPECT_EQ(settings.Read(settings::kRememberConnection), "1");
  EXPECT_EQ(settings.Read(settings::kRememberedConnection), "以太网");

  // Forgetting proposes again from the shorter list, and keeps kdmc.
  Click(pc.w().选择框2);
  EXPECT_EQ(settings.Read(settings::kRememberConnection), "2");
  EXPECT_EQ(settings.Read(settings::kRememberedConnection), "以太网");
  EXPECT_EQ(pc.w().组合框1.Text(), "以太网");  // no preset of that list matches: asked

  struct Case {
    const char* typed;
    const char* stored;
  };
  for (const Case& c : {Case{"无线网络连接2", "无线网络连接 2"}, Case{"无线网络连接3", "无线网络连接 3"},
                        Case{"宽带连接2", "宽带连接 2"}, Case{"无线网络连接4", "无线网络连接4"}}) {
    Type(pc.w().组合框1, c.typed);
    LoseFocus(pc.w().组合框1);
    EXPECT_EQ(pc.w().组合框1.Text(), c.stored);
    EXPECT_EQ(settings.Read(settings::kRememberedConnection), c.stored);
  }
}

TEST(ConnectionDiscovery, SwitchesADisabledWirelessConnectionBackOn) {
  Started later(R"(
[system]
version=6.2
[connection1]
name=Wi-Fi
kind=wireless
status=0
[connection2]
name=WLAN
kind=wireless
status=7
)");
  EXPECT_EQ(later.program.pc.network.Connection("Wi-Fi")->status, 7);  // on, no network
  EXPECT_EQ(later.program.pc.network.Connection("WLAN")->status, 7);   // left alone

  Started noWlanService(R"(
[connection1]
name=无线网络连接
kind=wireless
status=0
[faults]
wlan_service_missing=yes
)");
  EXPECT_EQ(noWlanService.program.pc.network.Connection("无线网络连接")->status, 0);
}

constexpr std::string_view kHostedAdapters = R"(
[system]
version=%s
[connection1]
name=以太网
[connection2]
name=本地连接* 2
kind=hosted
[connection3]
name=本地连接* 12
kind=hosted
[connection4]
name=调试
description=Microsoft Kernel Debug Network Adapter
)";

std::string HostedPc(std::string_view version) {
  std::string text(kHostedAdapters);
  text.replace(text.find("%s"), 2, version);
  return text;
}

TEST(ConnectionDiscovery, FindsTheHostedConnectionByItsAdaptersMarker) {
  Started win7(HostedPc("6.1"));
  win7.w().编辑框虚拟网卡.SetText("old");
  FindHostedConnectionWin7(win7.net());
  // Every adapter with "Microsoft" overwrites: the last one, the debug adapter, wins.
  EXPECT_EQ(win7.w().编辑框虚拟网卡.Text(), "调试");

  Started later(HostedPc("6.2"));
  later.w().编辑框虚拟网卡.SetText("old");
  FindHostedConnectionLater(later.net());
  // The last hosted adapter's name, not two names run together.
  EXPECT_EQ(later.w().编辑框虚拟网卡.Text(), "本地连接* 12");

  Started none("[connection1]\nname=以太网\n[system]\nversion=6.2\n");
  none.w().编辑框虚拟网卡.SetText("old");
  FindHostedConnectionLater(none.net());
  EXPECT_EQ(none.w().编辑框虚拟网卡.Text(), "");
  Started win7None("[connection1]\nname=以太网\n");
  win7None.w().编辑框虚拟网卡.SetText("old");
  FindHostedConnectionWin7(win7None.net());
  EXPECT_EQ(win7None.w().编辑框虚拟网卡.Text(), "old");
}

TEST(ConnectionDiscovery, AHostedAdapterWithoutRegistryNameStillDecidesOnWindows7) {
  Started pc(R"(
[connection1]
name=无线网络连接 2
kind=hosted
[connection2]
name=无名
kind=hosted
name_in_registry=no
)");
  FindHostedConnectionWin7(pc.net());
  EXPECT_EQ(pc.w().编辑框虚拟网卡.Text(), "");
}

}  // namespace
}  // namespace lumora::netconfig
