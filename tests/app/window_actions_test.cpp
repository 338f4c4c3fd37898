// The main window's own actions, driven as a user would on the simulated PC.
#include "app/window_actions.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"
#include "support/headless_program.h"

namespace lumora::app {
namespace {

using namespace ui::headless;
using testing::HeadlessProgram;

class WindowActionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program.Start()); }
  HeadlessProgram program;
  ui::MainWindow& w() { return program.Main(); }
};

TEST_F(WindowActionsTest, ShowPassPhraseMasksAtOnceAndIsRememberedForTheNextStart) {
  Click(w().选择框_显示密码);
  EXPECT_TRUE(w().编辑框密码.Masked());
  EXPECT_EQ(program.App().Settings().Read(settings::kShowPassPhrase), "2");
  Click(w().选择框_显示密码);
  EXPECT_FALSE(w().编辑框密码.Masked());
  EXPECT_EQ(program.App().Settings().Read(settings::kShowPassPhrase), "1");
  Click(w().选择框_显示密码);

  HeadlessProgram next;
  next.PutRawFile(settings::kSettingsPath, program.RawFile(settings::kSettingsPath));
  ASSERT_TRUE(next.Start());
  EXPECT_TRUE(next.Main().编辑框密码.Masked());
  EXPECT_FALSE(next.Main().选择框_显示密码.Checked());
}

TEST_F(WindowActionsTest, UsageHelpShowsItsMessage) {
  Release(w().画板_问号);
  const auto shown = program.messages.AllShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "使用帮助");
  EXPECT_EQ(shown[0].style, 0x40u);
  EXPECT_TRUE(shown[0].text.starts_with("WiFi名称和密码可以自定义，WiFi停止状态才可以修改。\r\n"));
  EXPECT_TRUE(shown[0].text.ends_with("强制初始化WiFi试试。。"));
}

TEST_F(WindowActionsTest, TrafficTimerRunsOnlyOnItsTabWithAHostedConnection) {
  ui::Timer& timer = w().时钟流量统计;
  ChooseTab(w().选择夹1, ui::kTabTraffic);
  EXPECT_FALSE(timer.Running());  // no hotspot has been started: nothing to count
  ChooseTab(w().选择夹1, ui::kTabMain);
  w().编辑框虚拟网卡.SetText("本地连接* 12");
  ChooseTab(w().选择夹1, ui::kTabTraffic);
  EXPECT_EQ(timer.Interval(), 1500);
  ChooseTab(w().选择夹1, ui::kTabHelp);
  EXPECT_FALSE(timer.Running());

  // Hiding to the tray stops it; coming back does not restart it, nor does choosing
  // the tab that is already current.
  ChooseTab(w().选择夹1, ui::kTabTraffic);
  Click(w().按钮右下角);
  EXPECT_FALSE(w().Visible());
  EXPECT_FALSE(timer.Running());
  ClickTray(w().托盘图标1, ui::TrayClick::Left);
  program.Settle();
  EXPECT_TRUE(w().Visible());
  ChooseTab(w().选择夹1, ui::kTabTraffic);
  EXPECT_FALSE(timer.Running());
}

TEST(BringToFront, CentresTheWindowInPixelsAtEveryScalingAndLeavesItNotTopmost) {
  // The position is in pixels, the size in 96-DPI units: 430 x 316 is 645 x 474 pixels
  // at 150 %.
  const struct {
    const char* system;
    ui::Rect centred;
  } cases[] = {
      {"screen=1280x800", {(1280 - 430) / 2, (800 - 316) / 2, 430, 316}},
      {"screen=1920x1080\nscale=150", {(1920 - 645) / 2, (1080 - 474) / 2, 430, 316}},
      {"screen=2560x1440\nscale=125%", {(2560 - 538) / 2, (1440 - 395) / 2, 430, 316}},
  };
  for (const auto& c : cases) {
    HeadlessProgram program(
        platform::sim::ParseScenario(std::string("[system]\n") + c.system + "\n"));
    ASSERT_TRUE(program.Start());
    ui::MainWindow& w = program.Main();
    w.SetGeometry({5, 5, 430, 316});
    w.SetVisible(false);
    BringToFront(program.App());
    EXPECT_TRUE(w.Visible()) << c.system;
    EXPECT_EQ(w.Geometry(), c.centred) << c.system;
    EXPECT_FALSE(w.Topmost()) << c.system;
  }
}

