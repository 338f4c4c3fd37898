// The hotspot's life on simulated PCs: pressing the button, every way a start can end,
// stopping, restarting and every way out of the program.
#include "hotspot/hotspot.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/window_actions.h"
#include "netconfig/connection_discovery.h"
#include "support/headless_program.h"

namespace lumora::hotspot {
namespace {

using namespace ui::headless;

constexpr std::string_view kWindows7 = testing::kWindows7Pc;

constexpr std::string_view kWindows10 = testing::kLaterPc;

struct Pc : testing::StartedPc {
  explicit Pc(std::string_view scenario, std::string_view extra = {},
              std::string_view settingsFile = {})
      : StartedPc(std::string(scenario) + std::string(extra), settingsFile) {}
  explicit Pc(platform::sim::Scenario scenario) : StartedPc(std::move(scenario)) {}
  Hotspot& hotspot() { return program.App().Hotspot(); }
  platform::sim::SimulatedNetwork& network() { return program.pc.network; }
  void Press() {
    Click(w().按钮开始);
    program.Settle();
  }
  int Commands(std::string_view command) {
    const auto history = program.pc.console.History();
    return static_cast<int>(std::count_if(history.begin(), history.end(), [&](const std::string& line) {
      return line.starts_with(command);
    }));
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& shown : program.messages.AllShown()) texts.push_back(shown.title);
    return texts;
  }
};

void ExpectRunning(Pc& pc) {
  ui::MainWindow& w = pc.w();
  EXPECT_EQ(w.按钮开始.Text(), "关闭WiFi");
  EXPECT_TRUE(w.按钮开始.Enabled());
  EXPECT_EQ(w.标签9.Text(), "已启动");
  ASSERT_NE(w.标签9.TextColour(), nullptr);
  EXPECT_EQ(*w.标签9.TextColour(), (ui::Colour{0, 128, 0}));
  EXPECT_FALSE(w.编辑框名称.Enabled());
  EXPECT_FALSE(w.编辑框密码.Enabled());
  EXPECT_FALSE(w.组合框1.Enabled());
  EXPECT_TRUE(w.超级链接框_重启.Visible());
  EXPECT_TRUE(w.菜单_重启WiFi.Enabled());
  EXPECT_EQ(pc.hotspot().SharingStatusText(), "共享完成");
  // The animations settle on their next tick.
  pc.program.RunFor(500);
  EXPECT_FALSE(w.时钟_右下角灰动.Running());
  EXPECT_FALSE(w.时钟状态.Running());
  EXPECT_EQ(w.托盘图标1.Tip(), "已开启WiFi，现在可以拿手机来连接啦");
  EXPECT_EQ(w.托盘图标1.Image(), ui::TrayImage::Running);
  EXPECT_EQ(w.图片框状态.Shown(), ui::Picture::StatusDone);
}

void ExpectStopped(Pc& pc) {
  ui::MainWindow& w = pc.w();
  EXPECT_EQ(w.按钮开始.Text(), "开启WiFi");
  EXPECT_TRUE(w.按钮开始.Enabled());
  EXPECT_FALSE(w.时钟状态.Running());
  EXPECT_FALSE(w.时钟_右下角灰动.Running());
  EXPECT_EQ(w.图片框状态.Shown(), ui::Picture::StatusStopped);
  EXPECT_EQ(w.托盘图标1.Image(), ui::TrayImage::Normal);
}

TEST(Hotspot, StartUpReadiesTheButtonAndTheTray) {
  Pc pc(kWindows7);
  EXPECT_EQ(pc.w().按钮开始.Text(), "开启WiFi");
  EXPECT_TRUE(pc.w().按钮开始.Enabled());
  EXPECT_EQ(pc.w().托盘图标1.Image(), ui::TrayImage::Normal);
  EXPECT_EQ(pc.w().托盘图标1.Tip(), "欢迎使用LumoraWiFi，点击开启WiFi即可哦");
  EXPECT_FALSE(pc.w().选择框_启动.Checked());
}

TEST(Hotspot, StartsOnWindows7ThroughNetsh) {
  Pc pc(kWindows7);
  pc.Press();
  ExpectRunning(pc);
  EXPECT_EQ(pc.w().编辑框虚拟网卡.Text(), "无线网络连接 2");
  EXPECT_EQ(pc.network().Sharing().publicConnection, "本地连接");
  EXPECT_EQ(pc.network().Sharing().privateConnection, "无线网络连接 2");
  EXPECT_EQ(pc.Commands("netsh wlan set hostednetwork mode=allow ssid=\"mylove\" key=\"2468013579\""), 1);
  // The hosted connection was on DHCP: it got the fixed address and a second start.
  EXPECT_EQ(pc.Commands("netsh interface ip set address name=\"无线网络连接 2\" source=static"), 1);
  EXPECT_EQ(pc.Commands("netsh wlan start hostednetwork"), 2);
  EXPECT_TRUE(pc.w().时钟_黑.Running());  // blacklist mode
  EXPECT_FALSE(pc.w().时钟_白.Running());
  EXPECT_EQ(pc.program.App().Settings().Read(settings::kNetworkName), "mylove");
}

TEST(Hotspot, StartsOnLaterSystemsThroughTheWlanService) {
  Pc pc(kWindows10, {}, "[monitor]\r\nmonitor=不监控\r\n[流量条]\r\n是否开=是\r\n");
  pc.Press();
  ExpectRunning(pc);
  EXPECT_EQ(pc.network().Sharing().publicConnection, "以太网");
  EXPECT_EQ(pc.network().Sharing().privateConnection, pc.w().编辑框虚拟网卡.Text());
  EXPECT_FALSE(pc.w().编辑框虚拟网卡.Text().empty());
  EXPECT_EQ(pc.Commands("netsh wlan start"), 0);
  EXPECT_TRUE(pc.w().时钟_白.Running());  // whitelist mode
  EXPECT_FALSE(pc.w().时钟_黑.Running());
  EXPECT_EQ(pc.program.App().SpeedBar().时钟流量.Interval(), 1000);
}

TEST(Hotspot, RefusesBadInputWithItsBalloon) {
  struct Case {
    const char* name;
    const char* passPhrase;
    ui::Point at;
    const char* balloon;
  };
  const std::string longName(33, 'n');
  const std::string longKey(64, 'k');
  const Case cases[] = {
      {"", "12345678", {200, 90}, "您还没有输入WiFi名称哦！"},
      {"net", "", {200, 135}, "您还没有输入密码哦！"},
      {"net", "1234567", {200, 135}, "密码不能少于8位数！"},
      {"net", "1234 567", {200, 135}, "密码不能少于8位数！"},  // cleaned to seven
      {"my\"net", "12345678", {200, 90}, "WiFi名称和密码不能包含双引号！"},
      {"net", "1234\"5678", {200, 135}, "WiFi名称和密码不能包含双引号！"},
      {longName.c_str(), "12345678", {200, 90}, "WiFi名称不能超过32个字节！"},
      {"一二三四五六七八九十一二三四五六七", "12345678", {200, 90}, "WiFi名称不能超过32个字节！"},
      {"net", longKey.c_str(), {200, 135}, "密码不能超过63位！"},
  };
  Pc pc(kWindows7);
  const int configuresBefore = pc.Commands("netsh wlan set hostednetwork mode=allow");
  for (const Case& c : cases) {
    Type(pc.w().编辑框名称, c.name);
    Type(pc.w().编辑框密码, c.passPhrase);
    const int shown = pc.w().气球提示框1.ShownCount();
    pc.Press();
    EXPECT_EQ(pc.w().气球提示框1.ShownCount(), shown + 1) << c.balloon;
    EXPECT_EQ(pc.w().气球提示框1.Text(), c.balloon);
    EXPECT_EQ(pc.w().气球提示框1.LastPoint(), c.at) << c.balloon;
    EXPECT_EQ(pc.w().按钮开始.Text(), "开启WiFi");
  }
  EXPECT_EQ(pc.Commands("netsh wlan set hostednetwork mode=allow"), configuresBefore);
}

TEST(Hotspot, CleansTheFirstThreeBlanksAndQuotesWhatIsLeft) {
  Pc pc(kWindows7);
  Type(pc.w().编辑框名称, "a b c d e");
  Type(pc.w().编辑框密码, " 1234 5678");
  pc.Press();
  EXPECT_EQ(pc.w().编辑框名称.Text(), "abcd e");
  EXPECT_EQ(pc.w().编辑框密码.Text(), "12345678");
  EXPECT_EQ(pc.Commands("netsh wlan set hostednetwork mode=allow ssid=\"abcd e\" key=\"12345678\""), 1);
  pc.Press();  // stop
  Type(pc.w().编辑框名称, "    ");  // passes as not empty, and one blank stays
  pc.Press();
  EXPECT_EQ(pc.w().编辑框名称.Text(), " ");
}

TEST(Hotspot, NamesAndPassPhrasesReachTheHostedNetworkAsTyped) {
  // Past the three blanks the cleaning takes, every character of the texts reaches the
  // hosted network: through netsh's command line on Windows 7, through the WLAN service
  // later.
  for (std::string_view machine : {kWindows7, kWindows10}) {
    SCOPED_TRACE(machine == kWindows7 ? "Windows 7" : "later");
    Pc pc(machine);
    Type(pc.w().编辑框名称, "   网 络\\ &|%PATH%\\");
    Type(pc.w().编辑框密码, "   12 34\\ &|%热点\\");
    pc.Press();
    ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
    EXPECT_EQ(pc.network().HostedNetwork().ssid, "网 络\\ &|%PATH%\\");
    EXPECT_EQ(pc.network().HostedNetwork().passPhrase, "12 34\\ &|%热点\\");
    pc.Press();  // stop

    for (const std::string& text : testing::HostileTexts()) {
      SCOPED_TRACE(text);
      Type(pc.w().编辑框名称, text);
      Type(pc.w().编辑框密码, "12345678" + text);
      const int balloons = pc.w().气球提示框1.ShownCount();
      pc.Press();
      if (text.empty() || text.find('"') != std::string::npos) {
        EXPECT_EQ(pc.w().气球提示框1.ShownCount(), balloons + 1);
        EXPECT_EQ(pc.w().按钮开始.Text(), "开启WiFi");
        continue;
      }
      ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
      // The boxes show the cleaned texts; the hosted network has them without the
      // blanks at their ends.
      EXPECT_EQ(pc.network().HostedNetwork().ssid, netconfig::TrimSpaces(pc.w().编辑框名称.Text()));
      EXPECT_EQ(pc.network().HostedNetwork().passPhrase,
                netconfig::TrimSpaces(pc.w().编辑框密码.Text()));
      pc.Press();
    }
  }
}

TEST(Hotspot, TheHostedConnectionGetsItsFixedAddressUnlessItsNameHoldsAQuote) {
  for (const std::string& text : testing::HostileTexts()) {
    if (text.empty()) continue;  // the scenario's way to say "the name Windows gives it"
    SCOPED_TRACE(text);
    platform::sim::Scenario machine = platform::sim::ParseScenario(kWindows7);
    machine.hosted.connectionName = text;
    Pc pc(std::move(machine));
    pc.Press();
    ASSERT_EQ(pc.w().编辑框虚拟网卡.Text(), text);
    const auto interfaces = pc.network().Ipv4Interfaces();
    const auto hosted = std::find_if(interfaces.begin(), interfaces.end(),
                                     [&](const auto& i) { return i.name == text; });
    ASSERT_NE(hosted, interfaces.end());
    if (text.find('"') != std::string::npos) {
      // Refused as in the network name and pass phrase; the start goes on without it.
      EXPECT_EQ(pc.Commands("netsh interface ip set address"), 0);
      EXPECT_EQ(pc.w().气球提示框1.Text(), "发射WiFi网卡名称不能包含双引号，未设置固定IP地址！");
      EXPECT_EQ(pc.w().气球提示框1.LastPoint(), (ui::Point{140, 95}));
      EXPECT_TRUE(hosted->dhcp);
    } else {
      EXPECT_EQ(pc.Commands("netsh interface ip set address"), 1);
      EXPECT_FALSE(hosted->dhcp);
      EXPECT_EQ(hosted->address, "192.168.137.1");
    }
    EXPECT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  }
  // An override from the settings file that the addresses list matches inside the
  // quoted name of the real hosted connection.
  Pc pc(kWindows7, {}, "[1]\r\n1=1\r\n2=2\"\r\n");
  pc.Press();
  EXPECT_EQ(pc.w().编辑框虚拟网卡.Text(), "2\"");
  EXPECT_EQ(pc.Commands("netsh interface ip set address"), 0);
  EXPECT_EQ(pc.w().气球提示框1.LastPoint(), (ui::Point{140, 95}));
}

TEST(Hotspot, AHostedNameWithPatternCharactersIsMatchedAsText) {
  // The override names a connection the addresses list does not know. As a pattern,
  // "无线.*" would match the line of the hosted connection, which is on DHCP.
  Pc pc(kWindows7, {}, "[1]\r\n1=1\r\n2=无线.*\r\n");
  pc.Press();
  EXPECT_EQ(pc.w().编辑框虚拟网卡.Text(), "无线.*");
  EXPECT_EQ(pc.Commands("netsh interface ip set address"), 0);
  // The public side alone confirms the start.
  EXPECT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  EXPECT_EQ(pc.network().Sharing().privateConnection, "");
}

TEST(Hotspot, WithoutAdministratorRightsShowsItsBalloonAndStops) {
  std::string machine(kWindows7);
  machine.replace(machine.find("[network]"), 9, "[network]\nadministrator=no");
  Pc pc(machine);
  pc.Press();
  EXPECT_EQ(pc.w().气球提示框1.LastPoint(), (ui::Point{210, 250}));
  EXPECT_TRUE(pc.w().气球提示框1.Text().starts_with("无法开启！共享需要管理员权限"));
  ExpectStopped(pc);
}

TEST(Hotspot, AnEmptyInternetConnectionIsRefused) {
  Pc pc(kWindows10);
  pc.w().组合框1.SetText(" 　 ");
  pc.Press();
  EXPECT_EQ(pc.w().气球提示框1.Text(), "本机连网方式为空，请在【设置中心】选择一下！");
  EXPECT_EQ(pc.w().气球提示框1.LastPoint(), (ui::Point{140, 40}));
  ExpectStopped(pc);
}

TEST(Hotspot, UnableToStartShowsNetshsReasonAndAborts) {
  Pc pc(kWindows7, "[hosted]\nradio=off\n");
  pc.Press();
  const auto shown = pc.program.messages.AllShown();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().title, "开启失败");
  EXPECT_TRUE(shown.back().text.starts_with(
      "开启失败！失败类型：无法启动承载网络。\r\n连到系统上的设备没有发挥作用。\r\n"))
      << shown.back().text;
  EXPECT_NE(shown.back().text.find("\r\n解决办法：\r\n①、电脑的无线网络开关是否打开。"),
            std::string::npos);
  ExpectStopped(pc);
  EXPECT_EQ(pc.w().标签9.Text(), "未启动");
  EXPECT_EQ(pc.network().Sharing().publicConnection, "");
}

