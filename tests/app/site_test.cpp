// What the program fetches from its web site at start, on the simulated PC: the
// announcement banner, the help text, the update offer and the statistics page.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "app/web_site.h"
#include "settings/settings.h"
#include "support/headless_program.h"

namespace lumora::app {
namespace {

using testing::HeadlessProgram;

constexpr std::string_view kUpdatePage = "/updata.txt";

platform::sim::Scenario WithUpdateInformation(std::string information) {
  platform::sim::Scenario scenario = platform::sim::DefaultScenario();
  scenario.site.pages[std::string(kUpdatePage)] = std::move(information);
  return scenario;
}

std::vector<ui::headless::HeadlessMessageBoxes::Shown> UpdateQuestions(HeadlessProgram& program) {
  std::vector<ui::headless::HeadlessMessageBoxes::Shown> questions;
  for (const auto& shown : program.messages.AllShown())
    if (shown.title == "更新提示") questions.push_back(shown);
  return questions;
}

TEST(Site, TheDefaultPcShowsTheBannerAndTheHelpAndOffersNoUpdate) {
  HeadlessProgram program;
  ASSERT_TRUE(program.Start());
  program.Settle();
  ui::MainWindow& w = program.Main();
  EXPECT_TRUE(w.分组框7.Visible());
  EXPECT_TRUE(w.超文本浏览框1.Visible());
  EXPECT_TRUE(w.超文本浏览框1.Enabled());
  EXPECT_EQ(w.超文本浏览框1.Text(), AnnouncementPageUrl());
  EXPECT_EQ(w.超文本浏览框1.Page(), program.pc.GetScenario().site.pages.at("/sygg.html"));
  EXPECT_EQ(w.简单超文本框1.Text(), program.pc.GetScenario().site.pages.at("/upwifi/bzxx.txt"));
  EXPECT_EQ(program.App().OfficialSiteUrl(), std::string(SiteAddress()) + "/");
  EXPECT_TRUE(UpdateQuestions(program).empty());
  // The update information twice, in its two ways; the statistics page once.
  const auto requests = program.pc.site.Requests();
  auto count = [&](const std::string& request) {
    return std::count(requests.begin(), requests.end(), request);
  };
  EXPECT_EQ(count("read " + UpdateInformationUrl()), 1);
  EXPECT_EQ(count("get " + UpdateInformationUrl()), 1);
  EXPECT_EQ(count("get " + StatisticsPageUrl()), 1);
  EXPECT_EQ(w.超文本浏览框2.Text(), StatisticsPageUrl());
  EXPECT_FALSE(w.超文本浏览框2.Visible());
}

TEST(Site, TheBannerShowsOnlyForTheValueOne) {
  const std::pair<const char*, bool> cases[] = {
      {"[up1]1[up2]", true},   {"[UP1]1[UP2]", true},   {"[Up1]1[uP2]", true},
      {"[up1] 1[up2]", false}, {"[up1]1 [up2]", false}, {"[up1]0[up2]", false},
      {"[up1]1", false},       {"[up2]1[up1]", false},  {"", false},
  };
  for (const auto& [information, shown] : cases) {
    HeadlessProgram program(WithUpdateInformation(information));
    ASSERT_TRUE(program.Start());
    program.Settle();
    EXPECT_EQ(program.Main().分组框7.Visible(), shown) << information;
    EXPECT_EQ(program.Main().超文本浏览框1.Visible(), shown) << information;
    EXPECT_EQ(program.Main().超文本浏览框1.Enabled(), shown) << information;
    EXPECT_EQ(program.Main().超文本浏览框1.Page().empty(), !shown) << information;
  }
}

TEST(Site, OffersOnlyANewerVersionWithTheNotesAsFetched) {
  struct Case {
    const char* information;
    const char* question;  // nullptr: none
  };
  const Case cases[] = {
      {"[version1]5.0[version2]", nullptr},
      {"[version1]4.9[version2]", nullptr},
      {"[version1]v5.1[version2]", nullptr},
      {"[version1]inf[version2]", nullptr},
      {"[version1]nan[version2]", nullptr},
      {"[version1]0x10[version2]", nullptr},
      {"[version1]5.1", nullptr},
      {"[version1]5.01[version2][content1]第一行\r\n  第二行[content2]",
       "亲！检测到最新V5.01版本，体验更好，是否下载更新……\r\n[更新内容]：\r\n第一行\r\n  第二行"},
      // The first start marker counts, with the first end marker after it.
      {"[version1]4.0[version2][version1]6.0[version2]", nullptr},
      {"[VERSION1]6.0[Version2]",
       "亲！检测到最新V6.0版本，体验更好，是否下载更新……\r\n[更新内容]：\r\n"},
  };
  for (const Case& c : cases) {
    HeadlessProgram program(WithUpdateInformation(c.information));
    ASSERT_TRUE(program.Start());
    program.Settle();
    const auto questions = UpdateQuestions(program);
    if (!c.question) {
      EXPECT_TRUE(questions.empty()) << c.information;
      continue;
    }
    ASSERT_EQ(questions.size(), 1u) << c.information;
    EXPECT_EQ(questions[0].text, c.question);
    EXPECT_EQ(questions[0].style, ui::kMessageYesNo);
    // Answered with No (the headless default): the program goes on.
    EXPECT_FALSE(program.exitCode.has_value());
    EXPECT_TRUE(program.pc.shell.OpenedUrls().empty());
  }
}

TEST(Site, AcceptingTheUpdateDuringAStartStopsItAndEndsTheProgram) {
  const platform::sim::Scenario scenario = WithUpdateInformation(
      "[version1]5.1[version2][downurl1]http://example.invalid/LumoraWiFi5.1.exe[downurl2]");
  // The platform calls the start-up makes before it asks the site for the update: the
  // next one is the auto-started hotspot's.
  int callsBeforeUpdate = 0;
  {
    HeadlessProgram baseline(scenario);
    baseline.pc.site.HoldRequests(true);
    ASSERT_TRUE(baseline.Start());
    const std::string updateRequest = "get " + UpdateInformationUrl();
    ASSERT_TRUE(baseline.PumpUntil([&] {
      const auto requests = baseline.pc.site.Requests();
      return std::find(requests.begin(), requests.end(), updateRequest) != requests.end();
    }));
    callsBeforeUpdate = baseline.pc.network.Calls();
    baseline.pc.site.HoldRequests(false);
    baseline.Settle();
  }

  HeadlessProgram program(scenario);
  program.PutFile(settings::kSettingsPath, "[qidong]\r\nqidong=y\r\n");
  program.messages.KeepBoxesOpen();
  program.pc.network.HoldCall(callsBeforeUpdate + 1);
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(program.PumpUntil(
      [&] { return program.messages.OpenBoxes() == 1 && program.pc.network.CallHeld(); }));
  // The auto-started hotspot is under way when the user answers.
  EXPECT_EQ(program.Main().按钮开始.Text(), "启动中\r\n请稍后");
  ASSERT_TRUE(program.messages.AnswerOpenBox(ui::kAnswerYes));
  program.pc.network.ReleaseHeldCall();
  ASSERT_TRUE(program.PumpUntil([&] { return program.exitCode.has_value(); }));
  program.Settle();
  EXPECT_EQ(program.exitCode, 0);
  EXPECT_EQ(program.pc.shell.OpenedUrls(),
            std::vector<std::string>{"http://example.invalid/LumoraWiFi5.1.exe"});
  // Opened where COM is ready for the shell: on the UI thread, which runs this test.
  EXPECT_EQ(program.pc.shell.OpeningThreads(),
            std::vector<std::thread::id>{std::this_thread::get_id()});
  EXPECT_FALSE(program.Main().Visible());
  EXPECT_FALSE(program.pc.network.HostedNetwork().allowed);
  EXPECT_EQ(program.pc.network.Sharing().publicConnection, "");
  EXPECT_EQ(program.Main().托盘图标1.Image(), ui::TrayImage::None);
  // The services were never prepared: the program ended inside the update check.
  EXPECT_EQ(program.pc.network.Service("SharedAccess").startType, 4u);
}

TEST(Site, AnAddressFromTheSiteOpensOnlyWhenItIsAWebAddress) {
  std::vector<std::pair<std::string, bool>> cases = {
      {"http://example.invalid/a.exe", true},
      {"HTTPS://example.invalid/a.exe", true},
      {"", false},
      {"http://", false},
      {"file:///C:/Windows/System32/calc.exe", false},
      {"C:\\Windows\\System32\\calc.exe", false},
      {"\\\\server\\share\\setup.exe", false},
      {"calc.exe", false},
      {"http://example.invalid/a b.exe", false},
      {"http://example.invalid/\ta.exe", false},
      {"http://example.invalid/\x7f", false},
      {" http://example.invalid/", false},
      {"javascript:alert(1)", false},
  };
  for (const std::string& hostile : testing::HostileTexts()) cases.push_back({hostile, false});
  for (const auto& [address, opens] : cases) {
    EXPECT_EQ(IsWebAddress(address), opens) << address;
    // The download address: whatever it is, a Yes ends the program.
    HeadlessProgram program(
        WithUpdateInformation("[version1]9[version2][downurl1]" + address + "[downurl2]"));
    program.messages.AnswerNext(ui::kAnswerYes);
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.PumpUntil([&] { return program.exitCode.has_value(); })) << address;
    program.Settle();
    EXPECT_EQ(program.pc.shell.OpenedUrls().size(), opens ? 1u : 0u) << address;
    // The official site of the tray menu.
    HeadlessProgram site(WithUpdateInformation("[gwurl1]" + address + "[gwurl2]"));
    ASSERT_TRUE(site.Start());
    site.Settle();
    ui::Choose(site.Main().菜单_官方网站);
    EXPECT_EQ(site.pc.shell.OpenedUrls().size(), opens ? 1u : 0u) << address;
  }
}

TEST(Site, ALinkOfTheBannerOrTheHelpOpensItsWebAddressOnly) {
  HeadlessProgram program;
  ASSERT_TRUE(program.Start());
  program.Settle();
  ui::ChooseLink(program.Main().超文本浏览框1, "http://example.invalid/news");
  ui::ChooseLink(program.Main().简单超文本框1, "file:///C:/Windows/System32/calc.exe");
  ui::ChooseLink(program.Main().简单超文本框1, "https://example.invalid/help");
  EXPECT_EQ(
      program.pc.shell.OpenedUrls(),
      (std::vector<std::string>{"http://example.invalid/news", "https://example.invalid/help"}));
}

TEST(Site, AnUnreachableSiteLeavesEverythingEmptyAndAsksNothing) {
  platform::sim::Scenario scenario = platform::sim::ParseScenario("[site]\nreachable=no\n");
  HeadlessProgram program(scenario);
  ASSERT_TRUE(program.Start());
  program.Settle();
  ui::MainWindow& w = program.Main();
  EXPECT_FALSE(w.分组框7.Visible());
  EXPECT_FALSE(w.超文本浏览框1.Visible());
  EXPECT_FALSE(w.超文本浏览框1.Enabled());
  EXPECT_EQ(w.简单超文本框1.Text(), "");
  EXPECT_EQ(program.App().OfficialSiteUrl(), "");
  EXPECT_TRUE(program.messages.AllShown().empty());
  ui::Choose(w.菜单_官方网站);
  EXPECT_TRUE(program.pc.shell.OpenedUrls().empty());
  // The start-up went on to the end.
  EXPECT_EQ(program.pc.network.Service("SharedAccess").startType, 3u);
}

TEST(Site, TheProgramEndsWhileTheSiteHoldsItsAnswers) {
  HeadlessProgram program;
  program.pc.site.HoldRequests(true);
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(program.PumpUntil([&] { return program.pc.site.RequestsWaiting() > 0; }));
  ui::Choose(program.Main().菜单_退出);
  // Every worker leaves, the ones waiting for the site too, which give their requests up.
  program.Settle();
  EXPECT_TRUE(program.exitCode.has_value());
  EXPECT_EQ(program.pc.site.RequestsWaiting(), 0);
  EXPECT_EQ(program.Main().简单超文本框1.Text(), "");
}

TEST(Site, TheWayOutEndsTheStatisticsPagesRequestToo) {
  // The start-up worker starts the statistics page's worker and keeps no handle of it;
  // that request is held when the user leaves. Once the way out has run, no worker of
  // the program is left, without the UI thread's help.
  for (int attempt = 0;; ++attempt) {
    ASSERT_LT(attempt, 5) << "the statistics page was always asked for before the hold";
    HeadlessProgram program;
    ASSERT_TRUE(program.Start());
    auto asked = [&](const std::string& request) {
      const auto requests = program.pc.site.Requests();
      return std::find(requests.begin(), requests.end(), request) != requests.end();
    };
    const std::string statistics = "get " + StatisticsPageUrl();
    // Once the update information is fetched, the statistics page comes only after a
    // step of the UI thread.
    ASSERT_TRUE(program.PumpUntil([&] { return asked("get " + UpdateInformationUrl()); }));
    program.pc.site.HoldRequests(true);
    if (asked(statistics)) continue;
    ASSERT_TRUE(program.PumpUntil([&] { return asked(statistics); }));
    ui::Choose(program.Main().菜单_退出);
    ASSERT_EQ(program.exitCode, 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (program.App().Exec().RunningWorkers() > 0 && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(program.App().Exec().RunningWorkers(), 0);
    EXPECT_EQ(program.pc.site.RequestsWaiting(), 0);
    return;
  }
}

TEST(Site, ASecondCopyShowsNothingOfWhatItsAnnouncementCheckFindsLate) {
  HeadlessProgram program;
  program.pc.site.HoldRequests(true);
  program.pc.instances.AddWindowTitled(std::string(ui::kMainWindowTitle));
  EXPECT_FALSE(program.Start());
  // The site answers after this copy has given up its window.
  program.pc.site.HoldRequests(false);
  program.Settle();
  EXPECT_FALSE(program.Main().分组框7.Visible());
  EXPECT_EQ(program.Main().简单超文本框1.Text(), "");
}

}  // namespace
}  // namespace lumora::app
