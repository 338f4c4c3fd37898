// The traffic tab's figures and the speed bar on the simulated PC, driven as a user
// would: the traffic tab chosen, the bar's box clicked, the bar dragged, double-clicked
// and right-clicked, its menu's links chosen.
#include <gtest/gtest.h>

#include <cstdint>

#include "settings/settings.h"
#include "support/headless_program.h"
#include "text/number_text.h"
#include "traffic/speed_bar.h"

namespace lumora::traffic {
namespace {

using namespace ui::headless;
using testing::HeadlessProgram;
using testing::StartedPc;

// The wired connection of the PC without a scenario stands in for the hosted one, so
// that a test sets its counters itself.
constexpr std::string_view kCounted = "本地连接";

struct Pc : StartedPc {
  explicit Pc(std::string_view settingsFile = {}) : StartedPc(std::string_view{}, settingsFile) {}
  ui::SpeedBarWindow& bar() { return program.App().SpeedBar(); }
  void Count(std::uint64_t received, std::uint64_t sent) {
    program.pc.network.SetByteCounters(kCounted, received, sent);
  }
  std::string Setting(const settings::SettingKey& key) {
    return program.App().Settings().Read(key);
  }
};

TEST(TrafficFigures, ShowMegabytesTheirSumAndThePriceFromTheLabels) {
  struct Case {
    std::uint64_t received, sent;
    const char *upload, *download, *total, *amount;
  };
  Pc pc;
  pc.w().编辑框虚拟网卡.SetText(kCounted);
  ChooseTab(pc.w().选择夹1, ui::kTabTraffic);
  for (const Case& c : {Case{1572864, 3145728, "1.50 MB", "3.00 MB", "4.5 MB", "1.35 元"},
                        Case{0, 0, "0.00 MB", "0.00 MB", "0 MB", "0.00 元"},
                        Case{52429, 0, "0.05 MB", "0.00 MB", "0.05 MB", "0.02 元"},
                        Case{5242880, 5242880, "5.00 MB", "5.00 MB", "10 MB", "3.00 元"},
                        // The sum of the rounded figures, not the rounded sum: 0.01 MB.
                        Case{5243, 5243, "0.01 MB", "0.01 MB", "0.02 MB", "0.01 元"}}) {
    pc.Count(c.received, c.sent);
    pc.program.RunFor(1500);
    EXPECT_EQ(pc.w().标签本次上传流量.Text(), c.upload) << c.received;
    EXPECT_EQ(pc.w().标签本次下载流量.Text(), c.download) << c.sent;
    EXPECT_EQ(pc.w().标签本次总流量.Text(), c.total) << c.received << " " << c.sent;
    EXPECT_EQ(pc.w().标签本次总金额.Text(), c.amount) << c.received << " " << c.sent;
  }
  // Without a hosted connection the labels keep what they show.
  pc.w().编辑框虚拟网卡.SetText("");
  pc.Count(1572864, 1572864);
  pc.program.RunFor(1500);
  EXPECT_EQ(pc.w().标签本次上传流量.Text(), "0.01 MB");
}

TEST(SpeedBar, ShowsTheBytesOfEachSecondAndNoJumpAcrossCountings) {
  struct Step {
    std::uint64_t received, sent;
    const char *download, *upload;
  };
  Pc pc;
  pc.w().编辑框虚拟网卡.SetText(kCounted);
  const Step steps[] = {
      {5000000, 9000000, "0.0KB/S", "0.0KB/S"},  // the first reading: nothing to compare
      {5000000 + 1023, 9000000 + 512000, "500.0KB/S", "0.0KB/S"},
      {5001023 + 1048576, 9512000 + 1048576, "1.00MB/S", "1.00MB/S"},
      {6049599 + 1023000, 10560576 + 1023000, "999.0KB/S", "999.0KB/S"},
      {7072599 + 5368709120, 11583576 + 1300000, "1.24MB/S", "5120.00MB/S"},  // over 4 GB
      {1000, 12883576 + 2048, "2.0KB/S", "0.0KB/S"},  // the received counter was reset
      {1000 + 4096, 0, "0.0KB/S", "4.0KB/S"},
      {5096 + 1024000, 0, "0.0KB/S", "0.98MB/S"},  // 1000 KB is more than 999
  };
  for (const Step& step : steps) {
    pc.Count(step.received, step.sent);
    pc.program.RunFor(1000);
    EXPECT_EQ(pc.bar().下载透明标签.Text(), step.download) << step.sent;
    EXPECT_EQ(pc.bar().上传透明标签.Text(), step.upload) << step.received;
  }
  // A gap where the interface cannot be read starts a new counting too.
  pc.w().编辑框虚拟网卡.SetText("没有这个连接");
  pc.program.RunFor(1000);
  EXPECT_EQ(pc.bar().上传透明标签.Text(), "0.0KB/S");
  pc.w().编辑框虚拟网卡.SetText(kCounted);
  pc.Count(900000000, 900000000);
  pc.program.RunFor(1000);
  EXPECT_EQ(pc.bar().下载透明标签.Text(), "0.0KB/S");
  EXPECT_EQ(pc.bar().上传透明标签.Text(), "0.0KB/S");
}

TEST(SpeedBar, TheFirstTickAfterAnyPauseShowsNothingMoved) {
  struct Case {
    const char* pause;
    void (*stop)(Pc&);
    void (*resume)(Pc&);
  };
  const auto hotspotButton = [](Pc& pc) {
    Click(pc.w().按钮开始);
    pc.program.Settle();
    pc.w().编辑框虚拟网卡.SetText(kCounted);
  };
  for (const Case& c : {
           Case{"the box cleared and ticked again", [](Pc& pc) { Click(pc.w().选择框显示流量); },
                [](Pc& pc) { Click(pc.w().选择框显示流量); }},
           Case{"hidden from its menu, shown by the box",
                [](Pc& pc) { ChooseBalloonLink(pc.bar().气球提示框1, "m8"); },
                [](Pc& pc) { Click(pc.w().选择框显示流量); }},
           Case{"the hotspot stopped and started again", hotspotButton, hotspotButton},
       }) {
    Pc pc;
    Click(pc.w().选择框显示流量);
    if (c.stop == +hotspotButton) hotspotButton(pc);
    pc.w().编辑框虚拟网卡.SetText(kCounted);
    pc.Count(5000000, 9000000);
    pc.program.RunFor(1000);
    pc.Count(5000000 + 2048, 9000000 + 4096);
    pc.program.RunFor(1000);
    ASSERT_EQ(pc.bar().下载透明标签.Text(), "4.0KB/S") << c.pause;
    c.stop(pc);
    ASSERT_FALSE(pc.bar().时钟流量.Running()) << c.pause;
    pc.Count(900000000, 900000000);
    pc.program.RunFor(60000);
    c.resume(pc);
    pc.program.RunFor(1000);
    EXPECT_EQ(pc.bar().下载透明标签.Text(), "0.0KB/S") << c.pause;
    EXPECT_EQ(pc.bar().上传透明标签.Text(), "0.0KB/S") << c.pause;
    pc.Count(900000000 + 1024, 900000000 + 3072);
    pc.program.RunFor(1000);
    EXPECT_EQ(pc.bar().下载透明标签.Text(), "3.0KB/S") << c.pause;
    EXPECT_EQ(pc.bar().上传透明标签.Text(), "1.0KB/S") << c.pause;
    pc.program.Settle();
  }
}

TEST(SpeedBar, StaysOutOfTheSkinWhateverTheColour) {
  Pc pc;
  const ui::Skin& skin = pc.program.App().Skin();
  for (const int position : {0, 200, 340, 310}) {
    MoveSlider(pc.w().滑块条色调, position);
    EXPECT_TRUE(skin.Skinned(pc.w())) << position;
    EXPECT_FALSE(skin.Skinned(pc.bar())) << position;
  }
}

TEST(SpeedBar, StartsAtItsStoredPlaceAndRemembersWhereItIsDragged) {
  struct Case {
    std::string_view stored;  // flowposition/xy; empty: none
    ui::Rect place;
  };
  for (const Case& c : {Case{"", {1280 - 186, 800 - 118, 155, 23}},
                        Case{"1200|680", {1200, 680, 155, 23}}, Case{"1200", {3, 4, 155, 23}},
                        Case{"1|2|3", {3, 4, 155, 23}}, Case{"-20.9|7.5", {-20, 7, 155, 23}}}) {
    HeadlessProgram program;
    if (!c.stored.empty())
      program.PutFile(settings::kSettingsPath, "[flowposition]\r\nxy=" + std::string(c.stored));
    // Windows may move the window as it is made, before the stored place is applied; a
    // stored value that is no point leaves it there.
    program.onWindowLoaded = [](ui::WindowModel& window) {
      if (auto* bar = dynamic_cast<ui::SpeedBarWindow*>(&window)) NoteMoved(*bar, {3, 4, 155, 23});
    };
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.App().SpeedBar().Geometry(), c.place) << c.stored;
    // Neither that move nor applying the stored place writes anything.
    EXPECT_EQ(program.App().Settings().Read(settings::kSpeedBarPosition), c.stored);
    program.Settle();
  }