TEST(Hotspot, SharingThatNeverComesUpEndsAfterFiveRuns) {
  Pc pc(kWindows7, "[hosted]\nsharing_fails_starts=-1\n");
  pc.Press();
  EXPECT_EQ(pc.Commands("netsh wlan set hostednetwork mode=allow"), 5);
  EXPECT_EQ(pc.Messages(), std::vector<std::string>{"启动失败"});
  EXPECT_EQ(pc.program.messages.AllShown().back().text,
            "启动WiFi失败，可能网卡共享出问题，请按照[帮助信息]手动操作一下网卡。");
  ExpectStopped(pc);
}

TEST(Hotspot, SharingThatComesUpOnTheThirdRunSucceeds) {
  Pc pc(kWindows10, "[hosted]\nsharing_fails_starts=2\n");
  pc.Press();
  ExpectRunning(pc);
  EXPECT_EQ(pc.hotspot().StartRetryCount(), 2);
  EXPECT_TRUE(pc.Messages().empty());
}

TEST(Hotspot, ResetsSharingBeforeAStartOnlyWhenSomethingChanged) {
  Pc pc(kWindows7);
  const auto disallows = [&] { return pc.Commands("netsh wlan set hostednetwork mode=disallow"); };
  const int atStartUp = disallows();
  pc.Press();  // the first start: no connection was remembered at a stop
  EXPECT_EQ(disallows(), atStartUp + 1);
  pc.Press();  // stop
  pc.Press();  // the same connection again: no reset
  EXPECT_EQ(disallows(), atStartUp + 1);
  pc.Press();
  pc.w().组合框1.SetText("无线网络连接");
  pc.w().组合框1.SetText("本地连接 ");
  pc.Press();  // another text than at the stop
  EXPECT_EQ(disallows(), atStartUp + 2);
  Release(pc.w().超级链接框_重启);
  pc.program.Settle();
  EXPECT_EQ(disallows(), atStartUp + 3);  // a restart resets
  ExpectRunning(pc);
}

