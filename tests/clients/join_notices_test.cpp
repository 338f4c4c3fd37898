// The tray icon's notices of devices that join the running hotspot or are cut off, the
// box that switches them off, and the click on a notice.
#include "clients/join_notices.h"

#include <gtest/gtest.h>

#include "clients/list_files.h"
#include "settings/settings.h"
#include "support/headless_program.h"
#include "text/cp936.h"

namespace lumora::clients {
namespace {

// A Windows 7 PC whose devices join at different times: two at once right after the
// start, one after 20 s and two more after 40 s.
const std::string kPc = std::string(testing::kWindows7Pc) + R"(
[client1]
mac=AA-BB-CC-00-00-01
ip=192.168.137.10
host=android-5a1b2c.mshome.net
[client2]
mac=AA-BB-CC-00-00-02
ip=192.168.137.11
host=iPhone.mshome.net
[client3]
mac=AA-BB-CC-00-00-03
ip=192.168.137.12
host=MY-PC.mshome.net
join=20
[client4]
mac=AA-BB-CC-00-00-04
ip=192.168.137.13
join=40
[client5]
mac=AA-BB-CC-00-00-05
ip=192.168.137.14
host=laptop
join=40
)";

struct Pc : testing::StartedPc {
  explicit Pc(std::string_view settingsFile = {}) : StartedPc(kPc, settingsFile) {}
  ui::TrayIcon& tray() { return w().托盘图标1; }
  int Notices() { return tray().NoticeCount(); }
  ui::TrayIcon::Notice Last() { return tray().LastNotice(); }
  void Start() {
    Click(w().按钮开始);
    program.Settle();
    ASSERT_EQ(w().按钮开始.Text(), "关闭WiFi");
  }
  void Stop() {
    Click(w().按钮开始);
    program.Settle();
    ASSERT_EQ(w().按钮开始.Text(), "开启WiFi");
  }
  // Lets the scans of that many seconds run.
  void Scans(int seconds) {
    program.RunFor(static_cast<std::uint32_t>(seconds) * 1000);
    program.Settle();
  }
  void Put(std::string_view path, std::string_view text) { program.PutFile(path, text); }
  platform::sim::SimulatedNetwork& network() { return program.pc.network; }
  std::string StoredSetting() {
    return settings::Settings(program.drive).Read(settings::kJoinNotices);
  }
};

void ExpectNotice(const ui::TrayIcon::Notice& notice, std::string_view title, std::string_view text,
                  std::string_view what) {
  EXPECT_EQ(notice.title, title) << what;
  EXPECT_EQ(notice.text, text) << what;
}

TEST(JoinNotices, TheTextsNameEachDeviceAndListAFewOfMany) {
  const NoticedDevice phone{"192.168.137.10", "AA-BB-CC-00-00-01", "安卓设备"};
  const NoticedDevice unnamed{"192.168.137.11", "AA-BB-CC-00-00-02", ""};
  ExpectNotice(JoinNotice({phone}), "新设备连接",
               "安卓设备\nIP地址：192.168.137.10\nMAC地址：AA-BB-CC-00-00-01", "one");
  ExpectNotice(JoinNotice({unnamed}), "新设备连接",
               "未知设备\nIP地址：192.168.137.11\nMAC地址：AA-BB-CC-00-00-02", "no name");
  ExpectNotice(JoinNotice({phone, unnamed}), "2台新设备连接",
               "安卓设备（192.168.137.10）\n未知设备（192.168.137.11）", "two");
  ExpectNotice(BlockedNotice({phone}), "已拦截", "安卓设备", "one blocked");
  ExpectNotice(BlockedNotice({phone, unnamed}), "已拦截", "安卓设备\nAA-BB-CC-00-00-02",
               "a blocked one without a name is shown by its MAC");
  // Many: five lines, then one that stands for the rest; the title counts them all.
  std::vector<NoticedDevice> many(7, phone);
  const ui::TrayIcon::Notice manyJoined = JoinNotice(many);
  EXPECT_EQ(manyJoined.title, "7台新设备连接");
  std::string five;
  for (int i = 0; i < 5; ++i) five += "安卓设备（192.168.137.10）\n";
  EXPECT_EQ(manyJoined.text, five + "……");
  EXPECT_EQ(BlockedNotice(many).text, "安卓设备\n安卓设备\n安卓设备\n安卓设备\n安卓设备\n……");
}

TEST(JoinNotices, TheFirstScanToldInOneNoticeAndEachNewcomerOnce) {
  Pc pc;
  pc.Start();
  EXPECT_EQ(pc.Notices(), 0);
  // The first scan finds the two that joined during the start: one notice for both.
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 1);
  ExpectNotice(pc.Last(), "2台新设备连接", "安卓设备（192.168.137.10）\n苹果手机（192.168.137.11）",
               "first scan");
  // Scans that find no one new tell nothing.
  pc.Scans(12);
  EXPECT_EQ(pc.Notices(), 1);
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 2);
  ExpectNotice(pc.Last(), "新设备连接", "MY-PC\nIP地址：192.168.137.12\nMAC地址：AA-BB-CC-00-00-03",
               "one newcomer");
  // A device whose name no look-up finds is told of by its addresses.
  pc.Scans(18);
  EXPECT_EQ(pc.Notices(), 3);
  ExpectNotice(pc.Last(), "2台新设备连接", "未知设备（192.168.137.13）\nlaptop（192.168.137.14）",
               "two newcomers");
  pc.Scans(12);
  EXPECT_EQ(pc.Notices(), 3);
}