TEST_F(WindowActionsTest, BringToFrontRestoresAMinimisedWindowBeforeItCentresIt) {
  std::vector<std::string> changes;
  struct Recorder : ui::ModelObserver {
    std::vector<std::string>& changes;
    explicit Recorder(std::vector<std::string>& c) : changes(c) {}
    void OnControlChanged(ui::Control&, ui::Change) override {}
    void OnWindowChanged(ui::WindowModel& window, ui::WindowChange change) override {
      if (change == ui::WindowChange::Minimised)
        changes.push_back(window.Minimised() ? "minimised" : "restored");
      if (change == ui::WindowChange::Geometry) changes.push_back("moved");
    }
  } recorder(changes);
  w().SetGeometry({5, 5, 430, 316});
  ui::NoteMinimised(w(), true);
  w().AddObserver(&recorder);
  ClickTray(w().托盘图标1, ui::TrayClick::Left);
  w().RemoveObserver(&recorder);
  EXPECT_EQ(changes, (std::vector<std::string>{"restored", "moved"}));
  EXPECT_FALSE(w().Minimised());
  EXPECT_EQ(w().Geometry(), (ui::Rect{425, 242, 430, 316}));
}

TEST_F(WindowActionsTest, AWayOutThatComesWhileTheProgramClosesIsIgnored) {
  int geometrySteps = 0;
  struct Counter : ui::ModelObserver {
    int& steps;
    explicit Counter(int& s) : steps(s) {}
    void OnControlChanged(ui::Control&, ui::Change) override {}
    void OnWindowChanged(ui::WindowModel&, ui::WindowChange change) override {
      if (change == ui::WindowChange::Geometry) ++steps;
    }
  } counter(geometrySteps);
  int endings = 0;
  program.Settle();
  w().AddObserver(&counter);
  // Queued now, these run in the closing animation's pumped wait.
  program.dispatcher.Post([&] {
    RequestClose(w());
    Choose(w().菜单_退出);
    ChooseBalloonLink(program.App().SpeedBar().气球提示框1, "m9");
    RequestClose(w());
  });
  program.dispatcher.Post([&] { endings = program.exitCode.has_value() ? 1 : 0; });
  RequestClose(w());
  w().RemoveObserver(&counter);
  EXPECT_EQ(geometrySteps, 28);
  EXPECT_EQ(endings, 0);  // nothing ended the program in the middle of its close
  EXPECT_EQ(program.exitCode, 0);
  EXPECT_FALSE(program.pc.network.HostedNetwork().allowed);
}

TEST_F(WindowActionsTest, MenusAndTheConnectionsFolder) {
  ClickTray(w().托盘图标1, ui::TrayClick::Right);
  ReleaseRightButton(w());
  EXPECT_EQ(w().菜单.PopUpCount(), 2);
  EXPECT_FALSE(w().菜单_重启WiFi.Enabled());  // no hotspot yet
  // Before the update check has given the site's address there is nothing to open.
  Choose(w().菜单_官方网站);
  EXPECT_TRUE(program.pc.shell.OpenedUrls().empty());
  program.Settle();
  Choose(w().菜单_官方网站);
  EXPECT_EQ(program.pc.shell.OpenedUrls(),
            std::vector<std::string>{std::string(platform::sim::SiteAddress()) + "/"});
  Click(w().按钮查看连接);
  EXPECT_EQ(program.pc.shell.StartedPrograms(), std::vector<std::string>{"control.exe ncpa.cpl"});
}