TEST(Hotspot, StopAndRestartKeepTheirControlsAndCounters) {
  Pc pc(kWindows10, "[hosted]\nsharing_fails_starts=1\n");
  pc.Press();
  ASSERT_EQ(pc.hotspot().StartRetryCount(), 1);
  Choose(pc.w().菜单_重启WiFi);
  pc.program.Settle();
  ExpectRunning(pc);
  EXPECT_EQ(pc.hotspot().StartRetryCount(), 1);  // a restart does not reset the count
  pc.Press();  // stop
  ExpectStopped(pc);
  EXPECT_FALSE(pc.w().超级链接框_重启.Visible());
  EXPECT_FALSE(pc.w().菜单_重启WiFi.Enabled());
  EXPECT_TRUE(pc.w().组合框1.Enabled());
  EXPECT_EQ(pc.w().标签9.Text(), "未启动");
  EXPECT_EQ(pc.hotspot().SharingStatusText(), "共享完成");  // a stop does not clear it
  EXPECT_EQ(pc.network().Sharing().publicConnection, "");   // the WLAN path stops sharing

  pc.Press();
  ExpectRunning(pc);
  EXPECT_EQ(pc.hotspot().StartRetryCount(), 0);  // a press starts counting afresh
}

TEST(Hotspot, EveryWayOutLeavesSharingOffAndTheHostedNetworkDisallowed) {
  const std::function<void(Pc&)> ways[] = {
      [](Pc& pc) { Choose(pc.w().菜单_退出); },
      [](Pc& pc) { RequestClose(pc.w()); },
  };
  for (const auto& leave : ways) {
    for (std::string_view machine : {kWindows7, kWindows10}) {
      Pc pc(machine);
      pc.Press();
      ASSERT_EQ(pc.hotspot().SharingStatusText(), "共享完成");
      leave(pc);
      pc.program.Settle();
      EXPECT_EQ(pc.program.exitCode, 0);
      EXPECT_EQ(pc.network().Sharing().publicConnection, "");
      EXPECT_EQ(pc.network().Sharing().privateConnection, "");
      const auto history = pc.program.pc.console.History();
      EXPECT_EQ(history.back(), "netsh wlan set hostednetwork mode=disallow");
      EXPECT_EQ(pc.w().托盘图标1.Image(), ui::TrayImage::None);
    }
  }
}