TEST(JoinNotices, LookUpsThatOutlastTheTickDelayTheNoticeByOneScanOnly) {
  Pc pc;
  pc.Start();
  pc.network().HoldNameLookUps(true);
  pc.program.RunFor(6000);
  ASSERT_TRUE(pc.program.PumpUntil([&] { return pc.network().NameLookUpsWaiting() == 1; }));
  EXPECT_EQ(pc.Notices(), 0);
  // The next tick ends that scan; the new one tells of both before it looks them up.
  pc.program.RunFor(6000);
  ASSERT_TRUE(pc.program.PumpUntil([&] { return pc.Notices() == 1; }));
  ExpectNotice(pc.Last(), "2台新设备连接", "未知设备（192.168.137.10）\n未知设备（192.168.137.11）",
               "told unnamed");
  pc.w().时钟_黑.SetInterval(0);
  pc.network().HoldNameLookUps(false);
  pc.program.Settle();
  EXPECT_EQ(pc.Notices(), 1);
}

TEST(JoinNotices, EachStartBeginsANewRunAndAModeSwitchDoesNot) {
  Pc pc;
  pc.Start();
  pc.Scans(6);
  ASSERT_EQ(pc.Notices(), 1);
  // The switches clear the neighbour table: the devices are found again, in the same run.
  Click(pc.w().单选框白);
  pc.program.Settle();
  Click(pc.w().单选框黑);
  pc.program.Settle();
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 1);
  pc.Stop();
  pc.Start();
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 2);
  EXPECT_EQ(pc.Last().title, "2台新设备连接");
  // A restart is a stop and a start too.
  Release(pc.w().超级链接框_重启);
  pc.program.Settle();
  ASSERT_EQ(pc.w().按钮开始.Text(), "关闭WiFi");
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 3);
  EXPECT_EQ(pc.Last().title, "2台新设备连接");
}

TEST(JoinNotices, ABlacklistedDeviceIsToldOfOnceARunByTheNameTheUserGaveIt) {
  Pc pc;
  pc.Put(kBlacklistPath, "AA-BB-CC-00-00-02+黑名单里的名字\r\nAA-BB-CC-00-00-01+\r\n");
  pc.Put(kDeviceNamePath, "\r\nAA-BB-CC-00-00-02+小王的手机");
  pc.Start();
  pc.Scans(6);
  ASSERT_EQ(pc.Notices(), 1);
  ExpectNotice(pc.Last(), "已拦截", "AA-BB-CC-00-00-01\n小王的手机", "two cut off");
  // Taking one off the list unpins both; the other is cut off again, and not told of.
  RightClickRow(pc.w().超级列表框2, 1);
  Choose(pc.w().取消黑_取消黑名单);
  pc.program.Settle();
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 2);
  ExpectNotice(pc.Last(), "新设备连接",
               "安卓设备\nIP地址：192.168.137.10\nMAC地址：AA-BB-CC-00-00-01", "let through");
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 2);
  // The next run tells of it again.
  pc.Stop();
  pc.Start();
  pc.Scans(6);
  EXPECT_EQ(pc.Notices(), 3);
  ExpectNotice(pc.Last(), "新设备连接",
               "安卓设备\nIP地址：192.168.137.10\nMAC地址：AA-BB-CC-00-00-01", "next run");
}

