#pragma once
// Timed shutdown: the box "定时关机：" and the number of hours beside it arm a countdown
// that the label 标签关机 shows each second. At 45 seconds the main window comes up; at
// 1 second the hotspot is taken down and, three seconds later, the PC is powered off,
// unless the countdown was cancelled or armed anew, or the program began its way out,
// meanwhile. Nothing of it is stored.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "exec/exec_services.h"
#include "hotspot/hotspot.h"
#include "platform/power_off_port.h"
#include "ui/main_window.h"

namespace lumora::shutdown {

struct Countdown {
  int hours = 0, minutes = 0, seconds = 0;
  bool operator==(const Countdown&) const = default;
};

// The label's text: each counter with at least two digits, "01时00分36秒后关机".
std::string CountdownText(const Countdown& countdown);

// The countdown for the leading decimal number of the text, in hours, cut to whole
// seconds; a text without a number is 0 hours. None for a negative number and for one
// whose hours do not fit the counters.
std::optional<Countdown> CountdownForHours(std::string_view text);

class TimedShutdown {
 public:
  // showMainCentred shows the main window, restored, in the middle of the screen.
  TimedShutdown(ui::MainWindow& w, exec::ExecServices& exec, hotspot::Hotspot& hotspot,
                platform::PowerOffPort& power, std::function<void()> showMainCentred);
  TimedShutdown(const TimedShutdown&) = delete;
  TimedShutdown& operator=(const TimedShutdown&) = delete;

  // The box's state arms the countdown from the combo box's text, or cancels it.
  void ArmShutdownCountdown();
  // The tick of 时钟关机: one second less.
  void CountdownTick();
  // The program is on its way out: as a cancel, and nothing arms again, so that a
  // countdown in its last seconds does not power the PC off after all.
  void EndForGood();

 private:
  void TickAndArm();
  void PowerOffUnlessCancelled(unsigned arming);

  ui::MainWindow& w_;
  exec::ExecServices& exec_;
  hotspot::Hotspot& hotspot_;
  platform::PowerOffPort& power_;
  std::function<void()> showMainCentred_;
  Countdown countdown_;
  // Counts every arming and cancelling, so that the end of a countdown can tell whether
  // it is still the one the user set.
  unsigned armings_ = 0;
  bool ended_ = false;
};

}  // namespace lumora::shutdown
