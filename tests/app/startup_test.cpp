// The program's start on the simulated PC: what the main window shows before the user
// touches it, for the machines and files it may find.
#include <gtest/gtest.h>

#include "clients/list_files.h"
#include "settings/settings.h"
#include "support/headless_program.h"

namespace lumora::app {
namespace {

using testing::HeadlessProgram;

platform::sim::Scenario OnSystem(int major, int minor) {
  platform::sim::Scenario scenario;
  scenario.reportedVersion = {major, minor};
  scenario.environmentBlockVersion = {major, minor};
  return scenario;
}

TEST(Startup, WithoutSettingsEveryControlShowsItsDefault) {
  HeadlessProgram program;
  ASSERT_TRUE(program.Start());
  ui::MainWindow& w = program.Main();
  EXPECT_EQ(w.Title(), "LumoraWiFi5.0");
  EXPECT_TRUE(w.Visible());
  // Blacklist mode.
  EXPECT_TRUE(w.单选框黑.Checked());
  EXPECT_FALSE(w.单选框白.Checked());
  EXPECT_EQ(w.分组框4.Text(), "允许上网的用户↓");
  EXPECT_EQ(w.透明标签3.Geometry().left, 134);
  EXPECT_TRUE(w.超级列表框1.Visible());
  EXPECT_TRUE(w.超级列表框2.Visible());
  EXPECT_TRUE(w.分组框3.Visible());
  EXPECT_FALSE(w.超级列表框3.Visible());
  EXPECT_FALSE(w.透明标签_白说明.Visible());
  // Speed bar off, colour at its default, pass phrase plain.
  EXPECT_FALSE(w.选择框显示流量.Checked());
  EXPECT_EQ(w.滑块条色调.Position(), 310);
  EXPECT_EQ(w.透明标签位置.Text(), "[150]");
  EXPECT_EQ(program.App().Skin().Hue(), 150);
  EXPECT_EQ(w.编辑框名称.Text(), "mylove");
  EXPECT_EQ(w.编辑框密码.Text(), "2468013579");
  EXPECT_TRUE(w.选择框_显示密码.Checked());
  EXPECT_FALSE(w.编辑框密码.Masked());
  EXPECT_EQ(w.标签9.Text(), "未启动");
  EXPECT_EQ(w.图片框状态.Shown(), ui::Picture::StatusStopped);
  EXPECT_EQ(w.组合框_关机.SelectedIndex(), 2);
  EXPECT_EQ(w.组合框_关机.Text(), "2");
  // The start button waits for the start-up worker.
  EXPECT_FALSE(w.按钮开始.Enabled());
  EXPECT_EQ(w.按钮开始.Text(), "初始化中\r\n请稍后");
  EXPECT_NE(program.App().StartupWorkerHandle(), nullptr);
  // The speed bar window and the join code's are loaded, hidden, and the speed bar's
  // timer runs; no other timer does.
  EXPECT_EQ(program.loadedWindows.size(), 3u);
  EXPECT_FALSE(program.App().SpeedBar().Visible());
  EXPECT_FALSE(program.App().JoinCode().Visible());
  EXPECT_FALSE(w.按钮扫码.Visible());
  EXPECT_EQ(program.App().SpeedBar().时钟流量.Interval(), 1000);
  for (const ui::WindowModel* window : program.loadedWindows) {
    for (const ui::Control* control : window->Controls()) {
      if (auto* timer = dynamic_cast<const ui::Timer*>(control)) {
        if (timer != &program.App().SpeedBar().时钟流量) {
          EXPECT_FALSE(timer->Running()) << timer->Name();
        }
      }
    }
  }
  EXPECT_TRUE(program.messages.AllShown().empty());
}

TEST(Startup, GivesTheDesignedTipsAndCaptionColours) {
  HeadlessProgram program;
  ASSERT_TRUE(program.Start());
  ui::MainWindow& w = program.Main();
  EXPECT_EQ(w.编辑框密码.Tip(), "密码不能少于8位数");
  EXPECT_EQ(w.选择框2.Tip(),
            "通常软件能智能匹配连网方式，若发现不对，\r\n请自行选择，并勾选这个，以后就记住这个连网了");
  const ui::Colour red{255, 0, 0}, green{9, 124, 37};
  for (const ui::StaticControl* box : {&w.分组框2, &w.分组框5, &w.分组框1, &w.分组框3}) {
    ASSERT_NE(box->TextColour(), nullptr) << box->Name();
    EXPECT_EQ(*box->TextColour(), red) << box->Name();
  }
  EXPECT_EQ(*w.分组框4.TextColour(), green);
  EXPECT_EQ(*w.分组框6.TextColour(), green);
  EXPECT_EQ(w.分组框7.TextColour(), nullptr);
}

TEST(Startup, ReadsEverySettingIntoItsControl) {
  HeadlessProgram program;
  program.PutFile(settings::kSettingsPath,
                  "[monitor]\r\nmonitor=不监控\r\n[xsmm]\r\nmm=2\r\n[skin]\r\ncolor=-5\r\n"
                  "[流量条]\r\n是否开=是\r\n[user]\r\nssid=我的热点\r\nkey=12345678\r\n");
  ASSERT_TRUE(program.Start());
  ui::MainWindow& w = program.Main();
  // Whitelist mode.
  EXPECT_TRUE(w.单选框白.Checked());
  EXPECT_FALSE(w.单选框黑.Checked());
  EXPECT_EQ(w.分组框4.Text(), "白名单列表↓");
  EXPECT_EQ(w.透明标签3.Geometry().left, 90);
  EXPECT_EQ(w.透明标签3.Text(), "当前模式仅允许下表中的用户上网，右击鼠标移出白名单");
  EXPECT_TRUE(w.超级列表框3.Visible());
  EXPECT_TRUE(w.透明标签_白说明.Visible());
  EXPECT_FALSE(w.超级列表框1.Visible());
  EXPECT_FALSE(w.超级列表框2.Visible());
  EXPECT_FALSE(w.分组框3.Visible());
  // Masked pass phrase.
  EXPECT_FALSE(w.选择框_显示密码.Checked());
  EXPECT_TRUE(w.编辑框密码.Masked());
  // The slider stops at its end; the skin gets the stored number as it is.
  EXPECT_EQ(w.滑块条色调.Position(), 0);
  EXPECT_EQ(w.透明标签位置.Text(), "[-160]");
  EXPECT_EQ(program.App().Skin().Hue(), -165);
  EXPECT_TRUE(w.选择框显示流量.Checked());
  EXPECT_TRUE(program.App().SpeedBar().Visible());
  EXPECT_EQ(w.编辑框名称.Text(), "我的热点");
  EXPECT_EQ(w.编辑框密码.Text(), "12345678");
}

TEST(Startup, ModeAndMaskingFollowOnlyTheirExactTexts) {
  struct Case {
    const char* file;
    bool blacklist, masked, speedBar;
  };
  const Case cases[] = {
      {"[monitor]\r\nmonitor=\r\n", false, false, false},
      {"[monitor]\r\nmonitor=监控\r\n[xsmm]\r\nmm=1\r\n", true, false, false},
      {"[xsmm]\r\nmm=3\r\n[流量条]\r\n是否开=YES\r\n", true, false, false},
      {"[流量条]\r\n是否开=是 \r\n", true, false, true},
  };
  for (const Case& c : cases) {
    HeadlessProgram program;
    program.PutFile(settings::kSettingsPath, c.file);
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.Main().单选框黑.Checked(), c.blacklist) << c.file;
    EXPECT_EQ(program.Main().编辑框密码.Masked(), c.masked) << c.file;
    EXPECT_EQ(program.Main().选择框显示流量.Checked(), c.speedBar) << c.file;
  }
}

TEST(Startup, LoadsBothListFilesIntoTheirViews) {
  HeadlessProgram program;
  program.PutFile(clients::kBlacklistPath,
                  "AA-BB-CC-DD-EE-FF+手机\r\n11-22-33-44-55-66\r\n22-22-22-22-22-22+a+b\r\n");
  program.PutFile(clients::kWhitelistPath, "0A-1B-2C-3D-4E-5F+平板");
  ASSERT_TRUE(program.Start());
  const ui::ListView& black = program.Main().超级列表框2;
  ASSERT_EQ(black.RowCount(), 3u);
  EXPECT_EQ(black.Rows()[0], (std::vector<std::string>{"", "AA-BB-CC-DD-EE-FF", "手机"}));
  EXPECT_EQ(black.Rows()[1], (std::vector<std::string>{"", "11-22-33-44-55-66", ""}));
  EXPECT_EQ(black.Rows()[2], (std::vector<std::string>{"", "22-22-22-22-22-22", ""}));
  const ui::ListView& white = program.Main().超级列表框3;
  ASSERT_EQ(white.RowCount(), 1u);
  EXPECT_EQ(white.Rows()[0], (std::vector<std::string>{"0A-1B-2C-3D-4E-5F", "平板"}));
}

TEST(Startup, ASecondInstanceBringsUpTheFirstAndTouchesNoSetting) {
  HeadlessProgram program;
  program.PutFile(settings::kSettingsPath, "[user]\r\nssid=x\r\n");
  program.pc.instances.AddWindowTitled("LumoraWiFi5.0");
  EXPECT_FALSE(program.Start());
  EXPECT_EQ(program.exitCode, 0);
  EXPECT_EQ(program.pc.instances.ShownWindows(), std::vector<std::string>{"LumoraWiFi5.0"});
  EXPECT_EQ(program.countingDrive.reads, 0);
  EXPECT_EQ(program.countingDrive.writes, 0);
  EXPECT_EQ(program.Main().Title(), "");
  EXPECT_FALSE(program.Main().Visible());
  EXPECT_EQ(program.App().StartupWorkerHandle(), nullptr);
}

TEST(Startup, ACopyStartedAtTheSameMomentLeavesToo) {
  // The other copy holds the instance name but has no titled window yet; it shows
  // it a little later.
  HeadlessProgram program;
  program.pc.instances.HoldInstance(std::string(kInstanceName));
  program.dispatcher.Post([&] { program.pc.instances.AddWindowTitled("LumoraWiFi5.0"); });
  EXPECT_FALSE(program.Start());
  EXPECT_EQ(program.pc.instances.ShownWindows(), std::vector<std::string>{"LumoraWiFi5.0"});
  EXPECT_EQ(program.countingDrive.reads, 0);
}

TEST(Startup, RefusesWindowsXpAndKeepsTheButtonDisabled) {
  HeadlessProgram program(OnSystem(5, 1));
  ASSERT_TRUE(program.Start());
  const auto shown = program.messages.AllShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "抱歉，该软件暂不支持Win XP系统！");
  EXPECT_EQ(shown[0].title, "提示");
  EXPECT_EQ(shown[0].style, ui::kMessageOk);
  EXPECT_EQ(program.Main().按钮开始.Text(), "不支持XP");
  EXPECT_FALSE(program.Main().按钮开始.Enabled());
  EXPECT_EQ(program.App().OsVersionCode(), 0);
  EXPECT_EQ(program.loadedWindows.size(), 1u);  // no speed bar
  EXPECT_EQ(program.App().StartupWorkerHandle(), nullptr);
  EXPECT_TRUE(program.Main().Visible());
}

TEST(Startup, SetsTheOsVersionCodeFromTheReportedVersion) {
  struct Case {
    int major, minor, code;
  };
  for (const Case& c : {Case{6, 1, 5}, Case{6, 2, 6}, Case{6, 3, -1}, Case{10, 0, -1},
                        Case{6, 0, 4}, Case{5, 2, 3}}) {
    HeadlessProgram program(OnSystem(c.major, c.minor));
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.App().OsVersionCode(), c.code) << c.major << "." << c.minor;
  }
  // A later system in Windows XP compatibility mode is refused by its environment
  // block, whatever it reports.
  platform::sim::Scenario compatible = OnSystem(6, 2);
  compatible.environmentBlockVersion = {5, 1};
  HeadlessProgram program(compatible);
  ASSERT_TRUE(program.Start());
  EXPECT_EQ(program.Main().按钮开始.Text(), "不支持XP");
}

}  // namespace
}  // namespace lumora::app
