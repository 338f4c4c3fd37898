// The start options of the settings tab: starting with Windows through the Run value and
// the logon task, starting the hotspot as the program opens, and the warning beside them.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/run_at_logon.h"
#include "settings/settings.h"
#include "support/headless_program.h"

namespace lumora::app {
namespace {

using testing::HeadlessProgram;

constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

platform::sim::Scenario ProgramAt(std::string path, std::optional<std::string> runValue = {},
                                  bool readOnly = false,
                                  std::optional<std::string> logonTask = {}) {
  platform::sim::Scenario scenario = platform::sim::DefaultScenario();
  scenario.programPath = std::move(path);
  scenario.runValue = std::move(runValue);
  scenario.runKeyReadOnly = readOnly;
  scenario.logonTask = std::move(logonTask);
  return scenario;
}

TEST(StartOptions, TickingWritesTheFullPathAndClearingDeletesIt) {
  HeadlessProgram program(ProgramAt("D:\\工具\\LumoraWiFi\\LumoraWiFi.exe"));
  ASSERT_TRUE(program.Start());
  program.Settle();
  ui::MainWindow& w = program.Main();
  EXPECT_FALSE(w.选择框_开机启动.Checked());
  ui::Click(w.选择框_开机启动);
  EXPECT_TRUE(w.选择框_开机启动.Checked());
  EXPECT_EQ(program.pc.registry.Value(kRunKey, "lmrawifiqd"),
            "D:\\工具\\LumoraWiFi\\LumoraWiFi.exe");
  EXPECT_EQ(program.pc.logonTasks.RegisteredProgram("lmrawifiqd"),
            "D:\\工具\\LumoraWiFi\\LumoraWiFi.exe");
  ui::Click(w.选择框_开机启动);
  EXPECT_FALSE(w.选择框_开机启动.Checked());
  EXPECT_EQ(program.pc.registry.Value(kRunKey, "lmrawifiqd"), std::nullopt);
  EXPECT_EQ(program.pc.logonTasks.RegisteredProgram("lmrawifiqd"), std::nullopt);
  // Clearing it when the value is not there changes nothing.
  ui::Click(w.选择框_开机启动);
  ui::Click(w.选择框_开机启动);
  EXPECT_FALSE(w.选择框_开机启动.Checked());
  EXPECT_TRUE(program.messages.AllShown().empty());
}

TEST(StartOptions, AMovedProgramStillFindsItsValue) {
  HeadlessProgram program(ProgramAt("C:\\新位置\\LumoraWiFi.exe", "C:\\旧位置\\LumoraWiFi.exe",
                                    false, "C:\\旧位置\\LumoraWiFi.exe"));
  ASSERT_TRUE(program.Start());
  program.Settle();
  EXPECT_TRUE(program.Main().选择框_开机启动.Checked());
  // Setting the box from the start-up wrote nothing.
  EXPECT_EQ(program.pc.registry.Changes(), 0);
  EXPECT_EQ(program.pc.logonTasks.Changes(), 0);
  EXPECT_EQ(program.pc.registry.Value(kRunKey, "lmrawifiqd"), "C:\\旧位置\\LumoraWiFi.exe");
  // Ticking again replaces both with this copy's path.
  ui::Click(program.Main().选择框_开机启动);
  ui::Click(program.Main().选择框_开机启动);
  EXPECT_TRUE(program.Main().选择框_开机启动.Checked());
  EXPECT_EQ(program.pc.registry.Value(kRunKey, "lmrawifiqd"), "C:\\新位置\\LumoraWiFi.exe");
  EXPECT_EQ(program.pc.logonTasks.RegisteredProgram("lmrawifiqd"), "C:\\新位置\\LumoraWiFi.exe");
}

TEST(StartOptions, TheBoxIsTickedAtStartByTheValueAndAValueWithoutItsTaskIsReported) {
  // Windows does not start an elevated program from the Run value while User Account
  // Control is on: a value without its task (as an older version left it) still ticks the
  // box, as the value always has, and is reported; ticking again puts both in place.
  struct Case {
    const char* name;
    std::optional<std::string> runValue, logonTask;
    bool ticked;
  };
  const std::string path = "C:\\LumoraWiFi.exe";
  for (const Case& c : {Case{"neither", {}, {}, false}, Case{"value alone", path, {}, true},
                        Case{"task alone", {}, path, false}, Case{"both", path, path, true}}) {
    HeadlessProgram program(ProgramAt(path, c.runValue, false, c.logonTask));
    {
      std::optional<testing::ExpectedFailureReports> reports;
      if (c.runValue && !c.logonTask) reports.emplace();
      ASSERT_TRUE(program.Start());
      program.Settle();
      if (reports) {
        const auto lines = reports->Lines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
          return line.find("the Run value has no logon task") != std::string::npos;
        })) << c.name;
      }
    }
    ui::MainWindow& w = program.Main();
    EXPECT_EQ(w.选择框_开机启动.Checked(), c.ticked) << c.name;
    EXPECT_EQ(program.pc.registry.Changes() + program.pc.logonTasks.Changes(), 0) << c.name;
    if (c.runValue && c.logonTask) continue;
    // Ticking it (again, where the value ticked it) puts both in place.
    if (c.ticked) ui::Click(w.选择框_开机启动);
    ui::Click(w.选择框_开机启动);
    EXPECT_TRUE(w.选择框_开机启动.Checked()) << c.name;
    EXPECT_EQ(program.pc.registry.Value(kRunKey, "lmrawifiqd"), path) << c.name;
    EXPECT_EQ(program.pc.logonTasks.RegisteredProgram("lmrawifiqd"), path) << c.name;
  }
}

