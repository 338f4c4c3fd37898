#include "platform/sim/scenario.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora::platform::sim {
namespace {

TEST(Scenario, ReadsTheMachineAndKeepsDefaultsForWhatIsMissingOrMalformed) {
  const Scenario none = ParseScenario("");
  EXPECT_EQ(none.reportedVersion, (SystemVersion{6, 1}));
  EXPECT_EQ(none.environmentBlockVersion, (SystemVersion{6, 1}));
  EXPECT_EQ(none.screen.width, 1280);

  const Scenario later = ParseScenario(
      "[System]\r\nversion = 6.2\r\nscreen=1920x1080\r\nprogram_path=D:\\热点\\LumoraWiFi.exe\r\n");
  EXPECT_EQ(later.reportedVersion, (SystemVersion{6, 2}));
  EXPECT_EQ(later.environmentBlockVersion, (SystemVersion{6, 2}));  // follows version
  EXPECT_EQ(later.screen.width, 1920);
  EXPECT_EQ(later.screen.height, 1080);
  EXPECT_EQ(later.programPath, "D:\\热点\\LumoraWiFi.exe");

  const Scenario compatible =
      ParseScenario("[system]\nversion=10.0\nenvironment_version=5.1\n");
  EXPECT_EQ(compatible.reportedVersion, (SystemVersion{10, 0}));
  EXPECT_EQ(compatible.environmentBlockVersion, (SystemVersion{5, 1}));

  const Scenario malformed = ParseScenario("[system]\nversion=seven\nscreen=0x600\nscreen2=1\n");
  EXPECT_EQ(malformed.reportedVersion, (SystemVersion{6, 1}));
  EXPECT_EQ(malformed.screen.width, 1280);

  // The display scaling gives the screen's DPI; without one, or with one Windows does
  // not offer, it is 100 %.
  const struct {
    const char* scale;
    int dpi;
  } scales[] = {
      {"", 96},           {"scale=150\n", 144}, {"scale=125%\n", 120}, {"scale=500%\n", 480},
      {"scale=99\n", 96}, {"scale=1.5\n", 96},  {"scale=%\n", 96},     {"scale=-150\n", 96},
  };
  for (const auto& c : scales) {
    const Scenario scaled = ParseScenario(std::string("[system]\nscreen=1920x1080\n") + c.scale);
    EXPECT_EQ(scaled.screen.dpi, c.dpi) << c.scale;
    EXPECT_EQ(scaled.screen.width, 1920) << c.scale;
  }
}

}  // namespace
}  // namespace lumora::platform::sim

namespace lumora::platform::sim {
namespace {

TEST(Scenario, DescribesConnectionsServicesAndFaults) {
  const Scenario scenario = ParseScenario(R"(
[system]
version=6.2
[connection2]
name=WLAN
kind=wireless
status=7
mac=0A-1B-2C-3D-4E-5F
[connection1]
name=本地连接* 3
kind=hosted
[network]
internet=LAN 连接
administrator=no
[service.MpsSvc]
start_type=4
can_start=no
[faults]
wmi_fails=yes
logon_task_refused=yes
[registry]
run_value=C:\旧\LumoraWiFi.exe
logon_task=C:\新\LumoraWiFi.exe
)");
  ASSERT_EQ(scenario.connections.size(), 2u);
  EXPECT_EQ(scenario.connections[0].name, "本地连接* 3");  // by section number
  EXPECT_EQ(scenario.connections[0].description, "Microsoft 托管网络虚拟适配器");
  EXPECT_EQ(scenario.connections[1].status, 7);
  EXPECT_EQ(scenario.connections[1].interfaceType, 71u);
  EXPECT_EQ(scenario.connections[1].physicalAddress,
            (std::vector<std::uint8_t>{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
  EXPECT_NE(scenario.connections[0].guid, scenario.connections[1].guid);
  EXPECT_EQ(scenario.internetConnection, "LAN 连接");
  EXPECT_FALSE(scenario.administrator);
  EXPECT_EQ(scenario.services.at("MpsSvc").startType, 4u);
  EXPECT_FALSE(scenario.services.at("MpsSvc").canStart);
  EXPECT_EQ(scenario.services.at("SharedAccess").startType, 4u);
  EXPECT_TRUE(scenario.wmiFails);
  EXPECT_FALSE(scenario.sharingObjectMissing);
  EXPECT_TRUE(scenario.logonTaskRefused);
  EXPECT_EQ(scenario.runValue, "C:\\旧\\LumoraWiFi.exe");
  EXPECT_EQ(scenario.logonTask, "C:\\新\\LumoraWiFi.exe");

  const Scenario plain = DefaultScenario();
  ASSERT_EQ(plain.connections.size(), 2u);
  EXPECT_EQ(plain.connections[0].name, "本地连接");
  EXPECT_EQ(plain.connections[1].name, "无线网络连接");
  EXPECT_FALSE(plain.logonTaskRefused);
  EXPECT_EQ(plain.logonTask, std::nullopt);
}

}  // namespace
}  // namespace lumora::platform::sim
