#pragma once
// The floating speed bar: once a second the download and upload speeds of the hotspot's
// devices, a place on the screen that is remembered, a double click that brings the
// main window up, and a small menu of three links in the bar's balloon.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "exec/exec_services.h"
#include "platform/network_ports.h"
#include "platform/system_port.h"
#include "settings/settings.h"
#include "ui/main_window.h"
#include "ui/skin.h"

namespace lumora::traffic {

inline constexpr int kSpeedBarMs = 1000;
inline constexpr std::string_view kSpeedBarTip = "显示WiFi的实时流量\r\n双击显示主界面，右击可隐藏";
// The menu as the balloon shows it: one link a line, each with the message it reports.
inline constexpr std::string_view kSpeedBarMenu =
    "<a msg=m7><font size=10pt>   显示主界面   </font></a></br>\r\n"
    "<a msg=m8><font size=10pt>   隐藏流量条   </font></a></br>\r\n"
    "<a msg=m9><font size=10pt>   退出WiFi   </font></a>";

// The speed shown for the bytes one tick moved: whole kilobytes with ".0" up to 999 KB,
// above that megabytes with two decimals ("500.0KB/S", "1.00MB/S").
std::string SpeedText(std::uint64_t bytes);

// It watches its timer: the readings of a counting that a stop of the timer interrupted
// are dropped.
class SpeedBar : private ui::ModelObserver {
 public:
  // What the program does with its main window and its end.
  struct ProgramActions {
    // Shows the main window, restored, in the middle of the screen.
    std::function<void()> showMainCentred;
    // The exit of the tray menu.
    std::function<void()> exitProgram;
  };

  SpeedBar(ui::SpeedBarWindow& bar, ui::MainWindow& main, settings::Settings& settings,
           platform::NetworkPorts& ports, platform::SystemFacts& system, exec::ExecServices& exec,
           ui::Skin& skin, ProgramActions actions);
  ~SpeedBar() override;
  SpeedBar(const SpeedBar&) = delete;
  SpeedBar& operator=(const SpeedBar&) = delete;

  // The speed bar window has been loaded: unskinned, with its tip, at its stored place
  // (the screen's lower right corner by default), its timer running. Before this the
  // window does not exist, as on a system the program refuses.
  void PrepareSpeedBar();
  bool Exists() const { return exists_; }

  // The tick of 时钟流量: nothing while the hosted connection is unknown; otherwise the
  // bytes since the last tick. The first reading, the first after the timer was stopped,
  // a counter that went back (a new hosted interface) and an interface that cannot be
  // read show 0.0KB/S.
  void RefreshSpeed();
  // The box on the traffic tab was clicked: the setting, and the bar with its timer.
  void SpeedBarOptionChanged();

 private:
  // One counter's last reading; none before the first and while unreadable.
  struct Reading {
    bool readable = false;
    std::uint64_t bytes = 0;
  };
  static std::string SpeedSince(const Reading& previous, const Reading& last);
  void OnControlChanged(ui::Control& control, ui::Change change) override;
  void OnWindowChanged(ui::WindowModel&, ui::WindowChange) override {}
  void PositionChanged();
  void ShowMainFromSpeedBar();
  void OpenSpeedBarMenu();
  void SpeedBarMenuChosen(std::string_view message);

  ui::SpeedBarWindow& bar_;
  ui::MainWindow& main_;
  settings::Settings& settings_;
  platform::NetworkPorts& ports_;
  platform::SystemFacts& system_;
  exec::ExecServices& exec_;
  ui::Skin& skin_;
  ProgramActions actions_;
  bool exists_ = false;
  // Moves are written once the stored place has been applied, never before.
  bool positionRestored_ = false;
  Reading received_, sent_;
};

}  // namespace lumora::traffic