TEST(StartOptions, ATaskThatCannotBeRegisteredLeavesTheBoxClearAndIsLogged) {
  struct Case {
    std::optional<std::string> runValue;
  };
  for (const Case& c : {Case{std::nullopt}, Case{"C:\\旧版本\\LumoraWiFi.exe"}}) {
    platform::sim::Scenario scenario = ProgramAt("C:\\LumoraWiFi.exe", c.runValue);
    scenario.logonTaskRefused = true;
    HeadlessProgram program(scenario);
    {
      // An older version's value ticks the box, without its task; the user clears it.
      std::optional<testing::ExpectedFailureReports> reports;
      if (c.runValue) reports.emplace();
      ASSERT_TRUE(program.Start());
      program.Settle();
      if (c.runValue) {
        ASSERT_TRUE(program.Main().选择框_开机启动.Checked());
        ui::Click(program.Main().选择框_开机启动);
      }
    }
    ui::MainWindow& w = program.Main();
    testing::ExpectedFailureReports reports;
    ui::Click(w.选择框_开机启动);
    EXPECT_FALSE(w.选择框_开机启动.Checked());
    // No value is written that would claim a start.
    EXPECT_EQ(program.pc.registry.Value(kRunKey, "lmrawifiqd"), std::nullopt);
    EXPECT_EQ(program.pc.logonTasks.RegisteredProgram("lmrawifiqd"), std::nullopt);
    const std::vector<std::string> lines = reports.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("StartWithWindows: the logon task cannot be registered"))
        << lines[0];
    EXPECT_TRUE(program.messages.AllShown().empty());
  }
}

TEST(StartOptions, AReadOnlyKeyLeavesTheBoxAtWhatTheRegistryHolds) {
  struct Case {
    std::optional<std::string> runValue;
  };
  for (const Case& c : {Case{std::nullopt}, Case{"C:\\LumoraWiFi.exe"}}) {
    HeadlessProgram program(ProgramAt("C:\\LumoraWiFi.exe", c.runValue, true, c.runValue));
    ASSERT_TRUE(program.Start());
    program.Settle();
    ui::MainWindow& w = program.Main();
    const bool held = c.runValue.has_value();
    EXPECT_EQ(w.选择框_开机启动.Checked(), held);
    ui::Click(w.选择框_开机启动);
    EXPECT_EQ(w.选择框_开机启动.Checked(), held);
    EXPECT_EQ(program.pc.registry.Value(kRunKey, "lmrawifiqd"), c.runValue);
    // The task goes and comes with its value: none is left to start the program while
    // the box is clear, and a value that stays keeps its task.
    EXPECT_EQ(program.pc.logonTasks.RegisteredProgram("lmrawifiqd"), c.runValue);
    EXPECT_TRUE(program.messages.AllShown().empty());
  }
}