  Pc pc;
  NoteMoved(pc.bar(), {700, 500, 155, 23});
  EXPECT_EQ(pc.Setting(settings::kSpeedBarPosition), "700|500");
  // Where Windows parks a minimised window is no place to come back to.
  NoteMinimised(pc.bar(), true);
  NoteMoved(pc.bar(), {-32000, -32000, 155, 23});
  NoteMinimised(pc.bar(), false);
  NoteMoved(pc.bar(), {-32000, -32000, 155, 23});
  EXPECT_EQ(pc.Setting(settings::kSpeedBarPosition), "700|500");
  NoteMoved(pc.bar(), {-100, 40, 155, 23});  // a screen left of the primary one
  HeadlessProgram next;
  next.PutRawFile(settings::kSettingsPath, pc.program.RawFile(settings::kSettingsPath));
  ASSERT_TRUE(next.Start());
  EXPECT_EQ(next.App().SpeedBar().Geometry(), (ui::Rect{-100, 40, 155, 23}));
}

TEST(SpeedBar, OpensItsMenuAboveTheBarNearTheBottomOfTheScreenAndBelowItElsewhere) {
  struct Case {
    int top;
    ui::Point point;  // from the bar's top left corner: its top edge, or its bottom edge
  };
  Pc pc;
  EXPECT_EQ(pc.bar().透明标签1.Tip(), "显示WiFi的实时流量\r\n双击显示主界面，右击可隐藏");
  for (const Case& c : {Case{0, {77, 22}}, Case{800 - 130, {77, 22}}, Case{800 - 129, {77, 0}},
                        Case{800 - 100, {77, 0}}}) {
    NoteMoved(pc.bar(), {300, c.top, 155, 23});
    PressRightButton(pc.bar().透明标签1);
    EXPECT_EQ(pc.bar().气球提示框1.LastPoint(), c.point) << c.top;
  }
  EXPECT_EQ(pc.bar().气球提示框1.Text(),
            "<a msg=m7><font size=10pt>   显示主界面   </font></a></br>\r\n"
            "<a msg=m8><font size=10pt>   隐藏流量条   </font></a></br>\r\n"
            "<a msg=m9><font size=10pt>   退出WiFi   </font></a>");
}

TEST(SpeedBar, HidingItFromItsMenuClearsTheBoxAndLastsOverARestart) {
  Pc pc;
  Click(pc.w().选择框显示流量);
  EXPECT_EQ(pc.Setting(settings::kSpeedBarShown), "是");
  EXPECT_TRUE(pc.bar().Visible());
  EXPECT_EQ(pc.bar().时钟流量.Interval(), 1000);
  ChooseBalloonLink(pc.bar().气球提示框1, "m1");  // no link of this menu
  EXPECT_TRUE(pc.bar().Visible());

  ChooseBalloonLink(pc.bar().气球提示框1, "m8");
  EXPECT_FALSE(pc.bar().Visible());
  EXPECT_FALSE(pc.bar().时钟流量.Running());
  EXPECT_FALSE(pc.w().选择框显示流量.Checked());
  HeadlessProgram next;
  next.PutRawFile(settings::kSettingsPath, pc.program.RawFile(settings::kSettingsPath));
  ASSERT_TRUE(next.Start());
  EXPECT_FALSE(next.App().SpeedBar().Visible());
  EXPECT_FALSE(next.Main().选择框显示流量.Checked());
  next.Settle();

  Click(pc.w().选择框显示流量);
  Click(pc.w().选择框显示流量);
  EXPECT_EQ(pc.Setting(settings::kSpeedBarShown), "否");
  EXPECT_FALSE(pc.bar().Visible());
  EXPECT_FALSE(pc.bar().时钟流量.Running());
}

TEST(SpeedBar, BringsTheMainWindowBackCentredOrWhereItWas) {
  Pc pc;
  ui::MainWindow& w = pc.w();
  w.SetGeometry({5, 6, 430, 316});
  Click(w.按钮右下角);
  DoubleClick(pc.bar().透明标签1);
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.Geometry(), (ui::Rect{(1280 - 430) / 2, (800 - 316) / 2, 430, 316}));
  EXPECT_FALSE(w.Topmost());

