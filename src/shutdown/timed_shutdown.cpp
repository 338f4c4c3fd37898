#include "shutdown/timed_shutdown.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "text/number_text.h"

namespace lumora::shutdown {

namespace {

constexpr int kTickMs = 1000;
constexpr int kEnterKey = 13;
constexpr Countdown kBringUpAt{0, 0, 45};
constexpr Countdown kStopAt{0, 0, 1};
// The orderly stop of the hotspot gets this long before the power goes off.
constexpr std::uint32_t kStopGraceMs = 3000;
// The longest countdown the counters hold: every hour they can count, and an hour's
// minutes and seconds on top.
constexpr double kMostSeconds = std::numeric_limits<int>::max() * 3600.0 + 3599;

std::string TwoDigits(int value) { return (value <= 9 ? "0" : "") + std::to_string(value); }

}  // namespace

std::string CountdownText(const Countdown& countdown) {
  return TwoDigits(countdown.hours) + "时" + TwoDigits(countdown.minutes) + "分" +
         TwoDigits(countdown.seconds) + "秒后关机";
}

std::optional<Countdown> CountdownForHours(std::string_view text) {
  const double hours = text::LeadingNumber(text);
  // A negative number would give counters that never reach the end, and one too large
  // counters that overflow: neither is a countdown.
  if (!(hours >= 0)) return std::nullopt;
  const double seconds = std::trunc(hours * 3600);
  if (!(seconds <= kMostSeconds)) return std::nullopt;
  const auto total = static_cast<std::int64_t>(seconds);
  const std::int64_t minutes = total / 60;
  return Countdown{static_cast<int>(minutes / 60), static_cast<int>(minutes % 60),
                   static_cast<int>(total % 60)};
}

TimedShutdown::TimedShutdown(ui::MainWindow& w, exec::ExecServices& exec, hotspot::Hotspot& hotspot,
                             platform::PowerOffPort& power, std::function<void()> showMainCentred)
    : w_(w),
      exec_(exec),
      hotspot_(hotspot),
      power_(power),
      showMainCentred_(std::move(showMainCentred)) {
  w_.选择框关机.onClick = [this] { ArmShutdownCountdown(); };
  w_.组合框_关机.onSelectionChanged = [this] { TickAndArm(); };
  w_.组合框_关机.onKeyPressed = [this](int keyCode) {
    if (keyCode == kEnterKey) TickAndArm();
  };
  w_.时钟关机.onTick = [this] { CountdownTick(); };
}

void TimedShutdown::TickAndArm() {
  w_.选择框关机.SetChecked(true);
  ArmShutdownCountdown();
}

void TimedShutdown::ArmShutdownCountdown() {
  ++armings_;
  std::optional<Countdown> countdown;
  if (w_.选择框关机.Checked() && !ended_) {
    countdown = CountdownForHours(w_.组合框_关机.Text());
    // A number that gives no countdown leaves the box as if it had never been ticked.
    if (!countdown) w_.选择框关机.SetChecked(false);
  }
  if (!countdown) {
    w_.标签关机.SetVisible(false);
    w_.时钟关机.SetInterval(0);
    return;
  }
  countdown_ = *countdown;
  w_.标签关机.SetText(CountdownText(countdown_));
  w_.标签关机.SetVisible(true);
  // Restarted, so that the first second of the new countdown is a whole one.
  w_.时钟关机.SetInterval(0);
  w_.时钟关机.SetInterval(kTickMs);
}

void TimedShutdown::EndForGood() {
  ended_ = true;
  ArmShutdownCountdown();
}

void TimedShutdown::CountdownTick() {
  Countdown& c = countdown_;
  if (c.seconds > 0) {
    --c.seconds;
  } else {
    // From all zeros the countdown goes on from 59 seconds.
    c.seconds = 59;
    if (c.minutes > 0) {
      --c.minutes;
    } else if (c.hours > 0) {
      --c.hours;
      c.minutes = 59;
    }
  }
  if (c == kBringUpAt) showMainCentred_();
  if (c == kStopAt) {
    w_.时钟关机.SetInterval(0);
    const unsigned arming = armings_;
    exec_.StartWorkerThread([this] { hotspot_.AbortHotspot(); }, false);
    exec_.WaitPumping(kStopGraceMs);
    // The window stayed live during the wait: a box cleared or a countdown armed anew
    // meanwhile cancels this one, and the label is the new countdown's.
    if (armings_ != arming || !w_.选择框关机.Checked()) return;
    // Not forced: a program that refuses to end keeps the PC on. Each port call reports
    // its own failure; after one the countdown stays where it stopped.
    if (power_.EnableShutdownPrivilege()) power_.EndSession(platform::kExitPowerOff, 0);
  }
  w_.标签关机.SetText(CountdownText(c));
}

}  // namespace lumora::shutdown
