// The client list, device names, the blacklist and the whitelist on simulated PCs whose
// devices join a running hotspot.
#include "clients/access_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "clients/list_files.h"
#include "clients/neighbour_table.h"
#include "support/headless_program.h"

namespace lumora::clients {
namespace {

using namespace std::chrono_literals;
using Rows = std::vector<std::vector<std::string>>;

// A Windows 7 PC with four devices that join at once, two entries of other kinds on
// the hosted interface and one of the wired interface.
constexpr std::string_view kPc = R"(
[connection1]
name=本地连接
index=11
[connection2]
name=无线网络连接
kind=wireless
status=7
index=12
[network]
internet=LAN 连接
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
host=MY-PC.MSHOME.NET
[client4]
mac=AA-BB-CC-00-00-04
ip=192.168.137.13
host=laptop
[neighbour1]
connection=本地连接
ip=192.168.1.1
mac=00-2B-3C-F0-FF-F1
[neighbour2]
connection=hosted
ip=192.168.137.50
mac=AA-BB-CC-00-00-09
type=static
[neighbour3]
connection=hosted
ip=192.168.137.60
mac=FF-FF-FF-FF-FF-FF
[neighbour4]
connection=hosted
ip=192.168.137.61
mac=00-00-00-00-00-00
)";

struct Pc : testing::StartedPc {
  explicit Pc(std::string_view extra = {}, std::string_view settingsFile = {})
      : StartedPc(std::string(kPc) + std::string(extra), settingsFile) {}

  // Keeps the window's events flowing until the condition holds; false after 5 s.
  template <typename Condition>
  bool PumpUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      program.dispatcher.ProcessPendingEvents();
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  AccessControl& access() { return program.App().Access(); }
  platform::sim::SimulatedNetwork& network() { return program.pc.network; }
  void Put(std::string_view path, std::string_view text) { program.PutFile(path, text); }
  std::string File(std::string_view path) { return ReadListText(program.drive, path); }

  void StartHotspot() {
    Click(w().按钮开始);
    program.Settle();
    ASSERT_EQ(w().按钮开始.Text(), "关闭WiFi");
  }
  // The next tick of the mode's timer, and all it started.
  void Tick() {
    program.RunFor(6000);
    program.Settle();
  }
  std::string BlockOf(std::string_view ip) {
    return *BlockCommand(access().HostedInterfaceIndex(), ip);
  }
  int Runs(std::string_view command) {
    const auto history = program.pc.console.History();
    return static_cast<int>(std::count(history.begin(), history.end(), command));
  }
  // The hosted interface's entries pinned to the zero address (the unresolved one of
  // the scenario is dynamic).
  std::vector<std::string> Pinned() {
    std::vector<std::string> ips;
    for (const NeighbourRecord& r : ListNeighbours(network()))
      if (r.mac == kZeroMac && r.row.type == 4 &&
          r.row.interfaceIndex == access().HostedInterfaceIndex())
        ips.push_back(r.ip);
    return ips;
  }
  void RightClick(ui::ListView& list, int row, ui::MenuItem& item) {
    RightClickRow(list, row);
    Choose(item);
  }
  int BlockCommandsRun() {
    const auto history = program.pc.console.History();
    return static_cast<int>(std::count_if(history.begin(), history.end(), [](const auto& line) {
      return line.find("set neighbors") != std::string::npos;
    }));
  }

