#include "app/window_actions.h"

#include <algorithm>
#include <functional>

#include "app/application.h"
#include "app/web_site.h"
#include "ui/layout.h"

namespace lumora::app {

namespace {

constexpr int kTrafficTimerMs = 1500;

void ShowPassPhraseClicked(Application& app) {
  ui::MainWindow& w = app.Main();
  const bool plain = w.选择框_显示密码.Checked();
  w.编辑框密码.SetMasked(!plain);
  app.Settings().Write(settings::kShowPassPhrase,
                       plain ? settings::kShowPlain : settings::kShowMasked);
}

void ShowUsageHelp(Application& app) {
  app.Messages().Show(
      "WiFi名称和密码可以自定义，WiFi停止状态才可以修改。\r\n"
      "WiFi名称可以使用中文，但个别手机不支持中文编码导致找不到WiFi或者乱码。\r\n"
      "★若手机连不上，请点击下面的[重启WiFi]强制初始化WiFi试试。。",
      "使用帮助", ui::kMessageIconInformation);
}

// The traffic figures refresh only while their tab is on screen and a hosted
// connection is known.
void TabChanged(Application& app) {
  ui::MainWindow& w = app.Main();
  if (w.选择夹1.CurrentTab() == ui::kTabTraffic) {
    if (!w.编辑框虚拟网卡.Text().empty()) w.时钟流量统计.SetInterval(kTrafficTimerMs);
  } else {
    w.时钟流量统计.SetInterval(0);
  }
}

// A notice of the tray icon tells who joins: its click shows them.
void ShowUsersTab(Application& app) {
  ui::MainWindow& w = app.Main();
  if (w.选择夹1.CurrentTab() != ui::kTabUsers) {
    w.选择夹1.SetCurrentTab(ui::kTabUsers);
    TabChanged(app);
  }
  BringToFront(app);
}

void HideToTray(Application& app) {
  app.Main().SetVisible(false);
  app.Main().时钟流量统计.SetInterval(0);
}

// The tray icon and the status picture cycle while a start runs; each settles on the
// first tick after sharing is confirmed.
void TrayAnimationTick(Application& app) {
  ui::MainWindow& w = app.Main();
  hotspot::Hotspot& hotspot = app.Hotspot();
  static constexpr ui::TrayImage kFrames[] = {ui::TrayImage::Busy1, ui::TrayImage::Busy2,
                                              ui::TrayImage::Busy3, ui::TrayImage::Normal};
  w.托盘图标1.SetImage(hotspot.TrayFrames().Step(kFrames));
  if (hotspot.SharingStatusText() == hotspot::kSharingDone) {
    w.时钟_右下角灰动.SetInterval(0);
    w.托盘图标1.SetTip(hotspot::kRunningTip);
    w.托盘图标1.SetImage(ui::TrayImage::Running);
  }
}

void StatusAnimationTick(Application& app) {
  ui::MainWindow& w = app.Main();
  hotspot::Hotspot& hotspot = app.Hotspot();
  static constexpr ui::Picture kFrames[] = {ui::Picture::StatusBusy1, ui::Picture::StatusBusy2,
                                            ui::Picture::StatusBusy3, ui::Picture::StatusBusy4,
                                            ui::Picture::StatusBusy5};
  w.图片框状态.Show(hotspot.StatusFrames().Step(kFrames));
  if (hotspot.SharingStatusText() == hotspot::kSharingDone) {
    w.时钟状态.SetInterval(0);
    w.图片框状态.Show(ui::Picture::StatusDone);
  }
}

// The end of every way out. Ending the start-up worker in the reset also closes a box
// it shows, so that no way out waits for an answer.
void LeaveProgram(Application& app) {
  app.ResetForTheEnd();
  app.EndProgram(0);
}

// Windows ends the process once this returns: a close it asked for has run whole by
// then, and one that was under way already is waited for.
void EndOfSession(Application& app) {
  CloseSequence(app);
  app.ResetForTheEnd();
}

// The handler runs only until a way out has begun: after that nothing the user does
// starts the hotspot or brings the window back.
template <typename Action>
std::function<void()> UntilTheWayOut(Application& app, Action action) {
  return [&app, action] {
    if (!app.Closing()) action();
  };
}

}  // namespace

void ShowCentred(Application& app) {
  if (app.Closing()) return;
  ui::MainWindow& w = app.Main();
  w.SetVisible(true);
  w.SetMinimised(false);
  // The screen and the window's position are in pixels, the window's size in 96-DPI
  // units: the window is centred by its size in pixels.
  const platform::ScreenSize screen = app.Platform().system.PrimaryScreenSize();
  ui::Rect rect = w.Geometry();
  rect.left = (screen.width - ui::ScaleLength(rect.width, screen.dpi)) / 2;
  rect.top = (screen.height - ui::ScaleLength(rect.height, screen.dpi)) / 2;
  w.SetGeometry(rect);
}

void BringToFront(Application& app) {
  ui::MainWindow& w = app.Main();
  ShowCentred(app);
  w.SetTopmost(true);
  app.Exec().WaitPumping(200);
  w.SetTopmost(false);
  w.Activate();
}

void CloseSequence(Application& app) {
  if (!app.BeginClosing()) return;
  ui::MainWindow& w = app.Main();
  ui::SpeedBarWindow& bar = app.SpeedBar();
  bar.SetVisible(false);
  bar.时钟流量.SetInterval(0);
  w.时钟_黑.SetInterval(0);
  w.时钟_白.SetInterval(0);
  w.时钟流量统计.SetInterval(0);
  w.RemoveBorder();

  // The window folds up: first its height, then its width, in steps of 60 pixels, and
  // never below nothing.
  ui::Rect rect = w.Geometry();
  while (rect.height > 2) {
    rect.height = std::max(rect.height - 60, 0);
    w.SetGeometry(rect);
    rect.top += 25;
    w.SetGeometry(rect);
  }
  app.Exec().WaitPumping(50);
  while (rect.width > 2) {
    rect.width = std::max(rect.width - 60, 0);
    w.SetGeometry(rect);
    rect.left += 30;
    w.SetGeometry(rect);
  }
  w.SetVisible(false);

  LeaveProgram(app);
}

void ExitProgram(Application& app) {
  if (!app.BeginClosing()) return;
  app.SpeedBar().SetVisible(false);
  app.Main().SetVisible(false);
  LeaveProgram(app);
}

void LeaveForUpdate(Application& app) {
  if (!app.BeginClosing()) return;
  app.Main().SetVisible(false);
  LeaveProgram(app);
}

void ConnectWindowActions(Application& app) {
  ui::MainWindow& w = app.Main();
  w.选择框_显示密码.onClick = [&app] { ShowPassPhraseClicked(app); };
  w.画板_问号.onReleased = [&app] { ShowUsageHelp(app); };
  w.选择夹1.onTabChanged = [&app] { TabChanged(app); };
  w.按钮右下角.onClick = [&app] { HideToTray(app); };
  w.按钮查看连接.onClick = [&app] { app.Platform().shell.StartProgram("control.exe ncpa.cpl"); };
  w.托盘图标1.onLeftClick = UntilTheWayOut(app, [&app] { BringToFront(app); });
  w.托盘图标1.onLeftDoubleClick = UntilTheWayOut(app, [&app] { BringToFront(app); });
  w.托盘图标1.onRightClick = UntilTheWayOut(app, [&w] { w.菜单.PopUp(); });
  w.托盘图标1.onNoticeClick = UntilTheWayOut(app, [&app] { ShowUsersTab(app); });
  w.onRightButtonReleased = UntilTheWayOut(app, [&w] { w.菜单.PopUp(); });
  w.菜单_官方网站.onChosen = [&app] {
    OpenWebAddress(app.Platform().shell, app.OfficialSiteUrl());
  };
  w.onCloseRequested = [&app] { CloseSequence(app); };
  w.onSessionEnded = [&app] { EndOfSession(app); };
  w.菜单_退出.onChosen = [&app] { ExitProgram(app); };
  w.按钮开始.onClick = UntilTheWayOut(app, [&app] { app.Hotspot().StartButtonClicked(); });
  w.超级链接框_重启.onReleased = UntilTheWayOut(app, [&app] { app.Hotspot().RestartHotspot(); });
  w.菜单_重启WiFi.onChosen = UntilTheWayOut(app, [&app] { app.Hotspot().RestartHotspot(); });
  w.时钟_右下角灰动.onTick = [&app] { TrayAnimationTick(app); };
  w.时钟状态.onTick = [&app] { StatusAnimationTick(app); };
}

}  // namespace lumora::app
