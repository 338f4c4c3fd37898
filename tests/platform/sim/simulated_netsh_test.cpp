// The simulated netsh: Windows' texts for the commands the program runs, in both
// languages, and what each command does to the simulated PC.
#include "platform/sim/simulated_netsh.h"

#include <gtest/gtest.h>

#include "platform/sim/simulated_pc.h"
#include "support/test_support.h"

namespace lumora::platform::sim {
namespace {

// A captured text as netsh hands it to the console: UTF-8 with CR LF.
std::string Captured(std::string_view path) {
  return testing::FixtureWithCrLf("netsh/" + std::string(path));
}

constexpr std::string_view kAllow =
    "wlan set hostednetwork mode=allow ssid=\"热点\" key=\"12345678\"";
constexpr std::string_view kEnglish = "[system]\nlanguage=en-US\n";
constexpr std::string_view kLater = "[system]\nversion=6.2\n";
constexpr std::string_view kNotAdmin = "[network]\nadministrator=no\n";

TEST(SimNetsh, AnswersWithWindowsTextsAndChangesTheHostedNetwork) {
  struct Row {
    std::string scenario;
    std::vector<std::string_view> before;  // run first, answers not looked at
    std::string_view command;
    std::string answer;  // a captured text by its path, or "=" and the exact answer
    int stateAfter;
    std::string_view connectionAfter;  // the virtual adapter's connection
  };
  const std::string en = std::string(kEnglish);
  const Row rows[] = {
      // Configuring: Windows 7 shows the virtual adapter as soon as the network is allowed.
      {"", {}, kAllow, "zh-CN/wlan-set-hostednetwork-allow.ok.txt", 1, "无线网络连接 2"},
      {en, {}, kAllow, "en-US/wlan-set-hostednetwork-allow.ok.txt", 1, "无线网络连接 2"},
      {std::string(kLater), {}, kAllow, "zh-CN/wlan-set-hostednetwork-allow.ok.txt", 1, ""},
      {"", {}, "wlan set hostednetwork mode=allow", "=承载网络模式已设置为允许。\r\n\r\n", 1,
       "无线网络连接 2"},
      {en, {}, "WLAN SET HOSTEDNETWORK MODE=ALLOW KEY=abcdefgh",
       "=The hosted network mode has been set to allow. \r\n"
       "The user key passphrase of the hosted network has been successfully changed. \r\n\r\n",
       1, "无线网络连接 2"},
      {"", {kAllow}, "wlan set hostednetwork mode=disallow",
       "zh-CN/wlan-set-hostednetwork-disallow.ok.txt", 0, ""},
      {en, {kAllow}, "wlan set hostednetwork mode=disallow",
       "en-US/wlan-set-hostednetwork-disallow.ok.txt", 0, ""},
      // Starting and stopping.
      {"", {kAllow}, "wlan start hostednetwork", "zh-CN/wlan-start-hostednetwork.ok.txt", 2,
       "无线网络连接 2"},
      {en + "version=6.2\n", {kAllow}, "wlan start hostednetwork",
       "en-US/wlan-start-hostednetwork.ok.txt", 2, "本地连接* 12"},
      {"", {}, "wlan start hostednetwork", "zh-CN/wlan-start-hostednetwork.bad-state.txt", 0, ""},
      {"", {"wlan set hostednetwork mode=allow"}, "wlan start hostednetwork",
       "zh-CN/wlan-start-hostednetwork.bad-state.txt", 1, "无线网络连接 2"},  // no SSID yet
      {"", {kAllow, "wlan start hostednetwork"}, "wlan stop hostednetwork",
       "zh-CN/wlan-stop-hostednetwork.ok.txt", 1, "无线网络连接 2"},
      {std::string(kLater), {kAllow, "wlan start hostednetwork"}, "wlan stop hostednetwork",
       "zh-CN/wlan-stop-hostednetwork.ok.txt", 1, ""},
      {en, {}, "wlan stop hostednetwork", "en-US/wlan-stop-hostednetwork.ok.txt", 0, ""},
      {"", {kAllow, "wlan start hostednetwork"}, "wlan set hostednetwork mode=disallow",
       "zh-CN/wlan-set-hostednetwork-disallow.ok.txt", 0, ""},
      // The radio, the driver and the adapter.
      {"[faults]\nradio=off\n", {kAllow}, "wlan start hostednetwork",
       "zh-CN/wlan-start-hostednetwork.radio-off-win7.txt", 0, "无线网络连接 2"},
      {en + "[hosted]\nradio=off\n", {kAllow}, "wlan start hostednetwork",
       "en-US/wlan-start-hostednetwork.radio-off.txt", 0, "无线网络连接 2"},
      {"[faults]\nhosted_supported=no\n", {kAllow}, "wlan start hostednetwork",
       "zh-CN/wlan-start-hostednetwork.bad-state.txt", 0, ""},
      {en + "[faults]\nhosted_supported=no\n", {kAllow}, "wlan start hostednetwork",
       "en-US/wlan-start-hostednetwork.bad-state.txt", 0, ""},
      {"[network]\nwireless_interfaces=0\n", {kAllow}, "wlan start hostednetwork",
       "zh-CN/wlan-start-hostednetwork.bad-state.txt", 0, ""},
      // Without administrator rights every change is refused, in its family's words.
      {std::string(kNotAdmin), {}, kAllow, "zh-CN/wlan-any.not-admin.txt", 0, ""},
      {en + std::string(kNotAdmin), {}, kAllow, "en-US/wlan-any.not-admin.txt", 0, ""},
      {"[hosted]\nmode=allow\nssid=x\n" + std::string(kNotAdmin), {}, "wlan start hostednetwork",
       "zh-CN/wlan-any.not-admin.txt", 1, "无线网络连接 2"},
      {"[hosted]\nmode=allow\n" + std::string(kNotAdmin), {},
       "wlan set hostednetwork mode=disallow", "zh-CN/wlan-any.not-admin.txt", 1,
       "无线网络连接 2"},
      {en + std::string(kNotAdmin), {}, "wlan stop hostednetwork", "en-US/wlan-any.not-admin.txt",
       0, ""},
      {std::string(kNotAdmin), {},
       "interface ip set address name=\"本地连接\" source=static addr=192.168.137.1 "
       "mask=255.255.255.0 gwmetric=1",
       "zh-CN/interface-any.not-admin.txt", 0, ""},
      {en + std::string(kNotAdmin), {},
       "interface ip set address name=\"本地连接\" source=static addr=192.168.137.1 "
       "mask=255.255.255.0 gwmetric=1",
       "en-US/interface-any.not-admin.txt", 0, ""},
      // Setting an address.
      {"", {},
       "interface ip set address name=\"本地连接\" source=static addr=10.0.0.2 mask=255.0.0.0",
       "zh-CN/interface-ip-set-address.ok.txt", 0, ""},
      {en, {},
       "interface ip set address name=\"Nowhere\" source=static addr=10.0.0.2 mask=255.0.0.0",
       "en-US/interface-ip-set-address.bad-name.txt", 0, ""},
      {"", {}, "interface ip set address name=\"\" source=static addr=10.0.0.2 mask=255.0.0.0",
       "=文件名、目录名或卷标语法不正确。\r\n\r\n", 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.command) + " on " + row.scenario);
    SimulatedPc pc(ParseScenario(row.scenario));
    for (std::string_view command : row.before) pc.netsh.Run(command);
    const std::string answer = pc.netsh.Run(row.command);
    EXPECT_EQ(answer, row.answer.starts_with('=') ? row.answer.substr(1) : Captured(row.answer));
    const SimulatedNetwork::HostedNetworkView hosted = pc.network.HostedNetwork();
    EXPECT_EQ(hosted.state, row.stateAfter);
    EXPECT_EQ(hosted.connection, row.connectionAfter);
  }
}

TEST(SimNetsh, SplitsItsArgumentsAsWindowsProgramsDo) {
  struct Row {
    std::string_view command;
    std::string_view ssid, key;
  };
  const Row rows[] = {
      {"wlan set hostednetwork mode=allow ssid=\"my net\" key=\"1234 5678\"", "my net",
       "1234 5678"},
      {"wlan set hostednetwork mode=allow ssid=my net key=12345678", "my", "12345678"},
      {"wlan set hostednetwork mode=allow ssid=\"网 \"x key=87654321", "网 x", "87654321"},
      {"wlan  set  hostednetwork  ssid=a=b", "a=b", ""},
      // Backslashes before a quote: doubled they stay, single they make it literal.
      {"wlan set hostednetwork mode=allow ssid=\"net\\\\\" key=\"pass\\\\word\\\"", "net\\",
       "pass\\\\word\""},
      {"wlan set hostednetwork ssid=\"a\\\" b\" key=\"\"", "a\" b", ""},
      // Keys netsh's own checks would turn away are kept as given.
      {"wlan set hostednetwork mode=allow ssid=n key=1234567", "n", "1234567"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    SimulatedPc pc(DefaultScenario());
    pc.netsh.Run(row.command);
    EXPECT_EQ(pc.network.HostedNetwork().ssid, row.ssid);
    EXPECT_EQ(pc.network.HostedNetwork().passPhrase, row.key);
  }
}

TEST(SimNetsh, AnswersCommandsItDoesNotKnowWithALineThatNamesThem) {
  for (std::string_view command :
       {"wlan show profiles", "wlan start hostednetwork now", "wlan set hostednetwork",
        "wlan set hostednetwork mode=maybe", "wlan set hostednetwork colour=red",
        "interface ip set address name=x source=static", "interface ip set address source=dhcp",
        "interface ip set address name=x source=static addr=1.2.3 mask=255.0.0.0", ""}) {
    SCOPED_TRACE(command);
    SimulatedPc pc(DefaultScenario());
    const std::string answer = pc.netsh.Run(command);
    EXPECT_FALSE(answer.empty());
    EXPECT_EQ(answer.find("\n"), answer.find("\r\n") + 1);
    EXPECT_EQ(pc.network.HostedNetwork().allowed, false);
  }
  SimulatedPc en(ParseScenario(kEnglish));
  EXPECT_EQ(en.netsh.Run("wlan show profiles"),
            "The following command was not found: wlan show profiles.\r\n\r\n");
}

TEST(SimNetsh, ListsTheDriverWithOrWithoutTheHostedNetwork) {
  SimulatedPc zh(DefaultScenario());
  EXPECT_NE(zh.netsh.Run("wlan show drivers").find("支持的承载网络  : 是"), std::string::npos);
  SimulatedPc en(ParseScenario(std::string(kEnglish) + "[hosted]\nhosted_supported=no\n"));
  EXPECT_NE(en.netsh.Run("wlan show drivers").find("Hosted network supported  : No\r\n"),
            std::string::npos);
  SimulatedPc none(ParseScenario("[network]\nwireless_interfaces=0\n"));
  EXPECT_EQ(none.netsh.Run("wlan show drivers"), "系统上没有无线接口。\r\n\r\n");
  // A list without the hosted network's line ends with the line before it.
  SimulatedPc unlisted(ParseScenario("[hosted]\nhosted_line_in_drivers=no\n"));
  const std::string drivers = unlisted.netsh.Run("wlan show drivers");
  EXPECT_EQ(drivers.find("承载网络"), std::string::npos);
  EXPECT_TRUE(drivers.ends_with("支持 802.11w 管理帧保护 : 是\r\n\r\n")) << drivers;
}

TEST(SimNetsh, ShowsTheHostedNetworkInTheCapturedLayout) {
  // The captures themselves, from machines in those states.
  SimulatedPc zh(ParseScenario("[hosted]\nmode=allow\nssid=wayap\nradio=off\n"));
  EXPECT_EQ(zh.netsh.Run("wlan show hostednetwork"), Captured("zh-CN/wlan-show-hostednetwork.txt"));
  SimulatedPc en(ParseScenario(std::string(kEnglish) + "[hosted]\nmode=allow\nssid=hamid\n"));
  EXPECT_EQ(en.netsh.Run("wlan show hostednetwork"), Captured("en-US/wlan-show-hostednetwork.txt"));

  en.netsh.Run("wlan set hostednetwork ssid=\"my net\"");
  en.netsh.Run("wlan start hostednetwork");
  const std::string started = en.netsh.Run("wlan show hostednetwork");
  EXPECT_NE(started.find("    SSID name              : \"my net\"\r\n"), std::string::npos);
  EXPECT_NE(started.find("    Status                 : Started\r\n"
                         "    BSSID                  : 00:00:00:00:00:00\r\n"),
            std::string::npos);
  EXPECT_NE(started.find("    Number of clients      : 0\r\n\r\n"), std::string::npos);
  EXPECT_EQ(started.find("Authenticated"), std::string::npos);

  SimulatedPc later(ParseScenario("[system]\nversion=6.2\n[hosted]\npeer_limit=8\n"));
  const std::string disallowed = later.netsh.Run("wlan show hostednetwork");
  EXPECT_NE(disallowed.find("    模式                   : 已禁用\r\n"), std::string::npos);
  EXPECT_NE(disallowed.find("    SSID 名称              :“”\r\n"), std::string::npos);
  EXPECT_NE(disallowed.find("    最多客户端数  : 8\r\n"), std::string::npos);
  EXPECT_NE(disallowed.find("    状态                 : 不可用\r\n"), std::string::npos);
  later.netsh.Run(kAllow);
  const std::string idle = later.netsh.Run("wlan show hostednetwork");
  EXPECT_NE(idle.find("    状态                 : 未启动\r\n"), std::string::npos);
  later.netsh.Run("wlan start hostednetwork");
  const std::string running = later.netsh.Run("wlan show hostednetwork");
  EXPECT_NE(running.find("    模式                   : 已启用\r\n"), std::string::npos);
  EXPECT_NE(running.find("    SSID 名称              :“热点”\r\n"), std::string::npos);
  EXPECT_NE(running.find("    状态                 : 已启动\r\n"), std::string::npos);
}

TEST(SimNetsh, ListsEveryInterfaceAddressThenTheLoopback) {
  SimulatedPc zh(DefaultScenario());
  zh.netsh.Run(kAllow);
  zh.netsh.Run("wlan start hostednetwork");
  const std::string loopback =
      "接口 \"Loopback Pseudo-Interface 1\" 的配置\r\n"
      "    DHCP 已启用:                          否\r\n"
      "    IP 地址:                           127.0.0.1\r\n"
      "    子网前缀:                        127.0.0.0/8 (掩码 255.0.0.0)\r\n"
      "    InterfaceMetric:                      50\r\n\r\n";
  EXPECT_EQ(zh.netsh.Run("interface ipv4 show addresses"),
            "\r\n"
            "接口 \"本地连接\" 的配置\r\n"
            "    DHCP 已启用:                          是\r\n"
            "    InterfaceMetric:                      10\r\n\r\n"
            "接口 \"无线网络连接\" 的配置\r\n"
            "    DHCP 已启用:                          是\r\n"
            "    InterfaceMetric:                      25\r\n\r\n"
            "接口 \"无线网络连接 2\" 的配置\r\n"
            "    DHCP 已启用:                          是\r\n"
            "    InterfaceMetric:                      30\r\n\r\n" +
                loopback);
  // The loopback block is the capture's own.
  const std::string capture = Captured("zh-CN/interface-ipv4-show-addresses.txt");
  EXPECT_EQ(capture.substr(capture.find("接口 \"Loopback")), loopback);

  // The program's fixed address for the hosted connection turns DHCP off.
  EXPECT_EQ(zh.netsh.Run("interface ip set address name=\"无线网络连接 2\" source=static "
                         "addr=192.168.137.1 mask=255.255.255.0 gwmetric=1"),
            "\r\n");
  EXPECT_EQ(zh.network.DhcpOf("无线网络连接 2"), false);
  EXPECT_EQ(zh.network.AddressOf("无线网络连接 2"), "192.168.137.1");
  EXPECT_NE(zh.netsh.Run("interface ip show address")
                .find("接口 \"无线网络连接 2\" 的配置\r\n"
                      "    DHCP 已启用:                          否\r\n"
                      "    IP 地址:                           192.168.137.1\r\n"
                      "    子网前缀:                        192.168.137.0/24 "
                      "(掩码 255.255.255.0)\r\n"
                      "    InterfaceMetric:                      30\r\n\r\n"),
            std::string::npos);
  zh.netsh.Run("interface ipv4 set address name=\"无线网络连接 2\" source=dhcp");
  EXPECT_EQ(zh.network.DhcpOf("无线网络连接 2"), true);
  EXPECT_EQ(zh.network.AddressOf("无线网络连接 2"), "");

  // English, with the name matched ignoring case and the mask given as a length.
  SimulatedPc en(ParseScenario(std::string(kEnglish) + "[connection1]\nname=Local Area Connection\n"
                               "[connection2]\nname=Dial\nkind=dialup\nstatus=0\n"));
  en.netsh.Run("interface ip set address name=\"local area connection\" source=static "
               "addr=10.10.16.113/20");
  EXPECT_EQ(en.netsh.Run("interface ipv4 show addresses"),
            "\r\n"
            "Configuration for interface \"Local Area Connection\"\r\n"
            "    DHCP enabled:                         No\r\n"
            "    IP Address:                           10.10.16.113\r\n"
            "    Subnet Prefix:                        10.10.16.0/20 (mask 255.255.240.0)\r\n"
            "    InterfaceMetric:                      10\r\n\r\n"
            "Configuration for interface \"Loopback Pseudo-Interface 1\"\r\n"
            "    DHCP enabled:                         No\r\n"
            "    IP Address:                           127.0.0.1\r\n"
            "    Subnet Prefix:                        127.0.0.0/8 (mask 255.0.0.0)\r\n"
            "    InterfaceMetric:                      50\r\n\r\n");
}

TEST(SimNetsh, SharingsPrivateSideHasItsAddressOnDhcpUntilItIsFixed) {
  SimulatedPc pc(DefaultScenario());
  pc.netsh.Run(kAllow);
  auto sharePrivately = [&](bool on) {
    pc.network.WalkEveryConnection([&](SharedConnection& c) {
      if (c.Name() != "无线网络连接 2") return true;
      on ? c.EnableSharing(SharingType::Private) : c.DisableSharing();
      return true;
    });
  };
  auto hostedBlock = [&] {
    const std::string all = pc.netsh.Run("interface ipv4 show addresses");
    const std::size_t from = all.find("接口 \"无线网络连接 2\"");
    return all.substr(from, all.find("\r\n\r\n", from) - from);
  };
  sharePrivately(true);
  EXPECT_EQ(hostedBlock(),
            "接口 \"无线网络连接 2\" 的配置\r\n"
            "    DHCP 已启用:                          是\r\n"
            "    IP 地址:                           192.168.137.1\r\n"
            "    子网前缀:                        192.168.137.0/24 (掩码 255.255.255.0)\r\n"
            "    InterfaceMetric:                      30");
  sharePrivately(false);
  EXPECT_EQ(pc.network.AddressOf("无线网络连接 2"), "");
  // An address set by hand outlives the sharing.
  pc.netsh.Run("interface ip set address name=\"无线网络连接 2\" source=static addr=192.168.137.1 "
               "mask=255.255.255.0");
  sharePrivately(true);
  sharePrivately(false);
  EXPECT_EQ(pc.network.AddressOf("无线网络连接 2"), "192.168.137.1");
  EXPECT_NE(hostedBlock().find("否"), std::string::npos);
}

TEST(SimNetsh, IsInstalledInTheConsoleAndAnswersInCodePage936) {
  SimulatedPc pc(DefaultScenario());
  EXPECT_EQ(pc.console.Run("netsh wlan set hostednetwork mode=allow ssid=a key=12345678", {}),
            testing::FixtureAsConsoleBytes("netsh/zh-CN/wlan-set-hostednetwork-allow.ok.txt"));
  EXPECT_EQ(pc.console.Run("NETSH.EXE wlan start hostednetwork", {}),
            testing::FixtureAsConsoleBytes("netsh/zh-CN/wlan-start-hostednetwork.ok.txt"));
  EXPECT_EQ(pc.network.HostedNetwork().state, 2);
}

TEST(SimNetsh, AnswersThatTheWlanServiceIsNotRunningWhenItIsMissing) {
  SimulatedPc zh(ParseScenario("[faults]\nwlan_service_missing=yes\n"));
  for (std::string_view command : {kAllow, std::string_view("wlan start hostednetwork"),
                                   std::string_view("wlan show hostednetwork")})
    EXPECT_EQ(zh.netsh.Run(command), "无线自动配置服务(wlansvc)没有运行。\r\n\r\n");
  EXPECT_FALSE(zh.network.HostedNetwork().allowed);
  SimulatedPc en(ParseScenario(std::string(kEnglish) + "[faults]\nwlan_service_missing=yes\n"));
  EXPECT_EQ(en.netsh.Run("wlan stop hostednetwork"),
            "The Wireless AutoConfig Service (wlansvc) is not running.\r\n\r\n");
}

}  // namespace
}  // namespace lumora::platform::sim