  w.SetGeometry({5, 6, 430, 316});
  NoteMinimised(w, true);
  ChooseBalloonLink(pc.bar().气球提示框1, "m7");
  EXPECT_FALSE(w.Minimised());
  Click(w.按钮右下角);
  ChooseBalloonLink(pc.bar().气球提示框1, "m7");
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.Geometry(), (ui::Rect{5, 6, 430, 316}));
}

TEST(SpeedBar, ExitFromItsMenuEndsTheProgram) {
  Pc pc;
  Click(pc.w().选择框显示流量);
  ChooseBalloonLink(pc.bar().气球提示框1, "m9");
  pc.program.Settle();
  EXPECT_EQ(pc.program.exitCode, 0);
  EXPECT_FALSE(pc.bar().Visible());
  EXPECT_FALSE(pc.w().Visible());
  EXPECT_EQ(pc.w().托盘图标1.Image(), ui::TrayImage::None);
}

TEST(SpeedBar, TheBoxOnlyStoresTheSettingWhereNoBarWasLoaded) {
  platform::sim::Scenario xp;
  xp.reportedVersion = xp.environmentBlockVersion = {5, 1};
  HeadlessProgram program(xp);
  ASSERT_TRUE(program.Start());
  Click(program.Main().选择框显示流量);
  EXPECT_EQ(program.App().Settings().Read(settings::kSpeedBarShown), "是");
  EXPECT_FALSE(program.App().SpeedBar().Visible());
  EXPECT_FALSE(program.App().SpeedBar().时钟流量.Running());
}

TEST(SpeedBar, FiguresAndSpeedsGrowWhileTheDevicesOfTheHotspotMoveBytes) {
  Pc pc;
  Click(pc.w().选择框显示流量);
  Click(pc.w().按钮开始);
  pc.program.Settle();
  ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  ChooseTab(pc.w().选择夹1, ui::kTabTraffic);
  pc.program.RunFor(6000);
  const double download = text::LeadingNumber(pc.w().标签本次下载流量.Text());
  const double upload = text::LeadingNumber(pc.w().标签本次上传流量.Text());
  EXPECT_GT(download, 0);
  EXPECT_GT(upload, 0);
  EXPECT_NE(pc.bar().下载透明标签.Text(), "0.0KB/S");
  EXPECT_NE(pc.bar().上传透明标签.Text(), "0.0KB/S");
  pc.program.RunFor(6000);
  EXPECT_GT(text::LeadingNumber(pc.w().标签本次下载流量.Text()), download);
  EXPECT_GT(text::LeadingNumber(pc.w().标签本次上传流量.Text()), upload);
  EXPECT_GT(text::LeadingNumber(pc.w().标签本次总金额.Text()), 0);
  pc.program.Settle();
}

}  // namespace
}  // namespace lumora::traffic