TEST(StartOptions, TheTwoLogonStartsLeaveOneCopy) {
  // With User Account Control off Windows starts the program from the Run value as well
  // as from the task, at the same moment, with the same path and no arguments: the
  // second copy meets the first one's instance and leaves.
  const std::string path = "C:\\LumoraWiFi.exe";
  HeadlessProgram program(ProgramAt(path, path, false, path));
  ASSERT_EQ(program.pc.logonTasks.RegisteredProgram("lmrawifiqd"),
            program.pc.registry.Value(kRunKey, "lmrawifiqd"));
  ASSERT_TRUE(program.Start());
  ui::headless::HeadlessMessageBoxes messages;
  std::optional<int> secondEnded;
  Application second(program.platform, program.dispatcher, messages,
                     {[](ui::WindowModel&) {}, [&](int code) { secondEnded = code; }});
  // The first copy's window, as Windows finds it a little later.
  program.dispatcher.Post([&] { program.pc.instances.AddWindowTitled("LumoraWiFi5.0"); });
  EXPECT_FALSE(second.Start());
  EXPECT_FALSE(second.Main().Visible());
  EXPECT_EQ(program.pc.instances.ShownWindows(), std::vector<std::string>{"LumoraWiFi5.0"});
  program.Settle();
  EXPECT_TRUE(program.Main().Visible());
  EXPECT_TRUE(program.Main().选择框_开机启动.Checked());
  EXPECT_TRUE(messages.AllShown().empty());
}

TEST(StartOptions, AutoStartWritesItsSettingAndOnlyYStartsTheHotspot) {
  HeadlessProgram program;
  ASSERT_TRUE(program.Start());
  program.Settle();
  ui::Click(program.Main().选择框_启动);
  EXPECT_EQ(program.App().Settings().Read(settings::kAutoStart), "y");
  ui::Click(program.Main().选择框_启动);
  EXPECT_EQ(program.App().Settings().Read(settings::kAutoStart), "n");

  const std::pair<const char*, bool> cases[] = {{"y", true}, {"Y", false}, {"n", false}};
  for (const auto& [value, starts] : cases) {
    HeadlessProgram next;
    next.PutFile(settings::kSettingsPath, std::string("[qidong]\r\nqidong=") + value + "\r\n");
    ASSERT_TRUE(next.Start());
    next.Settle();
    EXPECT_EQ(next.Main().选择框_启动.Checked(), starts) << value;
    EXPECT_EQ(next.pc.network.HostedNetwork().starts > 0, starts) << value;
    // The box was set from code: its setting is as it was.
    EXPECT_EQ(next.App().Settings().Read(settings::kAutoStart), value);
  }
}

TEST(StartOptions, TheWarningExplainsDialUpWhateverTheBoxes) {
  HeadlessProgram program;
  ASSERT_TRUE(program.Start());
  program.Settle();
  ui::Release(program.Main().画板_叹号);
  ui::Click(program.Main().选择框_开机启动);
  ui::Release(program.Main().画板_叹号);
  const auto shown = program.messages.AllShown();
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& box : shown) {
    EXPECT_EQ(box.title, "注意");
    EXPECT_EQ(box.style, ui::kMessageIconInformation);
    EXPECT_EQ(box.text,
              "[注意]：\r\n拨号上网的的电脑请不要勾选[开机打开软件]，否则WiFi没有网络。\r\n"
              "开机直接上网的电脑可以勾选。\r\n（因为要在有网络环境下打开软件才能正常开启WiFi）");
  }
}

// The three modes over a registry that records what it is asked.
TEST(RunAtLogon, ModesAndTheSubkeyFallback) {
  platform::sim::Scenario scenario;
  platform::sim::SimulatedRegistry registry(scenario);
  EXPECT_EQ(RunAtLogon(registry, "lmrawifiqd", {}, RunAtLogonMode::Test), 0);
  EXPECT_EQ(RunAtLogon(registry, "lmrawifiqd", "C:\\a b\\x.exe", RunAtLogonMode::Write), 0);
  EXPECT_EQ(registry.Value(kRunKey, "LMRAWIFIQD"), "C:\\a b\\x.exe");
  EXPECT_EQ(RunAtLogon(registry, "lmrawifiqd", {}, RunAtLogonMode::Test), 1);
  // A name with a backslash names a deeper key.
  RunAtLogon(registry, "sub\\name", "v", RunAtLogonMode::Write);
  EXPECT_EQ(registry.Value(std::string(kRunKey) + "\\sub", "name"), "v");
  const int before = registry.Changes();
  // A value that is not there: the delete tries the subkey of that name as well.
  RunAtLogon(registry, "missing", {}, RunAtLogonMode::Delete);
  EXPECT_EQ(registry.Changes(), before + 2);
  RunAtLogon(registry, "lmrawifiqd", {}, RunAtLogonMode::Delete);
  EXPECT_EQ(RunAtLogon(registry, "lmrawifiqd", {}, RunAtLogonMode::Test), 0);
  EXPECT_EQ(registry.Changes(), before + 3);
}

}  // namespace
}  // namespace lumora::app