TEST_F(WindowActionsTest, CloseSequenceFoldsTheWindowAndEndsTheProgram) {
  std::vector<ui::Rect> steps;
  struct Recorder : ui::ModelObserver {
    std::vector<ui::Rect>& steps;
    explicit Recorder(std::vector<ui::Rect>& s) : steps(s) {}
    void OnControlChanged(ui::Control&, ui::Change) override {}
    void OnWindowChanged(ui::WindowModel& window, ui::WindowChange change) override {
      if (change == ui::WindowChange::Geometry) steps.push_back(window.Geometry());
    }
  } recorder(steps);
  w().AddObserver(&recorder);
  w().时钟_黑.SetInterval(6000);
  RequestClose(w());
  w().RemoveObserver(&recorder);

  // Six height steps and eight width steps, each a resize and then a move; the last step
  // of each stops at nothing rather than below it.
  ASSERT_EQ(steps.size(), 28u);
  EXPECT_EQ(steps[0], (ui::Rect{50, 50, 430, 256}));
  EXPECT_EQ(steps[1], (ui::Rect{50, 75, 430, 256}));
  EXPECT_EQ(steps[10], (ui::Rect{50, 175, 430, 0}));
  EXPECT_EQ(steps[11], (ui::Rect{50, 200, 430, 0}));
  EXPECT_EQ(steps[27], (ui::Rect{290, 200, 0, 0}));
  for (const ui::Rect& step : steps) EXPECT_TRUE(step.width >= 0 && step.height >= 0);
  EXPECT_FALSE(w().Bordered());
  EXPECT_FALSE(w().Visible());
  EXPECT_FALSE(w().时钟_黑.Running());
  EXPECT_EQ(w().托盘图标1.Image(), ui::TrayImage::None);
  EXPECT_EQ(program.exitCode, 0);
}

}  // namespace
}  // namespace lumora::app

namespace lumora::app {
namespace {

TEST_F(WindowActionsTest, ColourSliderReskinsStoresAndLabelsEveryPosition) {
  using ui::MoveSlider;
  struct Case {
    int position;
    const char* label;
  };
  for (const Case& c : {Case{0, "[-160]"}, Case{340, "[180]"}, Case{200, "[40]"}}) {
    MoveSlider(w().滑块条色调, c.position);
    EXPECT_EQ(w().透明标签位置.Text(), c.label);
    EXPECT_EQ(program.App().Skin().Hue(), c.position - 160);
    EXPECT_EQ(program.App().Settings().Read(settings::kSkinColor), std::to_string(c.position));
  }
  // Restoring writes the default even when the slider already stands there.
  ui::Click(w().按钮色调);
  EXPECT_EQ(w().滑块条色调.Position(), 310);
  program.PutFile(settings::kSettingsPath, "[skin]\r\ncolor=200\r\n[user]\r\nssid=x\r\n");
  program.App().Skin().ApplySkin(0);
  ui::Click(w().按钮色调);
  EXPECT_EQ(program.App().Skin().Hue(), 150);
  EXPECT_EQ(w().透明标签位置.Text(), "[150]");
  EXPECT_EQ(program.App().Settings().Read(settings::kSkinColor), "310");
  EXPECT_EQ(program.App().Settings().Read(settings::kNetworkName), "x");
}

}  // namespace
}  // namespace lumora::app