// The two ways out a user takes; Windows ending the session takes the second.
const std::function<void(ui::MainWindow&)> kWaysOut[] = {
    [](ui::MainWindow& w) { Choose(w.菜单_退出); },
    [](ui::MainWindow& w) { RequestClose(w); },
};

// What every way out leaves, whatever the program was doing: no connection shares, the
// hosted network is stopped and disallowed, the last command is the disallow (no
// worker ran one after it), and the sharing objects were never used by two threads.
void ExpectLeftClean(Pc& pc, const std::string& what) {
  EXPECT_EQ(pc.program.exitCode, 0) << what;
  EXPECT_EQ(pc.network().Sharing().publicConnection, "") << what;
  EXPECT_EQ(pc.network().Sharing().privateConnection, "") << what;
  EXPECT_FALSE(pc.network().HostedNetwork().allowed) << what;
  EXPECT_NE(pc.network().HostedNetwork().state, 2) << what;
  const auto history = pc.program.pc.console.History();
  ASSERT_FALSE(history.empty()) << what;
  EXPECT_EQ(history.back(), "netsh wlan set hostednetwork mode=disallow") << what;
  EXPECT_EQ(pc.network().SharingOverlaps(), 0) << what;
}

// Lets the held call go from the UI thread once the way out has begun (the window is
// hidden before the hotspot is taken down): while the way out waits for the worker.
void ReleaseOnceLeaving(Pc& pc) {
  struct Release {
    Pc* pc;
    void operator()() const {
      if (!pc->w().Visible()) {
        pc->network().ReleaseHeldCall();
      } else {
        pc->program.dispatcher.Post(*this);
      }
    }
  };
  pc.program.dispatcher.Post(Release{&pc});
}