TEST(JoinNotices, InWhitelistModeTheListedJoinAndTheOthersAreToldOfAsCutOff) {
  Pc pc("[monitor]\r\nmonitor=不监控\r\n");
  pc.Put(kWhitelistPath, "AA-BB-CC-00-00-01+我的手机\r\n");
  pc.Start();
  pc.Scans(6);
  // Cut off first, then who joined: the last notice is the one a user sees longest.
  EXPECT_EQ(pc.Notices(), 2);
  ExpectNotice(pc.Last(), "新设备连接",
               "我的手机\nIP地址：192.168.137.10\nMAC地址：AA-BB-CC-00-00-01", "listed");
  pc.Scans(18);
  EXPECT_EQ(pc.Notices(), 3);
  ExpectNotice(pc.Last(), "已拦截", "AA-BB-CC-00-00-03", "off the list, later");
  pc.Scans(12);
  EXPECT_EQ(pc.Notices(), 3);
}

TEST(JoinNotices, TheBoxIsOnByDefaultAndOffItSilencesBothKinds) {
  struct Case {
    const char* what;
    const char* settings;
    bool checked;
  };
  for (const Case& c : {Case{"no file", "", true},
                        Case{"an older file without the key", "[skin]\r\ncolor=200\r\n", true},
                        Case{"switched off", "[notice]\r\nnewdevice=否\r\n", false},
                        Case{"switched on", "[notice]\r\nnewdevice=是\r\n", true}}) {
    Pc pc(c.settings);
    pc.Put(kBlacklistPath, "AA-BB-CC-00-00-02+\r\n");
    EXPECT_EQ(pc.w().选择框_新设备提醒.Checked(), c.checked) << c.what;
    pc.Start();
    pc.Scans(6);
    EXPECT_EQ(pc.Notices(), c.checked ? 2 : 0) << c.what;
  }
}

TEST(JoinNotices, TheBoxIsStoredAndReadBackAndDevicesSeenWhileOffStayTold) {
  std::string stored;
  {
    Pc pc;
    pc.Start();
    Click(pc.w().选择框_新设备提醒);
    EXPECT_EQ(pc.StoredSetting(), "否");
    pc.Scans(6);
    EXPECT_EQ(pc.Notices(), 0);
    // Switched on again: only those who join from now on are told of.
    Click(pc.w().选择框_新设备提醒);
    EXPECT_EQ(pc.StoredSetting(), "是");
    pc.Scans(6);
    EXPECT_EQ(pc.Notices(), 0);
    pc.Scans(12);
    EXPECT_EQ(pc.Notices(), 1);
    Click(pc.w().选择框_新设备提醒);
    stored = pc.program.RawFile(settings::kSettingsPath);
  }
  Pc pc(text::Utf8FromCp936(stored));
  EXPECT_FALSE(pc.w().选择框_新设备提醒.Checked());
}

TEST(JoinNotices, ClickingANoticeBringsTheWindowUpOnTheUsersTab) {
  Pc pc;
  pc.Start();
  pc.Scans(6);
  ASSERT_EQ(pc.Notices(), 1);
  ChooseTab(pc.w().选择夹1, ui::kTabTraffic);
  ASSERT_TRUE(pc.w().时钟流量统计.Running());
  Click(pc.w().按钮右下角);
  ASSERT_FALSE(pc.w().Visible());
  ClickTray(pc.tray(), ui::TrayClick::Notice);
  pc.program.Settle();
  EXPECT_TRUE(pc.w().Visible());
  EXPECT_EQ(pc.w().选择夹1.CurrentTab(), ui::kTabUsers);
  // The traffic figures stop refreshing with their tab gone, as after the user's own choice.
  EXPECT_FALSE(pc.w().时钟流量统计.Running());
}

TEST(JoinNotices, NoNoticeAfterTheWayOut) {
  Pc pc;
  pc.Start();
  Choose(pc.w().菜单_退出);
  pc.program.Settle();
  ASSERT_TRUE(pc.program.exitCode.has_value());
  const int before = pc.Notices();
  pc.tray().ShowNotice("新设备连接", "x");
  EXPECT_EQ(pc.Notices(), before);
  EXPECT_EQ(pc.Last().title, "");
  ClickTray(pc.tray(), ui::TrayClick::Notice);
  EXPECT_FALSE(pc.w().Visible());
}

}  // namespace
}  // namespace lumora::clients
