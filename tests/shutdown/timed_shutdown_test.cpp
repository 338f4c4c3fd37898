// Timed shutdown on the simulated PC: armed from the box, the list of hours and Enter in
// the combo box; counted down on the manual clock; the power-off asked of the port.
#include "shutdown/timed_shutdown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "support/headless_program.h"

namespace lumora::shutdown {
namespace {

using namespace ui::headless;
using testing::StartedPc;
using Request = platform::sim::SimulatedPowerOff::Request;

constexpr int kEnter = 13;

struct Pc : StartedPc {
  explicit Pc(std::string_view scenario = {}) : StartedPc(scenario) {}
  // Types the hours and presses Enter, which ticks the box.
  void Arm(std::string_view hours) {
    Type(w().组合框_关机, hours);
    PressKey(w().组合框_关机, kEnter);
  }
  std::string Label() { return w().标签关机.Text(); }
  std::vector<Request> Requests() { return program.pc.power.Requests(); }
  void Seconds(int seconds) { program.RunFor(static_cast<std::uint32_t>(seconds) * 1000); }
  // The workers of a running hotspot let time pass on the clock too, so that a number of
  // seconds is not a number of ticks: a test runs to what it waits for, within limits.
  bool RunUntil(const std::function<bool()>& reached) {
    for (int step = 0; step < 1200 && !reached(); ++step) program.RunFor(100);
    return reached();
  }
  // Runs action once the countdown's last second has begun its wait.
  void DuringTheLastWait(std::function<void()> action) {
    // Each post carries a copy of the step: a step that held itself would never be freed.
    struct Step {
      Pc* pc;
      std::function<void()> action;
      void operator()() const {
        if (pc->w().时钟关机.Running()) {
          pc->program.dispatcher.Post(*this);
        } else {
          action();
        }
      }
    };
    program.dispatcher.Post(Step{this, std::move(action)});
  }
};

TEST(TimedShutdown, CountsDownFromTheHoursChosenOrTyped) {
  struct Case {
    std::string_view hours;
    const char *armed, *afterOneTick;
  };
  for (const Case& c :
       {Case{"0.5", "00时30分00秒后关机", "00时29分59秒后关机"},
        Case{"1", "01时00分00秒后关机", "00时59分59秒后关机"},
        Case{"1.01", "01时00分36秒后关机", "01时00分35秒后关机"},
        Case{"0", "00时00分00秒后关机", "00时00分59秒后关机"},
        Case{"abc", "00时00分00秒后关机", "00时00分59秒后关机"},
        Case{"inf", "00时00分00秒后关机", "00时00分59秒后关机"},
        Case{"0x30", "00时00分00秒后关机", "00时00分59秒后关机"},
        Case{"100 小时", "100时00分00秒后关机", "99时59分59秒后关机"},
        Case{"2147483647", "2147483647时00分00秒后关机", "2147483646时59分59秒后关机"}}) {
    Pc pc;
    pc.Arm(c.hours);
    EXPECT_TRUE(pc.w().选择框关机.Checked()) << c.hours;
    EXPECT_TRUE(pc.w().标签关机.Visible()) << c.hours;
    EXPECT_EQ(pc.Label(), c.armed) << c.hours;
    pc.Seconds(1);
    EXPECT_EQ(pc.Label(), c.afterOneTick) << c.hours;
  }
  // An item of the list arms at once; other keys than Enter do nothing.
  Pc pc;
  Type(pc.w().组合框_关机, "3");
  PressKey(pc.w().组合框_关机, 'A');
  EXPECT_FALSE(pc.w().选择框关机.Checked());
  Choose(pc.w().组合框_关机, 0);
  EXPECT_EQ(pc.Label(), "00时30分00秒后关机");
  EXPECT_EQ(pc.w().时钟关机.Interval(), 1000);
}

TEST(TimedShutdown, NegativeOrOverlargeHoursArmNothing) {
  for (std::string_view hours : {"-0.0001", "-1", "-1e400", "1e10", "1e400", "2147483648"}) {
    Pc pc;
    pc.Arm("0.5");
    pc.Arm(hours);
    EXPECT_FALSE(pc.w().选择框关机.Checked()) << hours;
    EXPECT_FALSE(pc.w().标签关机.Visible()) << hours;
    EXPECT_FALSE(pc.w().时钟关机.Running()) << hours;
    pc.Seconds(120);
    EXPECT_TRUE(pc.Requests().empty()) << hours;
  }
}

TEST(TimedShutdown, PowersOffAfterTheCountdownWithTheHotspotTakenDown) {
  Pc pc;
  pc.Arm("1");
  pc.Seconds(3598);
  EXPECT_EQ(pc.Label(), "00时00分02秒后关机");
  EXPECT_TRUE(pc.Requests().empty());
  pc.Seconds(1);
  pc.program.Settle();
  EXPECT_EQ(pc.Requests(), (std::vector<Request>{{platform::kExitPowerOff, 0}}));
  EXPECT_EQ(pc.Label(), "00时00分01秒后关机");
  EXPECT_FALSE(pc.w().时钟关机.Running());
  EXPECT_TRUE(pc.w().选择框关机.Checked());
}

TEST(TimedShutdown, BringsTheWindowUpAt45SecondsAndStopsTheHotspotAtTheEnd) {
  Pc pc;
  Click(pc.w().按钮开始);
  pc.program.Settle();
  ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  pc.w().SetGeometry({5, 6, 430, 316});
  Click(pc.w().按钮右下角);
  pc.Arm("0");
  ASSERT_TRUE(pc.RunUntil([&] { return pc.Label() == "00时00分46秒后关机"; }));
  EXPECT_FALSE(pc.w().Visible());
  ASSERT_TRUE(pc.RunUntil([&] { return pc.Label() == "00时00分45秒后关机"; }));
  EXPECT_TRUE(pc.w().Visible());
  EXPECT_EQ(pc.w().Geometry(), (ui::Rect{(1280 - 430) / 2, (800 - 316) / 2, 430, 316}));
  ASSERT_TRUE(pc.RunUntil([&] { return !pc.Requests().empty(); }));
  pc.program.Settle();
  EXPECT_EQ(pc.w().按钮开始.Text(), "开启WiFi");
  EXPECT_TRUE(pc.program.pc.network.Sharing().publicConnection.empty());
  EXPECT_EQ(pc.Requests().size(), 1u);
}

TEST(TimedShutdown, ACancelOrANewCountdownStopsThePowerOffUpToTheLastMoment) {
  {
    Pc pc;
    pc.Arm("0.5");
    pc.Seconds(10);
    Click(pc.w().选择框关机);
    EXPECT_FALSE(pc.w().标签关机.Visible());
    pc.Seconds(1800);
    EXPECT_TRUE(pc.Requests().empty());
  }
  {
    Pc pc;
    pc.Arm("0");
    pc.DuringTheLastWait([&] { Click(pc.w().选择框关机); });
    pc.Seconds(70);
    pc.program.Settle();
    EXPECT_TRUE(pc.Requests().empty());
    EXPECT_FALSE(pc.w().标签关机.Visible());
  }
  {
    Pc pc;
    pc.Arm("0");
    pc.DuringTheLastWait([&] { Choose(pc.w().组合框_关机, 0); });
    pc.Seconds(59);
    pc.program.Settle();
    EXPECT_TRUE(pc.Requests().empty());
    EXPECT_TRUE(pc.Label().starts_with("00时29分5")) << pc.Label();
    EXPECT_TRUE(pc.w().时钟关机.Running());
  }
}

TEST(TimedShutdown, AWayOutInTheLastSecondsEndsTheCountdownForGood) {
  struct Way {
    const char* name;
    std::function<void(Pc&)> take;
  };
  const Way ways[] = {
      {"退出", [](Pc& pc) { Choose(pc.w().菜单_退出); }},
      {"close box", [](Pc& pc) { RequestClose(pc.w()); }},
      {"退出WiFi",
       [](Pc& pc) { ChooseBalloonLink(pc.program.App().SpeedBar().气球提示框1, "m9"); }},
  };
  for (const Way& way : ways) {
    // Ticking the box again once the program is on its way out arms nothing either.
    for (const bool tickAgain : {false, true}) {
      Pc pc;
      pc.Arm("0");
      pc.DuringTheLastWait([&] {
        way.take(pc);
        if (!tickAgain) return;
        Click(pc.w().选择框关机);
        Click(pc.w().选择框关机);
      });
      pc.Seconds(70);
      pc.program.Settle();
      EXPECT_EQ(pc.program.exitCode, 0) << way.name;
      EXPECT_TRUE(pc.Requests().empty()) << way.name << tickAgain;
      EXPECT_FALSE(pc.w().时钟关机.Running()) << way.name << tickAgain;
    }
  }
}

TEST(TimedShutdown, WithoutTheShutdownPrivilegeThePcStaysOn) {
  Pc pc("[faults]\r\nshutdown_privilege_missing=yes\r\n");
  testing::ExpectedFailureReports reports;
  pc.Arm("0");
  pc.Seconds(59);
  pc.program.Settle();
  EXPECT_TRUE(pc.Requests().empty());
  ASSERT_EQ(reports.Lines().size(), 1u);
  EXPECT_TRUE(reports.Lines()[0].starts_with("AdjustTokenPrivileges: ")) << reports.Lines()[0];
  EXPECT_EQ(pc.Label(), "00时00分01秒后关机");
  EXPECT_TRUE(pc.w().选择框关机.Checked());
  // Ticking the box again arms anew.
  Click(pc.w().选择框关机);
  Click(pc.w().选择框关机);
  EXPECT_EQ(pc.Label(), "00时00分00秒后关机");
  EXPECT_TRUE(pc.w().时钟关机.Running());
}

}  // namespace
}  // namespace lumora::shutdown