TEST(Hotspot, LeavingWhileAnyCallOfAStartIsUnderWayLeavesNothingShared) {
  // A start begun by the button from Stopped, or by the restart link from Running;
  // each call it makes into the sharing objects, the connection manager or the WLAN
  // service is held in turn while the user leaves.
  struct Begin {
    const char* name;
    bool fromRunning;
    std::function<void(ui::MainWindow&)> begin;
  };
  const Begin begins[] = {
      {"press", false, [](ui::MainWindow& w) { Click(w.按钮开始); }},
      {"restart", true, [](ui::MainWindow& w) { Release(w.超级链接框_重启); }},
  };
  for (std::string_view machine : {kWindows7, kWindows10}) {
    const char* system = machine == kWindows7 ? "Windows 7" : "Windows 10";
    for (const Begin& begin : begins) {
      int callsOfAStart;
      {
        Pc pc(machine);
        if (begin.fromRunning) pc.Press();
        const int before = pc.network().Calls();
        begin.begin(pc.w());
        pc.program.Settle();
        ExpectRunning(pc);
        callsOfAStart = pc.network().Calls() - before;
      }
      ASSERT_GT(callsOfAStart, 5);
      for (int way = 0; way < 2; ++way) {
        for (int held = 1; held <= callsOfAStart; ++held) {
          const std::string what = std::string(system) + " " + begin.name + ", way " +
                                   std::to_string(way) + ", call " + std::to_string(held);
          Pc pc(machine);
          if (begin.fromRunning) pc.Press();
          pc.network().HoldCall(held);
          begin.begin(pc.w());
          ASSERT_TRUE(pc.program.PumpUntil([&] { return pc.network().CallHeld(); })) << what;
          ReleaseOnceLeaving(pc);
          kWaysOut[way](pc.w());
          pc.program.Settle();
          ExpectLeftClean(pc, what);
        }
      }
    }
  }
}