  // Block commands that wait for the test to let them go. One whose worker is ended
  // leaves without pinning, as a terminated process does, unless it outlives its end:
  // then it pins only once let go.
  struct HeldBlocks {
    std::atomic<int> started{0};
    std::atomic<bool> letGo{false};
    bool outlivesEnd = false;
  };
  void HoldBlocks(HeldBlocks& held) {
    platform::sim::SimulatedPc& sim = program.pc;
    sim.console.Install(
        "netsh", [&sim, &held](std::string_view arguments, const std::function<bool()>& keepGoing) {
          if (arguments.find("set neighbors") == std::string_view::npos)
            return sim.netsh.Run(arguments);
          ++held.started;
          const auto deadline = std::chrono::steady_clock::now() + 5s;
          while (!held.letGo && (held.outlivesEnd || keepGoing()) &&
                 std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
          if (!held.letGo && !held.outlivesEnd) return std::string();
          return sim.netsh.Run(arguments);
        });
  }
};

TEST(ClientScan, ListsTheHostedInterfacesDevicesAndNamesThemByTheRules) {
  Pc pc;
  pc.StartHotspot();
  EXPECT_EQ(pc.w().时钟_黑.Interval(), 6000);
  pc.Tick();
  // Only the dynamic entries of the hosted interface, numbered from 1 in table order;
  // the static entry, the broadcast one and the wired interface's are left out.
  EXPECT_EQ(pc.w().超级列表框1.Rows(),
            (Rows{{"1", "192.168.137.10", "AA-BB-CC-00-00-01", "安卓设备"},
                  {"2", "192.168.137.11", "AA-BB-CC-00-00-02", "苹果手机"},
                  {"3", "192.168.137.12", "AA-BB-CC-00-00-03", "MY-PC"},
                  {"4", "192.168.137.13", "AA-BB-CC-00-00-04", "laptop"}}));
  // A new file begins with an empty line; each device gets a line of its own.
  EXPECT_EQ(pc.File(kDeviceNamePath),
            "\r\nAA-BB-CC-00-00-01+安卓设备\r\nAA-BB-CC-00-00-02+苹果手机\r\n"
            "AA-BB-CC-00-00-03+MY-PC\r\nAA-BB-CC-00-00-04+laptop");
  // The next scan takes the recorded names and writes nothing.
  pc.program.countingDrive.writes = 0;
  pc.Tick();
  EXPECT_EQ(pc.w().超级列表框1.RowCount(), 4u);
  EXPECT_EQ(pc.program.countingDrive.writes, 0);
}

TEST(ClientScan, ARecordedNameComesFirstAndIsNotLookedUp) {
  Pc pc;
  pc.Put(kDeviceNamePath, "\r\nAA-BB-CC-00-00-03+我的电脑+书房");
  pc.StartHotspot();
  pc.Tick();
  EXPECT_EQ(pc.w().超级列表框1.Cell(2, 3), "我的电脑+书房");
  EXPECT_EQ(DeviceNameFor(pc.File(kDeviceNamePath), "AA-BB-CC-00-00-03"), "我的电脑+书房");
}

TEST(ClientNames, WhatTheLookUpGivesIsShownByTheRules) {
  struct Case {
    const char* lookedUp;
    const char* shown;
  };
  for (const Case& c : {
           Case{"android-5a1b2c.mshome.net", "安卓设备"},
           Case{"iPhone.mshome.net", "苹果手机"},
           Case{"MY-PC.MSHOME.NET", "MY-PC"},
           Case{"laptop", "laptop"},
           Case{"", ""},
           Case{"a.mshome.net.mshome.net", "a.mshome.net"},  // the suffix goes once
           Case{"Galaxy-Android", "安卓设备"},
           // A name from the network cannot split a line of the list files.
           Case{"evil\r\nAA-BB-CC-00-00-01+x\t\x01\x7f", "evilAA-BB-CC-00-00-01+x"},
           Case{"小米手机", "小米手机"},
       }) {
    EXPECT_EQ(ShownHostName(c.lookedUp), c.shown) << c.lookedUp;
  }
}

TEST(ClientNames, TheSystemsListNamesADeviceByItsMacInAnyWriting) {
  const std::vector<platform::TetheringClient> listed = {
      {"3c:a6:f6:12:5b:01", {"192.168.137.23", "fe80::1c2b:3aff:fe4d:5e6f", "android-5a1b"}},
      {"F0-18-98-AA-20-02", {"192.168.137.88"}},
      {"", {"nobody"}},
  };
  EXPECT_EQ(ListedHostName(listed, "3C-A6-F6-12-5B-01"), "android-5a1b");
  EXPECT_EQ(ListedHostName(listed, "3ca6f6125b01"), "android-5a1b");
  // Only addresses, no such device, and no MAC at all name nothing.
  EXPECT_EQ(ListedHostName(listed, "F0-18-98-AA-20-02"), "");
  EXPECT_EQ(ListedHostName(listed, "AA-BB-CC-00-00-09"), "");
  EXPECT_EQ(ListedHostName(listed, ""), "");
  EXPECT_EQ(ListedHostName({}, "3C-A6-F6-12-5B-01"), "");
}

TEST(ClientNames, TheBlockCommandTakesOnlyAnAddress) {
  EXPECT_EQ(BlockCommand(12, "192.168.137.23"),
            "netsh interface ipv4 set neighbors 12 \"192.168.137.23\" \"00-00-00-00-00-00\" "
            "store=active");
  for (const std::string& hostile : testing::HostileTexts())
    EXPECT_EQ(BlockCommand(12, hostile), std::nullopt) << hostile;
  for (const char* almost : {"192.168.137", "192.168.137.256", "1.2.3.4.5", " 1.2.3.4", "1.2.3.4 ",
                             "1.2.3.+4", "0x1.2.3.4", "1..2.3"})
    EXPECT_EQ(BlockCommand(12, almost), std::nullopt) << almost;
}

TEST(ClientScan, BlacklistedDevicesArePinnedNotListedWhateverTheCaseOrWhereTheMacStands) {
  Pc pc;
  pc.Put(kBlacklistPath, "AA-BB-CC-00-00-07+aa-bb-cc-00-00-02 的双胞胎\r\naa-bb-cc-00-00-04+\r\n");
  pc.StartHotspot();
  pc.Tick();
  EXPECT_EQ(pc.w().超级列表框1.Rows(),
            (Rows{{"1", "192.168.137.10", "AA-BB-CC-00-00-01", "安卓设备"},
                  {"2", "192.168.137.12", "AA-BB-CC-00-00-03", "MY-PC"}}));
  EXPECT_EQ(pc.Pinned(), (std::vector<std::string>{"192.168.137.11", "192.168.137.13"}));
  EXPECT_EQ(pc.Runs(pc.BlockOf("192.168.137.11")), 1);
  // The view shows the file; pinned devices are not listed and not pinned again.
  EXPECT_EQ(pc.w().超级列表框2.RowCount(), 2u);
  pc.Tick();
  EXPECT_EQ(pc.Runs(pc.BlockOf("192.168.137.11")), 1);
  EXPECT_EQ(pc.w().超级列表框1.RowCount(), 2u);
}

TEST(ClientScan, ASlowLookUpDoesNotLetABlacklistedDeviceThrough) {
  // The first device's name takes for ever; the blacklisted one after it is cut off
  // before that look-up begins.
  Pc pc;
  pc.Put(kBlacklistPath, "AA-BB-CC-00-00-04+\r\n");
  pc.StartHotspot();
  pc.network().HoldNameLookUps(true);
  pc.program.RunFor(6000);
  ASSERT_TRUE(pc.PumpUntil([&] { return pc.network().NameLookUpsWaiting() == 1; }));
  EXPECT_EQ(pc.Pinned(), std::vector<std::string>{"192.168.137.13"});
  // The list was filled in one change before the names are looked up.
  EXPECT_EQ(pc.w().超级列表框1.RowCount(), 3u);
  pc.w().时钟_黑.SetInterval(0);
  pc.access().EndWorkers();
  pc.program.Settle();
  pc.network().HoldNameLookUps(false);
}

TEST(ClientScan, ANameTheUserGivesDuringALookUpStays) {
  struct Case {
    const char* what;
    const char* names;  // the device-name file before; null: none
  };
  for (const Case& c : {Case{"a look-up that failed before", "\r\nAA-BB-CC-00-00-01+"},
                        Case{"the device's first look-up", nullptr}}) {
    Pc pc;
    if (c.names) pc.Put(kDeviceNamePath, c.names);
    pc.StartHotspot();
    pc.network().HoldNameLookUps(true);
    pc.program.RunFor(6000);
    ASSERT_TRUE(pc.PumpUntil([&] { return pc.network().NameLookUpsWaiting() == 1; })) << c.what;
    ASSERT_EQ(pc.w().超级列表框1.RowCount(), 4u) << c.what;
    DoubleClickCell(pc.w().超级列表框1, {0, 1, {0, 20}});
    Type(pc.w().编辑框设备, "我的手机");
    ReleaseKey(pc.w().编辑框设备, 13);
    pc.network().HoldNameLookUps(false);
    pc.program.Settle();
    const std::string names = pc.File(kDeviceNamePath);
    EXPECT_EQ(DeviceNameFor(names, "AA-BB-CC-00-00-01"), "我的手机") << c.what;
    EXPECT_EQ(names.find("AA-BB-CC-00-00-01"), names.rfind("AA-BB-CC-00-00-01")) << c.what;
    EXPECT_EQ(pc.w().超级列表框1.Cell(0, 3), "我的手机") << c.what;
  }
}

TEST(ClientScan, AStopEndsAScanAndAWhitelistWorkerThatHaveNotFinished) {
  struct Case {
    const char* mode;
    const char* settings;
  };
  for (const Case& c :
       {Case{"blacklist", ""}, Case{"whitelist", "[monitor]\r\nmonitor=不监控\r\n"}}) {
    // Two blacklisted devices, or an empty whitelist: the worker cuts devices off before
    // it lists any, and is stopped in its first block command.
    Pc pc({}, c.settings);
    pc.Put(kBlacklistPath, "AA-BB-CC-00-00-02+\r\nAA-BB-CC-00-00-04+\r\n");
    pc.StartHotspot();
    Pc::HeldBlocks held;
    pc.HoldBlocks(held);
    pc.program.RunFor(6000);
    ASSERT_TRUE(pc.PumpUntil([&] { return held.started == 1; })) << c.mode;
    Click(pc.w().按钮开始);
    held.letGo = true;
    pc.program.Settle();
    ASSERT_EQ(pc.w().按钮开始.Text(), "开启WiFi") << c.mode;
    EXPECT_EQ(pc.w().超级列表框1.RowCount(), 0u) << c.mode;
    EXPECT_EQ(pc.BlockCommandsRun(), 1) << c.mode;
  }
}

TEST(NameEditor, OpensOverTheNameCellAndCommitsOnEnterAndOnLeaving) {
  Pc pc;
  pc.StartHotspot();
  pc.Tick();
  ui::EditBox& box = pc.w().编辑框设备;
  ui::ListView& list = pc.w().超级列表框1;
  // Beside the rows: nothing opens.
  DoubleClickCell(list, {});
  EXPECT_FALSE(box.Visible());
  // Whichever column was hit, the box covers the name cell of that row.
  DoubleClickCell(list, {1, 0, {0, 37}, 17});
  EXPECT_TRUE(box.Visible());
  const ui::Rect group = pc.w().分组框4.Geometry();
  EXPECT_EQ(box.Geometry(),
            (ui::Rect{group.left + 0 + 2 + 20 + 108 + 120, group.top + 26 + 2 + 37 - 2, 130, 21}));
  EXPECT_EQ(box.Text(), "苹果手机");
  Type(box, "小明的+手机");
  ReleaseKey(box, 'A');  // other keys do nothing
  EXPECT_TRUE(box.Visible());
  ReleaseKey(box, 13);
  EXPECT_FALSE(box.Visible());
  EXPECT_EQ(list.Cell(1, 3), "小明的+手机");
  EXPECT_EQ(DeviceNameFor(pc.File(kDeviceNamePath), "AA-BB-CC-00-00-02"), "小明的+手机");
  LoseFocus(box);  // the focus leaves the hidden box: nothing more happens

  DoubleClickCell(list, {2, 3, {0, 54}});
  Type(box, "");
  LoseFocus(box);
  EXPECT_FALSE(box.Visible());
  EXPECT_NE(pc.File(kDeviceNamePath).find("AA-BB-CC-00-00-03+\r\n"), std::string::npos);
  pc.Tick();  // an empty name is looked up again
  EXPECT_EQ(list.Cell(2, 3), "MY-PC");
}

TEST(NameEditor, TheNameGoesToTheDeviceThatWasDoubleClickedAfterARescan) {
  Pc pc("[client5]\nmac=AA-BB-CC-00-00-05\nip=192.168.137.2\nhost=new\njoin=8\n");
  pc.StartHotspot();
  pc.Tick();
  DoubleClickCell(pc.w().超级列表框1, {0, 3, {0, 20}});  // 安卓设备, the first row
  pc.Tick();  // a device joined ahead of it: the rows moved down
  ASSERT_EQ(pc.w().超级列表框1.Cell(0, 2), "AA-BB-CC-00-00-05");
  Type(pc.w().编辑框设备, "客厅平板");
  ReleaseKey(pc.w().编辑框设备, 13);
  EXPECT_EQ(pc.w().超级列表框1.Cell(1, 3), "客厅平板");
  EXPECT_EQ(pc.w().超级列表框1.Cell(0, 3), "new");
  EXPECT_EQ(DeviceNameFor(pc.File(kDeviceNamePath), "AA-BB-CC-00-00-01"), "客厅平板");
  EXPECT_EQ(DeviceNameFor(pc.File(kDeviceNamePath), "AA-BB-CC-00-00-05"), "new");
}

TEST(Blacklist, BlockingOneSeveralAndTheSameDeviceTwice) {
  Pc pc;
  pc.StartHotspot();
  pc.Tick();
  ui::ListView& clients = pc.w().超级列表框1;
  pc.RightClick(clients, 1, pc.w().加黑_拉入黑名单);
  EXPECT_EQ(pc.w().加黑.PopUpCount(), 1);
  EXPECT_EQ(clients.RowCount(), 3u);
  EXPECT_EQ(pc.w().超级列表框2.Rows(), (Rows{{"192.168.137.11", "AA-BB-CC-00-00-02", "苹果手机"}}));
  EXPECT_EQ(pc.File(kBlacklistPath), "AA-BB-CC-00-00-02+苹果手机\r\n");
  EXPECT_EQ(pc.Pinned(), std::vector<std::string>{"192.168.137.11"});

  // Two rows at once: both go, the command runs for the topmost, the scan pins the other.
  SelectRows(clients, {0, 2});
  pc.RightClick(clients, 2, pc.w().加黑_拉入黑名单);
  // The numbers are the scan's: the row keeps its own.
  EXPECT_EQ(clients.Rows(), (Rows{{"3", "192.168.137.12", "AA-BB-CC-00-00-03", "MY-PC"}}));
  EXPECT_EQ(pc.File(kBlacklistPath),
            "AA-BB-CC-00-00-02+苹果手机\r\nAA-BB-CC-00-00-01+安卓设备\r\nAA-BB-CC-00-00-04+laptop\r\n");
  EXPECT_EQ(pc.Runs(pc.BlockOf("192.168.137.10")), 1);
  EXPECT_EQ(pc.Runs(pc.BlockOf("192.168.137.13")), 0);
  pc.Tick();
  EXPECT_EQ(pc.Pinned().size(), 3u);

  // The same device twice (listed again, as after its pin was deleted): one row, one line.
  pc.RightClick(clients, 0, pc.w().加黑_拉入黑名单);
  clients.SetRows({{"1", "192.168.137.12", "AA-BB-CC-00-00-03", "MY-PC"}});
  pc.RightClick(clients, 0, pc.w().加黑_拉入黑名单);
  EXPECT_EQ(pc.w().超级列表框2.RowCount(), 4u);
  const std::string file = pc.File(kBlacklistPath);
  EXPECT_EQ(file.find("AA-BB-CC-00-00-03"), file.rfind("AA-BB-CC-00-00-03"));
}

TEST(Blacklist, TheChosenRowsAreTakenBeforeTheCommandLetsAScanEmptyTheList) {
  Pc pc;
  pc.StartHotspot();
  pc.Tick();
  // While the block command runs the window's events flow; a scan's refill that comes
  // then empties the list.
  platform::sim::SimulatedPc& sim = pc.program.pc;
  sim.console.Install("netsh", [&](std::string_view arguments, const std::function<bool()>&) {
    pc.w().超级列表框1.SetRows({});
    return sim.netsh.Run(arguments);
  });
  pc.RightClick(pc.w().超级列表框1, 0, pc.w().加黑_拉入黑名单);
  EXPECT_EQ(pc.File(kBlacklistPath), "AA-BB-CC-00-00-01+安卓设备\r\n");
  EXPECT_EQ(pc.w().超级列表框2.RowCount(), 1u);
}

TEST(Blacklist, AChangeMadeWhileAScanCutsDevicesOffIsNotUndoneNorLostByTheNextRewrite) {
  Pc pc;
  pc.Put(kBlacklistPath, "11-22-33-44-55-66+别人\r\n");
  pc.StartHotspot();
  pc.Tick();
  ui::ListView& black = pc.w().超级列表框2;
  ASSERT_EQ(black.RowCount(), 1u);
  // A device listed now is cut off by the next scan; the user takes the other entry off
  // while that scan runs its block command.
  pc.Put(kBlacklistPath, "11-22-33-44-55-66+别人\r\nAA-BB-CC-00-00-02+苹果手机\r\n");
  Pc::HeldBlocks held;
  pc.HoldBlocks(held);
  pc.program.RunFor(6000);
  ASSERT_TRUE(pc.PumpUntil([&] { return held.started == 1; }));
  pc.RightClick(black, 0, pc.w().取消黑_取消黑名单);
  ASSERT_EQ(pc.File(kBlacklistPath), "AA-BB-CC-00-00-02+苹果手机");
  held.letGo = true;
  pc.program.Settle();
  EXPECT_EQ(black.Rows(), (Rows{{"", "AA-BB-CC-00-00-02", "苹果手机"}}));

  // The file changed by hand since the view was loaded: blocking a device keeps it all.
  pc.Put(kBlacklistPath, "AA-BB-CC-00-00-02+苹果手机\r\n77-77-77-77-77-77+手写的");
  pc.RightClick(pc.w().超级列表框1, 0, pc.w().加黑_拉入黑名单);
  EXPECT_EQ(
      pc.File(kBlacklistPath),
      "AA-BB-CC-00-00-02+苹果手机\r\n77-77-77-77-77-77+手写的\r\nAA-BB-CC-00-00-01+安卓设备\r\n");
  EXPECT_EQ(black.RowCount(), 3u);
}

TEST(ClientMenus, AnItemChosenAfterARefillActsOnTheRowsTheMenuOpenedOver) {
  // The menu's loop runs the next scan or whitelist worker, which fills the list again;
  // the row stays selected, and the item acts on it.
  using List = ui::ListView& (*)(ui::MainWindow&);
  using Item = ui::MenuItem& (*)(ui::MainWindow&);
  struct Case {
    const char* item;
    const char* settings;
    List list;
    int row;
    Item chosen;
    std::string_view file;  // holds two entries at the start
    const char* after;
  };
  const std::string twoEntries = "11-22-33-44-55-66+别人\r\n22-33-44-55-66-77+另一个\r\n";
  const Case cases[] = {
      {"拉入黑名单", "", [](ui::MainWindow& w) -> ui::ListView& { return w.超级列表框1; }, 1,
       [](ui::MainWindow& w) -> ui::MenuItem& { return w.加黑_拉入黑名单; }, kBlacklistPath,
       "11-22-33-44-55-66+别人\r\n22-33-44-55-66-77+另一个\r\nAA-BB-CC-00-00-02+苹果手机\r\n"},
      {"复制到白名单", "", [](ui::MainWindow& w) -> ui::ListView& { return w.超级列表框1; }, 1,
       [](ui::MainWindow& w) -> ui::MenuItem& { return w.加黑_复制到白名单; }, kWhitelistPath,
       "11-22-33-44-55-66+别人\r\n22-33-44-55-66-77+另一个\r\nAA-BB-CC-00-00-02+苹果手机\r\n"},
      {"取消黑名单", "", [](ui::MainWindow& w) -> ui::ListView& { return w.超级列表框2; }, 1,
       [](ui::MainWindow& w) -> ui::MenuItem& { return w.取消黑_取消黑名单; }, kBlacklistPath,
       "11-22-33-44-55-66+别人"},
      {"移出白名单", "[monitor]\r\nmonitor=不监控\r\n",
       [](ui::MainWindow& w) -> ui::ListView& { return w.超级列表框3; }, 1,
       [](ui::MainWindow& w) -> ui::MenuItem& { return w.移白_移出白名单; }, kWhitelistPath,
       "11-22-33-44-55-66+别人"},
  };
  for (const Case& c : cases) {
    Pc pc({}, c.settings);
    pc.Put(c.file, twoEntries);
    pc.StartHotspot();
    pc.Tick();
    ui::ListView& list = c.list(pc.w());
    ASSERT_GT(list.RowCount(), static_cast<std::size_t>(c.row)) << c.item;
    RightClickRow(list, c.row);
    pc.Tick();
    EXPECT_EQ(list.SelectedRows(), std::vector<std::size_t>{static_cast<std::size_t>(c.row)})
        << c.item;
    Choose(c.chosen(pc.w()));
    EXPECT_EQ(pc.File(c.file), c.after) << c.item;
  }
}

TEST(ClientMenus, ADeviceThatLeavesWhileTheMenuIsOpenIsTheOneTheItemTakes) {
  // The scans that run while the menu is open no longer list the device; the item the
  // user then chooses acts on it all the same.
  std::string leaving(kPc);
  const std::string host = "host=iPhone.mshome.net";
  leaving.replace(leaving.find(host), host.size(), host + "\nleave=10");
  for (const bool blacklist : {true, false}) {
    testing::StartedPc pc(leaving);
    Click(pc.w().按钮开始);
    pc.program.Settle();
    pc.program.RunFor(6000);
    pc.program.Settle();
    ui::ListView& list = pc.w().超级列表框1;
    ASSERT_GT(list.RowCount(), 1u);
    ASSERT_EQ(list.Cell(1, 2), "AA-BB-CC-00-00-02");
    RightClickRow(list, 1);
    pc.program.RunFor(12000);
    pc.program.Settle();
    for (std::size_t row = 0; row < list.RowCount(); ++row)
      ASSERT_NE(list.Cell(row, 2), "AA-BB-CC-00-00-02") << "the device has not left";
    Choose(blacklist ? pc.w().加黑_拉入黑名单 : pc.w().加黑_复制到白名单);
    pc.program.Settle();
    const std::string file =
        ReadListText(pc.program.drive, blacklist ? kBlacklistPath : kWhitelistPath);
    EXPECT_NE(file.find("AA-BB-CC-00-00-02+"), std::string::npos) << blacklist << ": " << file;
  }
}

TEST(Blacklist, TakingADeviceOffUnpinsTheHostedInterfaceAndAMissingEntryChangesNothing) {
  Pc pc;
  pc.Put(kBlacklistPath, "AA-BB-CC-00-00-02+苹果手机\r\nAA-BB-CC-00-00-03+MY-PC\r\n");
  pc.StartHotspot();
  pc.Tick();
  ASSERT_EQ(pc.Pinned().size(), 2u);
  ui::ListView& black = pc.w().超级列表框2;
  pc.RightClick(black, 0, pc.w().取消黑_取消黑名单);
  EXPECT_EQ(pc.File(kBlacklistPath), "AA-BB-CC-00-00-03+MY-PC");
  EXPECT_EQ(black.RowCount(), 1u);
  // Every pinned entry went; the device still in the file is pinned again next scan.
  EXPECT_TRUE(pc.Pinned().empty());
  pc.Tick();
  EXPECT_EQ(pc.Pinned(), std::vector<std::string>{"192.168.137.12"});
  EXPECT_EQ(pc.w().超级列表框1.RowCount(), 3u);

  // A row whose MAC the file no longer holds stays, and nothing is written.
  pc.Put(kBlacklistPath, "");
  pc.program.countingDrive.writes = 0;
  pc.RightClick(black, 0, pc.w().取消黑_取消黑名单);
  EXPECT_EQ(black.RowCount(), 1u);
  EXPECT_EQ(pc.program.countingDrive.writes, 0);
  EXPECT_EQ(pc.Pinned(), std::vector<std::string>{"192.168.137.12"});
}

TEST(AccessModes, SwitchingModesMovesTheTimersEmptiesTheTableAndAgainOnASecondClick) {
  Pc pc;
  pc.Put(kBlacklistPath, "AA-BB-CC-00-00-02+\r\n");
  pc.Put(kWhitelistPath, "aa-bb-cc-00-00-01+安卓设备\r\nAA-BB-CC-00-00-03+");
  pc.StartHotspot();
  pc.Tick();
  ASSERT_EQ(pc.Pinned().size(), 1u);

  Click(pc.w().单选框白);
  EXPECT_EQ(pc.program.App().Settings().Read(settings::kMonitorMode), "不监控");
  EXPECT_FALSE(pc.w().时钟_黑.Running());
  EXPECT_EQ(pc.w().时钟_白.Interval(), 6000);
  EXPECT_EQ(pc.w().超级列表框1.RowCount(), 0u);
  EXPECT_FALSE(pc.w().超级列表框1.Visible());
  EXPECT_EQ(pc.w().超级列表框3.Rows(),
            (Rows{{"aa-bb-cc-00-00-01", "安卓设备"}, {"AA-BB-CC-00-00-03", ""}}));
  EXPECT_TRUE(pc.Pinned().empty());
  pc.Tick();
  // Only listed devices stay: the MACs in the file in any case.
  EXPECT_EQ(pc.Pinned(), (std::vector<std::string>{"192.168.137.11", "192.168.137.13"}));

  Click(pc.w().单选框白);  // again: the table is emptied again
  EXPECT_TRUE(pc.Pinned().empty());
  Click(pc.w().单选框黑);
  EXPECT_EQ(pc.program.App().Settings().Read(settings::kMonitorMode), "监控");
  EXPECT_EQ(pc.w().时钟_黑.Interval(), 6000);
  EXPECT_FALSE(pc.w().时钟_白.Running());
  EXPECT_EQ(pc.w().超级列表框3.RowCount(), 0u);
  pc.Tick();
  EXPECT_EQ(pc.Pinned(), std::vector<std::string>{"192.168.137.11"});
}

TEST(AccessModes, AnEmptyWhitelistCutsEveryoneOffAndASwitchLeavesNoStalePin) {
  Pc pc({}, "[monitor]\r\nmonitor=不监控\r\n");
  pc.StartHotspot();
  EXPECT_EQ(pc.w().时钟_白.Interval(), 6000);
  pc.Tick();
  EXPECT_EQ(pc.Pinned().size(), 4u);
  // The table emptied again, the next worker is in a block command whose process
  // outlives its end: the switch back to blacklist mode waits until it has pinned its
  // device, and only then empties the table. It is let go in that wait, or else only
  // once the switch is over.
  Click(pc.w().单选框白);
  ASSERT_TRUE(pc.Pinned().empty());
  Pc::HeldBlocks held;
  held.outlivesEnd = true;
  pc.HoldBlocks(held);
  const int blocksBefore = pc.BlockCommandsRun();
  pc.program.RunFor(6000);
  ASSERT_TRUE(pc.PumpUntil([&] { return held.started == 1; }));
  pc.program.dispatcher.Post([&] {
    if (!pc.w().超级列表框1.Visible()) held.letGo = true;
  });
  Click(pc.w().单选框黑);
  held.letGo = true;
  pc.program.Settle();
  EXPECT_EQ(pc.BlockCommandsRun(), blocksBefore + 1);  // the worker ended with it
  EXPECT_TRUE(pc.Pinned().empty());
}

TEST(AccessModes, SwitchingWhileStoppedStartsNoTimer) {
  Pc pc;
  Click(pc.w().单选框白);
  EXPECT_FALSE(pc.w().时钟_白.Running());
  EXPECT_FALSE(pc.w().时钟_黑.Running());
  Click(pc.w().单选框黑);
  EXPECT_FALSE(pc.w().时钟_黑.Running());
}

TEST(Whitelist, CopyingTwiceReplacesTheLineAndRemovingAMissingEntryChangesNothing) {
  Pc pc;
  pc.Put(kWhitelistPath, "11-22-33-44-55-66+别人");  // no line break at the end
  pc.StartHotspot();
  pc.Tick();
  ui::ListView& clients = pc.w().超级列表框1;
  pc.RightClick(clients, 1, pc.w().加黑_复制到白名单);
  EXPECT_EQ(pc.File(kWhitelistPath), "11-22-33-44-55-66+别人\r\nAA-BB-CC-00-00-02+苹果手机\r\n");
  clients.SetCell(1, 3, "新名字");
  pc.RightClick(clients, 1, pc.w().加黑_复制到白名单);
  EXPECT_EQ(pc.File(kWhitelistPath), "11-22-33-44-55-66+别人\r\nAA-BB-CC-00-00-02+新名字");
  const auto shown = pc.program.messages.AllShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, kCopiedToWhitelist);
  EXPECT_EQ(shown[1].title, "信息：");

