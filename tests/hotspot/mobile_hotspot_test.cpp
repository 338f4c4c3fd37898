// The system's mobile hotspot on later PCs whose driver has no hosted network: the
// choice of the path, starts and their failures, the watch, and every way out.
#include "hotspot/mobile_hotspot.h"

#include <gtest/gtest.h>

#include "hotspot/hotspot.h"
#include "support/headless_program.h"

namespace lumora::hotspot {
namespace {

using namespace ui::headless;

// Two phones that join the hotspot.
constexpr std::string_view kPhones = R"(
[client1]
mac=3C-A6-F6-12-5B-01
ip=192.168.137.23
host=android-5a1b2c3d.mshome.net
join=2
[client2]
mac=F0-18-98-AA-20-02
ip=192.168.137.88
host=iPhone.mshome.net
join=3
)";

struct Pc : testing::StartedPc {
  // The first value of a key counts: what a case adds comes before the machine's own.
  explicit Pc(std::string_view extra = {})
      : StartedPc(std::string(extra) + std::string(testing::kLaterPc) + std::string(kPhones) +
                  std::string(testing::kDriverWithoutHostedNetwork)) {}
  platform::sim::SimulatedNetwork& network() { return program.pc.network; }
  void Press() {
    Click(w().按钮开始);
    program.Settle();
  }
  void Watch() {
    program.RunFor(5000);
    program.Settle();
  }
};

TEST(MobileHotspot, StartsWithTheTypedNameListsAndBlocksItsDevicesAndStops) {
  Pc pc;
  Type(pc.w().编辑框名称, "咖啡店 WiFi");
  Type(pc.w().编辑框密码, "密码12345678");
  pc.Press();
  ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  const auto mobile = pc.network().MobileHotspot();
  EXPECT_TRUE(mobile.on);
  EXPECT_EQ(mobile.ssid, "咖啡店WiFi");  // cleaned of its first three blanks, as always
  EXPECT_EQ(mobile.passPhrase, "密码12345678");
  EXPECT_FALSE(mobile.timeoutEnabled);
  EXPECT_EQ(pc.w().编辑框虚拟网卡.Text(), "本地连接* 2");
  EXPECT_FALSE(pc.network().HostedNetwork().allowed);
  EXPECT_EQ(pc.w().时钟_移动热点.Interval(), 5000);

  pc.program.RunFor(6000);
  pc.program.Settle();
  ASSERT_EQ(pc.w().超级列表框1.RowCount(), 2u);
  RightClickRow(pc.w().超级列表框1, 1);
  Choose(pc.w().加黑_拉入黑名单);
  pc.program.Settle();
  EXPECT_NE(pc.program.RawFile("c:\\wifiblack.txt").find("F0-18-98-AA-20-02"), std::string::npos);

  pc.Press();
  EXPECT_EQ(pc.w().按钮开始.Text(), "开启WiFi");
  EXPECT_FALSE(pc.network().MobileHotspot().on);
  EXPECT_TRUE(pc.network().MobileHotspot().timeoutEnabled);
  EXPECT_EQ(pc.w().时钟_移动热点.Interval(), 0);
}

TEST(MobileHotspot, ADeviceTheLookUpCannotNameIsNamedByTheSystemsList) {
  Pc pc("[client1]\nmac=3C-A6-F6-12-5B-01\nip=192.168.137.23\nhost=客厅的平板\nlookup=fails\n"
        "join=1\n[client2]\nmac=F0-18-98-AA-20-02\nip=192.168.137.88\nlookup=fails\njoin=1\n");
  pc.Press();
  pc.program.RunFor(6000);
  pc.program.Settle();
  ASSERT_EQ(pc.w().超级列表框1.RowCount(), 2u);
  EXPECT_EQ(pc.w().超级列表框1.Cell(0, 3), "客厅的平板");
  EXPECT_EQ(pc.w().超级列表框1.Cell(1, 3), "");
  EXPECT_NE(pc.program.RawFile("c:\\wifiname.txt").find("3C-A6-F6-12-5B-01"), std::string::npos);
}

TEST(MobileHotspot, EachFailedStartShowsItsTextAndStops) {
  struct Case {
    std::string scenario;
    std::string text;
    bool radioOff = false;
  };
  const Case cases[] = {
      {"", "无线网卡已关闭，请打开WLAN开关后再试。", true},
      {"[mobile_hotspot]\navailable=yes\nstart_status=6\n", "系统正在开启或关闭热点，请稍后再试。"},
      {"[mobile_hotspot]\navailable=yes\nstart_status=8\n", "当前的连网方式无法共享，请换一个连网方式后再试。"},
      {"[mobile_hotspot]\navailable=yes\nstart_status=5\n", "系统策略禁止开启移动热点。"},
      // A start that fails for no stated reason is explained by the capability after it.
      {"[mobile_hotspot]\navailable=yes\nstart_status=1\ncapability_after_failure=1\n",
       "系统策略禁止开启移动热点。"},
      {"[mobile_hotspot]\navailable=yes\nstart_status=1\ncapability_after_failure=2\n",
       "无线网卡不支持开启热点。"},
      {"[mobile_hotspot]\navailable=yes\nstart_status=1\ncapability_after_failure=6\n",
       "系统未能开启移动热点（错误 1）。"},
      // A timed-out entitlement check and Bluetooth switched off forbid nothing and say
      // nothing of the wireless card.
      {"[mobile_hotspot]\navailable=yes\nstart_status=4\n", "系统未能开启移动热点（错误 4）。"},
      {"[mobile_hotspot]\navailable=yes\nstart_status=7\n", "系统未能开启移动热点（错误 7）。"},
      {"[mobile_hotspot]\navailable=yes\nstart_status=1\nstart_error=驱动程序拒绝了请求\n",
       "系统未能开启移动热点（错误 1）。\r\n驱动程序拒绝了请求"},
      {"[mobile_hotspot]\navailable=yes\nstart_ms=60000\n",
       "系统未能开启移动热点（错误 1）。\r\n系统在20秒内没有回答。"},
      // Refused name and pass phrase: no hotspot under the system's old ones.
      {"[mobile_hotspot]\navailable=yes\nconfigure_fails=yes\n",
       "系统未能开启移动热点（错误 1）。\r\n系统没有接受WiFi名称和密码。"},
  };
  for (const Case& c : cases) {
    testing::ExpectedFailureReports reports;
    Pc pc(c.scenario);
    if (c.radioOff) pc.network().SetRadioOn(false);
    pc.Press();
    ASSERT_FALSE(pc.program.messages.AllShown().empty()) << c.text;
    EXPECT_EQ(pc.program.messages.AllShown().back().title, "开启失败");
    EXPECT_EQ(pc.program.messages.AllShown().back().text, c.text);
    EXPECT_EQ(pc.w().按钮开始.Text(), "开启WiFi") << c.text;
    EXPECT_TRUE(pc.w().按钮开始.Enabled()) << c.text;
    EXPECT_FALSE(pc.network().MobileHotspot().on) << c.text;
    EXPECT_TRUE(pc.network().MobileHotspot().timeoutEnabled) << c.text;
    // Only the refused configuration is a failure of the system's own to report.
    EXPECT_EQ(reports.Lines().size(), c.scenario.find("configure_fails") != std::string::npos ? 1u : 0u)
        << c.text;
  }
}

TEST(MobileHotspot, OnlyADriverWithoutHostedNetworkAndAnEnabledCapabilityTakeIt) {
  enum class Path { Mobile, Hosted, HostedFails };
  struct Case {
    const char* what;
    std::string scenario;
    Path path;
  };
  // A driver list that says nothing of the hosted network: the state after the hosted
  // start tells, and what that start switched on is undone before the mobile hotspot.
  const std::string unlisted = "[hosted]\nhosted_line_in_drivers=no\n";
  const Case cases[] = {
      {"driver without hosted network", "", Path::Mobile},
      {"capability disabled", "[mobile_hotspot]\navailable=yes\ncapability=1\n", Path::HostedFails},
      {"driver with hosted network", "[hosted]\nhosted_supported=yes\n", Path::Hosted},
      {"no tethering manager", "[mobile_hotspot]\navailable=no\n", Path::HostedFails},
      {"driver with hosted network, radio off", "[hosted]\nhosted_supported=yes\nradio=off\n",
       Path::HostedFails},
      {"unlisted, driver without hosted network", unlisted + "hosted_supported=no\n", Path::Mobile},
      {"unlisted, capability disabled",
       unlisted + "hosted_supported=no\n[mobile_hotspot]\navailable=yes\ncapability=1\n",
       Path::HostedFails},
      {"unlisted, driver with hosted network", unlisted + "hosted_supported=yes\n", Path::Hosted},
  };
  for (const Case& c : cases) {
    testing::ExpectedFailureReports reports;
    Pc pc(c.scenario);
    pc.Press();
    EXPECT_EQ(pc.network().MobileHotspot().on, c.path == Path::Mobile) << c.what;
    EXPECT_EQ(pc.network().HostedNetwork().state == kHostedNetworkActive, c.path == Path::Hosted)
        << c.what;
    EXPECT_EQ(pc.w().按钮开始.Text(), c.path == Path::HostedFails ? "开启WiFi" : "关闭WiFi")
        << c.what;
    const auto& shown = pc.program.messages.AllShown();
    if (c.path == Path::HostedFails) {
      // Not a hotspot that runs, as public sharing alone would have it: the failure of
      // the hosted start, with nothing left shared.
      ASSERT_EQ(shown.size(), 1u) << c.what;
      EXPECT_EQ(shown[0].title, "开启失败");
      EXPECT_TRUE(shown[0].text.starts_with("开启失败！失败类型：无法启动承载网络。\r\n解决办法："));
      EXPECT_FALSE(pc.network().HostedNetwork().allowed) << c.what;
      EXPECT_EQ(pc.network().Sharing().publicConnection, "") << c.what;
    } else {
      EXPECT_TRUE(shown.empty()) << c.what;
    }
    if (c.path != Path::Mobile) continue;
    EXPECT_EQ(pc.w().编辑框虚拟网卡.Text(), "本地连接* 2") << c.what;
    EXPECT_EQ(pc.network().MobileHotspot().ssid, pc.w().编辑框名称.Text());
    // The system shares by itself; the program's own last change switched sharing off.
    EXPECT_TRUE(pc.network().SharingLog().empty() ||
                pc.network().SharingLog().back().starts_with("off "))
        << c.what;
  }
  // A PC with a hosted network never asks the mobile hotspot anything, not even at the
  // way out.
  Pc hosted("[hosted]\nhosted_supported=yes\n");
  hosted.Press();
  hosted.Press();
  Choose(hosted.w().菜单_退出);
  hosted.program.Settle();
  EXPECT_EQ(hosted.network().MobileHotspot().calls, 0);
}

TEST(MobileHotspot, TheSystemSwitchingItOffIsAnsweredThreeTimesInTenMinutes) {
  Pc pc;
  pc.Press();
  ASSERT_TRUE(pc.network().MobileHotspot().on);
  for (int restart = 1; restart <= 3; ++restart) {
    pc.network().SwitchMobileHotspotOff();
    pc.Watch();
    EXPECT_TRUE(pc.network().MobileHotspot().on) << restart;
    EXPECT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  }
  pc.network().SwitchMobileHotspotOff();
  pc.Watch();
  EXPECT_EQ(pc.w().按钮开始.Text(), "开启WiFi");
  EXPECT_TRUE(pc.w().气球提示框1.Visible());
  EXPECT_EQ(pc.w().气球提示框1.Text(), kMobileSwitchedOffBalloon);
  EXPECT_TRUE(pc.network().MobileHotspot().timeoutEnabled);
  EXPECT_EQ(pc.network().MobileHotspot().starts, 4);
}

TEST(MobileHotspot, SwitchOffsMoreThanTenMinutesApartAreEachAnswered) {
  Pc pc;
  pc.Press();
  for (int switchOff = 1; switchOff <= 5; ++switchOff) {
    pc.network().SwitchMobileHotspotOff();
    pc.Watch();
    EXPECT_TRUE(pc.network().MobileHotspot().on) << switchOff;
    // Four minutes on: at most two more restarts fall within any ten minutes.
    pc.program.RunFor(4 * 60 * 1000 - 5000);
    pc.program.Settle();
  }
  EXPECT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  EXPECT_EQ(pc.network().MobileHotspot().starts, 6);
  EXPECT_NE(pc.w().气球提示框1.Text(), kMobileSwitchedOffBalloon);
}

TEST(MobileHotspot, EveryWayOutLeavesItOffAndTheTimeoutAsItWas) {
  struct Way {
    const char* what;
    std::function<void(Pc&)> leave;
  };
  const Way ways[] = {
      {"exit", [](Pc& pc) { Choose(pc.w().菜单_退出); }},
      {"close", [](Pc& pc) { RequestClose(pc.w()); }},
      {"timed power-off",
       [](Pc& pc) {
         Type(pc.w().组合框_关机, "0");
         PressKey(pc.w().组合框_关机, 13);  // Enter arms the countdown
         for (int step = 0; step < 1200 && pc.program.pc.power.Requests().empty(); ++step)
           pc.program.RunFor(100);
         ASSERT_FALSE(pc.program.pc.power.Requests().empty());
       }},
  };
  for (const std::string_view timeout : {"yes", "no"}) {
    for (const Way& way : ways) {
      Pc pc("[mobile_hotspot]\navailable=yes\nconnection_name=本地连接* 2\nswitches_off_idle=" +
            std::string(timeout) + "\n");
      pc.Press();
      ASSERT_TRUE(pc.network().MobileHotspot().on) << way.what;
      way.leave(pc);
      pc.program.Settle();
      EXPECT_FALSE(pc.network().MobileHotspot().on) << way.what;
      EXPECT_EQ(pc.network().MobileHotspot().timeoutEnabled, timeout == "yes") << way.what;
    }
  }
  // A restart stops it and starts it again.
  Pc pc;
  pc.Press();
  Release(pc.w().超级链接框_重启);
  pc.program.Settle();
  EXPECT_TRUE(pc.network().MobileHotspot().on);
  EXPECT_EQ(pc.network().MobileHotspot().starts, 2);
  EXPECT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
}

TEST(MobileHotspot, AStartGivenUpIsStoppedSinceTheSystemMayStillCompleteIt) {
  struct Way {
    const char* what;
    std::string scenario;
    // Leaves the program (or not) while the start is under way; false: let it answer.
    std::function<void(Pc&)> leave;
  };
  const auto duringTheStart = [](std::function<void(Pc&)> leave) {
    return [leave](Pc& pc) {
      pc.network().HoldMobileStarts(true);
      Click(pc.w().按钮开始);
      ASSERT_TRUE(pc.program.PumpUntil([&] { return pc.network().MobileStartsWaiting() == 1; }));
      leave(pc);
      pc.network().HoldMobileStarts(false);
    };
  };
  const Way ways[] = {
      {"no answer in 20 s", "[mobile_hotspot]\navailable=yes\nstart_ms=60000\n",
       [](Pc& pc) { pc.Press(); }},
      {"exit during the start", "", duringTheStart([](Pc& pc) { Choose(pc.w().菜单_退出); })},
      {"close during the start", "", duringTheStart([](Pc& pc) { RequestClose(pc.w()); })},
  };
  for (const Way& way : ways) {
    Pc pc(way.scenario);
    way.leave(pc);
    pc.program.Settle();
    const platform::sim::EndState end = pc.program.EndState();
    EXPECT_FALSE(end.mobileOn) << way.what;
    EXPECT_EQ(end.publicConnection + end.privateConnection, "") << way.what;
    EXPECT_EQ(end.mobileTimeout, "on") << way.what;
    EXPECT_EQ(end.workersRunning, 0) << way.what;
  }
}

TEST(MobileHotspot, ARestartEndsTheWatchInFlight) {
  Pc pc;
  Type(pc.w().编辑框名称, "咖啡店");
  pc.Press();
  ASSERT_TRUE(pc.network().MobileHotspot().on);
  // The system switches the hotspot off, and the watch's start of it again is held.
  pc.network().HoldMobileStarts(true);
  pc.network().SwitchMobileHotspotOff();
  pc.program.RunFor(5000);
  ASSERT_TRUE(pc.program.PumpUntil([&] { return pc.network().MobileStartsWaiting() == 1; }));
  Release(pc.w().超级链接框_重启);
  // The watch gave its start up before the restart's sequence began.
  EXPECT_EQ(pc.network().MobileStartsWaiting(), 0);
  pc.network().HoldMobileStarts(false);
  pc.program.Settle();
  EXPECT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  EXPECT_TRUE(pc.network().MobileHotspot().on);
  EXPECT_EQ(pc.network().MobileHotspot().ssid, "咖啡店");
  EXPECT_FALSE(pc.network().MobileHotspot().timeoutEnabled);
  EXPECT_EQ(pc.w().时钟_移动热点.Interval(), 5000);
}

TEST(MobileHotspot, TheNameIsCountedInTheUtf8TheSystemKeepsIt) {
  struct Case {
    std::string name;
    bool hostedPath;
    bool starts;
  };
  const std::string ten = "一二三四五六七八九十";
  const Case cases[] = {
      {ten + "ab", false, true},             // 32 bytes of UTF-8
      {ten + "十", false, false},            // 33
      {ten + "一二三四五六", false, false},  // 48, yet 32 in code page 936
      {ten + "一二三四五六", true, true},    // the hosted network counts code page 936
  };
  for (const Case& c : cases) {
    Pc pc(c.hostedPath ? "[hosted]\nhosted_supported=yes\n" : "");
    Type(pc.w().编辑框名称, c.name);
    const int balloons = pc.w().气球提示框1.ShownCount();
    pc.Press();
    EXPECT_EQ(pc.w().按钮开始.Text(), c.starts ? "关闭WiFi" : "开启WiFi") << c.name;
    EXPECT_TRUE(pc.w().按钮开始.Enabled()) << c.name;
    EXPECT_TRUE(pc.program.messages.AllShown().empty()) << c.name;
    if (c.starts) {
      EXPECT_EQ(
          c.hostedPath ? pc.network().HostedNetwork().ssid : pc.network().MobileHotspot().ssid,
          c.name);
      continue;
    }
    EXPECT_EQ(pc.w().气球提示框1.ShownCount(), balloons + 1) << c.name;
    EXPECT_EQ(pc.w().气球提示框1.Text(), "WiFi名称不能超过32个字节！");
    EXPECT_EQ(pc.w().气球提示框1.LastPoint(), (ui::Point{200, 90}));
    EXPECT_EQ(pc.network().MobileHotspot().starts, 0) << c.name;
    EXPECT_EQ(pc.program.EndState().publicConnection, "") << c.name;
  }
}

TEST(MobileHotspot, ReadsWhatTheDriverListSaysOfTheHostedNetwork) {
  using enum HostedNetworkSupport;
  const std::pair<std::string_view, HostedNetworkSupport> cases[] = {
      {"    支持的承载网络  : 否\r\n", No},
      {"    Hosted network supported  : No\n", No},
      {"    支持的承载网络  : 是\n", Yes},
      // One interface with it is enough.
      {"    Hosted network supported  : No\n    Hosted network supported  : Yes\n", Yes},
      {"无线自动配置服务(wlansvc)没有运行。\n", Unknown},
      {"    支援的主控網路  : 否\n", Unknown},
      {"    支持的承载网络  : \n", Unknown},
      {"", Unknown},
  };
  for (const auto& [output, support] : cases)
    EXPECT_EQ(DriverHostedNetworkSupport(output), support) << output;
}

}  // namespace
}  // namespace lumora::hotspot