TEST(Hotspot, ASecondPressBeforeTheStartShowsItselfStartsNothing) {
  // A double click: the second press comes before the run has disabled the button. It
  // starts no second run, which would use the sharing objects beside the first and be
  // left running by the way out.
  {
    Pc pc(kWindows7);
    Click(pc.w().按钮开始);
    Click(pc.w().按钮开始);
    pc.program.Settle();
    ExpectRunning(pc);
    EXPECT_EQ(pc.Commands("netsh wlan set hostednetwork mode=allow"), 1);
    EXPECT_EQ(pc.network().SharingOverlaps(), 0);
  }
  for (std::string_view machine : {kWindows7, kWindows10}) {
    for (int way = 0; way < 2; ++way) {
      const std::string what = std::string(machine == kWindows7 ? "Windows 7" : "Windows 10") +
                               ", way " + std::to_string(way);
      Pc pc(machine);
      pc.network().HoldCall(1);
      Click(pc.w().按钮开始);
      Click(pc.w().按钮开始);
      ASSERT_TRUE(pc.program.PumpUntil([&] { return pc.network().CallHeld(); })) << what;
      ReleaseOnceLeaving(pc);
      kWaysOut[way](pc.w());
      pc.program.Settle();
      ExpectLeftClean(pc, what);
    }
  }
}