  Click(pc.w().单选框白);
  ui::ListView& white = pc.w().超级列表框3;
  ASSERT_EQ(white.RowCount(), 2u);
  pc.RightClick(white, 1, pc.w().移白_移出白名单);
  EXPECT_EQ(pc.File(kWhitelistPath), "11-22-33-44-55-66+别人");
  EXPECT_EQ(white.RowCount(), 1u);
  pc.Put(kWhitelistPath, "");
  pc.RightClick(white, 0, pc.w().移白_移出白名单);
  EXPECT_EQ(white.RowCount(), 1u);
}

TEST(ClientScan, EndingTheScanAnywhereLeavesEveryListFileWhole) {
  // Devices without names: each scan rewrites the device-name file line by line.
  Pc pc;
  pc.StartHotspot();
  pc.w().时钟_黑.SetInterval(0);
  const std::string oldText =
      "\r\nAA-BB-CC-00-00-01+\r\nAA-BB-CC-00-00-02+\r\nAA-BB-CC-00-00-03+\r\nAA-BB-CC-00-00-04+";
  std::mt19937 random(7);
  // How many names each round wrote before its end: the end must land while the names
  // are written too, or the test has not checked what it is for.
  std::vector<int> roundsWithNewNames(5, 0);
  for (int round = 0; round < 1000; ++round) {
    pc.Put(kDeviceNamePath, oldText);
    pc.w().超级列表框1.DeleteAllRows();
    const int writesBefore = pc.program.countingDrive.writes;
    pc.access().ScanTimerTick();
    // Ended before the list is filled, or once it has written one to three names: from
    // the fill on the scan needs nothing of the window, so the wait for its writes
    // keeps the window's events still.
    const int names = std::uniform_int_distribution<int>(0, 3)(random);
    if (names == 0) {
      for (int spin = std::uniform_int_distribution<int>(0, 3000)(random); spin > 0; --spin)
        if (spin % 64 == 0) pc.program.dispatcher.ProcessPendingEvents();
    } else {
      ASSERT_TRUE(pc.PumpUntil([&] { return pc.w().超级列表框1.RowCount() == 4; })) << round;
      const auto deadline = std::chrono::steady_clock::now() + 5s;
      while (pc.program.countingDrive.writes < writesBefore + names &&
             std::chrono::steady_clock::now() < deadline) {
      }
    }
    pc.access().EndWorkers();
    pc.program.Settle();
    // Each line is the old one or the new one, never a mix.
    const std::vector<std::string> lines = SplitLines(pc.File(kDeviceNamePath));
    ASSERT_EQ(lines.size(), 5u) << round;
    static const char* const kNames[] = {"安卓设备", "苹果手机", "MY-PC", "laptop"};
    int newNames = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string old = "AA-BB-CC-00-00-0" + std::to_string(i) + "+";
      ASSERT_TRUE(lines[i] == old || lines[i] == old + kNames[i - 1]) << round << ": " << lines[i];
      if (lines[i] != old) ++newNames;
    }
    ++roundsWithNewNames[static_cast<std::size_t>(newNames)];
  }
  EXPECT_GT(roundsWithNewNames[1] + roundsWithNewNames[2] + roundsWithNewNames[3], 0)
      << ::testing::PrintToString(roundsWithNewNames);
}

TEST(ClientScan, EveryWayOutEndsAScanInTheMiddleOfALookUp) {
  Pc pc;
  pc.StartHotspot();
  pc.network().HoldNameLookUps(true);
  pc.program.RunFor(6000);
  ASSERT_TRUE(pc.PumpUntil([&] { return pc.network().NameLookUpsWaiting() == 1; }));
  RequestClose(pc.w());
  pc.program.Settle();  // returns: the scan has left its look-up
  EXPECT_EQ(pc.program.exitCode, 0);
  EXPECT_EQ(pc.network().NameLookUpsWaiting(), 0);
  pc.network().HoldNameLookUps(false);
}

}  // namespace
}  // namespace lumora::clients
