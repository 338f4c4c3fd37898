// The button "扫码连接" and its window on simulated PCs: which network the code names on
// each start path, and every way the window goes.
#include <gtest/gtest.h>

#include <functional>

#include "app/join_code_offer.h"
#include "support/headless_program.h"

namespace lumora::app {
namespace {

using namespace ui::headless;

constexpr std::string_view kWindows7 = testing::kWindows7Pc;

// A mobile hotspot's machine; the first value of a key counts, so its own keys come
// before the later PC's.
const std::string kMobilePc =
    std::string(testing::kDriverWithoutHostedNetwork) + std::string(testing::kLaterPc);

struct Pc : testing::StartedPc {
  explicit Pc(std::string_view scenario = testing::kLaterPc) : StartedPc(scenario) {}
  ui::JoinCodeWindow& code() { return program.App().JoinCode(); }
  void Press(ui::Button& button) {
    Click(button);
    program.Settle();
  }
};

TEST(JoinCode, TheCodeNamesTheNetworkEachStartPathGaveTheSystem) {
  struct Path {
    const char* what;
    std::string scenario;
    // What the machine took, as phones see it.
    std::function<std::pair<std::string, std::string>(Pc&)> taken;
  };
  const Path paths[] = {
      {"netsh", std::string(kWindows7),
       [](Pc& pc) {
         const auto hosted = pc.program.pc.network.HostedNetwork();
         return std::pair{hosted.ssid, hosted.passPhrase};
       }},
      {"WLAN service", std::string(testing::kLaterPc),
       [](Pc& pc) {
         const auto hosted = pc.program.pc.network.HostedNetwork();
         return std::pair{hosted.ssid, hosted.passPhrase};
       }},
      {"mobile hotspot", kMobilePc,
       [](Pc& pc) {
         const auto mobile = pc.program.pc.network.MobileHotspot();
         return std::pair{mobile.ssid, mobile.passPhrase};
       }},
  };
  for (const Path& path : paths) {
    SCOPED_TRACE(path.what);
    Pc pc(path.scenario);
    // Blanks at the ends past the three the start takes out, which netsh drops, and
    // every character the code escapes.
    Type(pc.w().编辑框名称, "    家;里,的:Wi\\Fi  ");
    Type(pc.w().编辑框密码, "    p;a,s:s\\12 34  ");
    EXPECT_FALSE(pc.w().按钮扫码.Visible());
    pc.Press(pc.w().按钮开始);
    ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
    EXPECT_TRUE(pc.w().按钮扫码.Visible());
    EXPECT_FALSE(pc.code().Visible());

    pc.Press(pc.w().按钮扫码);
    ASSERT_TRUE(pc.code().Visible());
    EXPECT_EQ(pc.code().Title(), "扫码连接WiFi");
    const auto [name, passPhrase] = path.taken(pc);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(pc.code().画板_二维码.Modules(),
              ui::EncodeQrCode(ui::WifiJoinText(name, passPhrase)));
    EXPECT_EQ(pc.code().标签_WiFi名称.Text(), "WiFi名称：" + name);
    EXPECT_EQ(pc.code().标签_WiFi密码.Text(), "WiFi密码：" + passPhrase);
    EXPECT_EQ(pc.code().标签_扫码说明.Text(), "用手机相机扫描二维码即可连接WiFi");
  }
}

TEST(JoinCode, TheWindowOpensOverTheMainWindowAndIsOwnedByIt) {
  Pc pc;
  pc.Press(pc.w().按钮开始);
  pc.Press(pc.w().按钮扫码);
  EXPECT_EQ(pc.code().Look().owner, &pc.w());
  const ui::Rect main = pc.w().Geometry();
  const ui::Rect own = pc.code().Geometry();
  EXPECT_EQ(own.left + own.width / 2, main.left + main.width / 2);
  EXPECT_EQ(own.top + own.height / 2, main.top + main.height / 2);
}

TEST(JoinCode, EveryWayTheHotspotOrTheWindowEndsClosesIt) {
  struct Way {
    const char* what;
    std::string scenario;
    std::function<void(Pc&)> act;
    bool running;  // the hotspot still runs afterwards
  };
  const Way ways[] = {
      {"Esc", std::string(testing::kLaterPc), [](Pc& pc) { PressEscape(pc.code()); }, true},
      {"close box", std::string(testing::kLaterPc), [](Pc& pc) { RequestClose(pc.code()); }, true},
      {"stop", std::string(testing::kLaterPc), [](Pc& pc) { pc.Press(pc.w().按钮开始); }, false},
      {"netsh stop", std::string(kWindows7), [](Pc& pc) { pc.Press(pc.w().按钮开始); }, false},
      {"exit", std::string(testing::kLaterPc), [](Pc& pc) { Choose(pc.w().菜单_退出); }, false},
      {"main window closed", std::string(testing::kLaterPc), [](Pc& pc) { RequestClose(pc.w()); },
       false},
      {"system switched the mobile hotspot off for good", kMobilePc,
       [](Pc& pc) {
         for (int off = 0; off < 4; ++off) {
           pc.program.pc.network.SwitchMobileHotspotOff();
           pc.program.RunFor(5000);
           pc.program.Settle();
         }
       },
       false},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    Pc pc(way.scenario);
    pc.Press(pc.w().按钮开始);
    pc.Press(pc.w().按钮扫码);
    ASSERT_TRUE(pc.code().Visible());
    way.act(pc);
    pc.program.Settle();
    EXPECT_FALSE(pc.code().Visible());
    EXPECT_EQ(pc.w().按钮扫码.Visible(), way.running);
    if (!way.running) continue;
    // Once closed by hand it opens again.
    pc.Press(pc.w().按钮扫码);
    EXPECT_TRUE(pc.code().Visible());
  }
}

TEST(JoinCode, ARestartClosesTheWindowAndGivesTheButtonBackOnceItRunsAgain) {
  Pc pc;
  pc.Press(pc.w().按钮开始);
  pc.Press(pc.w().按钮扫码);
  Release(pc.w().超级链接框_重启);
  pc.program.Settle();
  ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  EXPECT_FALSE(pc.code().Visible());
  EXPECT_TRUE(pc.w().按钮扫码.Visible());
}

}  // namespace
}  // namespace lumora::app