TEST(Hotspot, ARestartRefusedForATextTypedDuringTheStartKeepsTheHotspotWatched) {
  // The boxes take text until the hotspot runs: a pass phrase typed while the start's
  // last call is under way is what the restart reads, and refuses.
  for (std::string_view machine : {kWindows7, kWindows10}) {
    int callsOfAStart;
    {
      Pc pc(machine);
      const int before = pc.network().Calls();
      pc.Press();
      callsOfAStart = pc.network().Calls() - before;
    }
    Pc pc(machine);
    pc.network().HoldCall(callsOfAStart);
    Click(pc.w().按钮开始);
    ASSERT_TRUE(pc.program.PumpUntil([&] { return pc.network().CallHeld(); }));
    Type(pc.w().编辑框密码, "a\\");
    pc.network().ReleaseHeldCall();
    pc.program.Settle();
    ExpectRunning(pc);
    Release(pc.w().超级链接框_重启);
    pc.program.Settle();
    EXPECT_EQ(pc.w().气球提示框1.LastPoint(), (ui::Point{200, 135}));
    EXPECT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
    EXPECT_EQ(pc.hotspot().SharingStatusText(), "共享完成");
    EXPECT_EQ(pc.w().时钟_黑.Interval(), 6000);
  }
}

TEST(Hotspot, LeavingWhileAWorkersMessageBoxIsUpClosesItAndEnds) {
  // Each box a worker shows, left open: the firewall's on the start-up worker, and the
  // start worker's two failures.
  struct Case {
    const char* title;
    std::string scenario;
    bool press;
  };
  const Case cases[] = {
      {"提示", std::string(kWindows7) + "[service.MpsSvc]\nstart_type=2\nstate=1\ncan_start=no\n",
       false},
      {"开启失败", std::string(kWindows7) + "[hosted]\nradio=off\n", true},
      {"启动失败", std::string(kWindows10) + "[hosted]\nsharing_fails_starts=-1\n", true},
  };
  for (const Case& c : cases) {
    for (int way = 0; way < 2; ++way) {
      const std::string what = std::string(c.title) + ", way " + std::to_string(way);
      testing::HeadlessProgram program(platform::sim::ParseScenario(c.scenario));
      program.messages.KeepBoxesOpen();
      ASSERT_TRUE(program.Start());
      if (c.press) {
        ASSERT_TRUE(program.PumpUntil([&] { return program.Main().按钮开始.Enabled(); }));
        Click(program.Main().按钮开始);
      }
      ASSERT_TRUE(program.PumpUntil([&] { return program.messages.OpenBoxes() == 1; })) << what;
      kWaysOut[way](program.Main());
      EXPECT_EQ(program.messages.OpenBoxes(), 0) << what;
      // A box left up would keep the program from ending; answered here, the test
      // fails instead of hanging.
      program.messages.AnswerOpenBox(ui::kAnswerOk);
      program.Settle();
      EXPECT_EQ(program.exitCode, 0) << what;
      const auto shown = program.messages.AllShown();
      ASSERT_FALSE(shown.empty()) << what;
      EXPECT_EQ(shown.back().title, c.title) << what;
      EXPECT_TRUE(shown.back().closed) << what;
      EXPECT_EQ(program.pc.network.Sharing().publicConnection, "") << what;
      EXPECT_FALSE(program.pc.network.HostedNetwork().allowed) << what;
      EXPECT_EQ(program.pc.console.History().back(), "netsh wlan set hostednetwork mode=disallow")
          << what;
    }
  }
}

TEST(Hotspot, AutoStartsOnlyForLowerCaseY) {
  for (const char* value : {"y", "Y", "n"}) {
    Pc pc(kWindows7, {}, std::string("[qidong]\r\nqidong=") + value + "\r\n");
    const bool on = std::string_view(value) == "y";
    EXPECT_EQ(pc.w().选择框_启动.Checked(), on) << value;
    EXPECT_EQ(pc.w().按钮开始.Text(), on ? "关闭WiFi" : "开启WiFi") << value;
  }
}

TEST(Hotspot, TidiesNetshOutputForItsMessage) {
  // One break goes at each end, and each run of blank lines leaves one line break.
  EXPECT_EQ(TidyNetshOutput("\r\n无法启动承载网络。\r\n组或资源的状态不是执行请求操作的正确状态。\r\n\r\n\r\n"),
            "无法启动承载网络。\r\n组或资源的状态不是执行请求操作的正确状态。\r\n");
  EXPECT_EQ(TidyNetshOutput("a\r\n  \r\nb"), "a\r\nb");
}

}  // namespace
}  // namespace lumora::hotspot