namespace lumora::app {
namespace {

TEST_F(WindowActionsTest, TheTrayAndStatusPicturesCycleWhileAStartRunsAndSettleOnceItIsDone) {
  program.Settle();
  // The timers as a start runs them, before sharing is confirmed.
  w().时钟_右下角灰动.SetInterval(500);
  w().时钟状态.SetInterval(500);
  std::vector<ui::TrayImage> tray;
  std::vector<ui::Picture> status;
  for (int tick = 0; tick < 7; ++tick) {
    Tick(w().时钟_右下角灰动);
    tray.push_back(w().托盘图标1.Image());
    Tick(w().时钟状态);
    status.push_back(w().图片框状态.Shown());
  }
  using ui::Picture;
  using ui::TrayImage;
  EXPECT_EQ(tray, (std::vector<TrayImage>{TrayImage::Busy1, TrayImage::Busy2, TrayImage::Busy3,
                                          TrayImage::Normal, TrayImage::Busy1, TrayImage::Busy2,
                                          TrayImage::Busy3}));
  EXPECT_EQ(status,
            (std::vector<Picture>{Picture::StatusBusy1, Picture::StatusBusy2, Picture::StatusBusy3,
                                  Picture::StatusBusy4, Picture::StatusBusy5, Picture::StatusBusy1,
                                  Picture::StatusBusy2}));

  // A real start: the pictures go on cycling while it runs (its waits let the clock
  // run), and the first tick after sharing is confirmed shows the running pictures and
  // stops both timers. Whether a tick already fell after the confirmation depends on
  // how the start's last wait and the pump interleaved, so the clock runs one period.
  Click(w().按钮开始);
  program.Settle();
  ASSERT_EQ(w().按钮开始.Text(), "关闭WiFi");
  program.RunFor(500);
  EXPECT_EQ(w().托盘图标1.Image(), TrayImage::Running);
  EXPECT_EQ(w().托盘图标1.Tip(), hotspot::kRunningTip);
  EXPECT_FALSE(w().时钟_右下角灰动.Running());
  EXPECT_EQ(w().图片框状态.Shown(), Picture::StatusDone);
  EXPECT_FALSE(w().时钟状态.Running());
}


// A program whose hotspot runs, shared, and whose window is hidden to the tray.
struct RunningInTray {
  RunningInTray() {
    EXPECT_TRUE(program.Start());
    program.Settle();
    Click(w().按钮开始);
    program.Settle();
    EXPECT_EQ(w().按钮开始.Text(), "关闭WiFi");
    EXPECT_FALSE(PcIsReset());
    Click(w().按钮右下角);
  }
  bool PcIsReset() {
    return !program.pc.network.HostedNetwork().allowed &&
           program.pc.network.Sharing().publicConnection.empty();
  }
  ui::MainWindow& w() { return program.Main(); }
  testing::HeadlessProgram program;
};

TEST(WayOut, OnceItHasBegunTheTrayIconStaysGoneAndNothingStarts) {
  // The icon's pictures from the way out on.
  struct Recorder : ui::ModelObserver {
    ui::TrayIcon& tray;
    std::vector<ui::TrayImage> images;
    explicit Recorder(ui::TrayIcon& t) : tray(t) {}
    void OnControlChanged(ui::Control& control, ui::Change) override {
      if (&control == &tray) images.push_back(tray.Image());
    }
    void OnWindowChanged(ui::WindowModel&, ui::WindowChange) override {}
  };
  const std::function<void(ui::MainWindow&)> ways[] = {
      [](ui::MainWindow& w) { Choose(w.菜单_退出); }, [](ui::MainWindow& w) { RequestClose(w); }};
  for (const auto& way : ways) {
    RunningInTray pc;
    ui::MainWindow& w = pc.w();
    Recorder recorder(w.托盘图标1);
    w.AddObserver(&recorder);
    bool shown = false;
    // Queued now, this runs in the way out's first pumped wait, and again in the next.
    const std::function<void()> user = [&] {
      ClickTray(w.托盘图标1, ui::TrayClick::Left);
      ClickTray(w.托盘图标1, ui::TrayClick::LeftDouble);
      ClickTray(w.托盘图标1, ui::TrayClick::Right);
      Release(w.超级链接框_重启);
      Choose(w.菜单_重启WiFi);
      Click(w.按钮开始);
      shown = shown || w.Visible();
    };
    pc.program.dispatcher.Post([&] {
      user();
      pc.program.dispatcher.Post(user);
    });
    way(w);
    pc.program.Settle();
    w.RemoveObserver(&recorder);
    EXPECT_EQ(recorder.images, std::vector<ui::TrayImage>{ui::TrayImage::None});
    EXPECT_FALSE(shown);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(w.菜单.PopUpCount(), 0);
    EXPECT_TRUE(pc.PcIsReset());
    EXPECT_EQ(pc.program.exitCode, 0);
  }
}

TEST(WayOut, TheSessionEndsOnlyOnceTheCloseUnderWayHasResetThePc) {
  {
    RunningInTray pc;
    bool resetAtTheEnd = false;
    // Windows asks while the exit resets the PC, then ends the session.
    pc.program.dispatcher.Post([&] {
      RequestClose(pc.w());
      EndSession(pc.w());
      resetAtTheEnd = pc.PcIsReset();
    });
    Choose(pc.w().菜单_退出);
    EXPECT_TRUE(resetAtTheEnd);
    EXPECT_EQ(pc.program.exitCode, 0);
  }
  // Without a way out under way, the end of the session is a close of its own.
  RunningInTray pc;
  EndSession(pc.w());
  EXPECT_TRUE(pc.PcIsReset());
  EXPECT_EQ(pc.program.exitCode, 0);
}

}  // namespace
}  // namespace lumora::app
