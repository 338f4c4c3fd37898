#include "ui/headless/headless_ui.h"

#include "ui/user_input.h"

namespace lumora::ui::headless {

int HeadlessMessageBoxes::Show(std::string_view text, std::string_view title, unsigned style) {
  std::lock_guard guard(lock_);
  shown_.push_back({std::string(text), std::string(title), style});
  if (answers_.empty()) return kAnswerOk;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void HeadlessMessageBoxes::AnswerNext(int answer) {
  std::lock_guard guard(lock_);
  answers_.push_back(answer);
}

std::vector<HeadlessMessageBoxes::Shown> HeadlessMessageBoxes::AllShown() const {
  std::lock_guard guard(lock_);
  return shown_;
}

void HeadlessTimers::Observe(WindowModel& window) {
  window.AddObserver(this);
  for (Control* control : window.Controls())
    if (auto* timer = dynamic_cast<Timer*>(control); timer && timer->Running())
      due_[timer] = clock_.NowMs() + static_cast<std::uint64_t>(timer->Interval());
}

void HeadlessTimers::OnControlChanged(Control& control, Change change) {
  if (change != Change::Interval) return;
  auto& timer = static_cast<Timer&>(control);
  // Setting an interval restarts the period, as SetTimer does.
  if (timer.Running()) {
    due_[&timer] = clock_.NowMs() + static_cast<std::uint64_t>(timer.Interval());
  } else {
    due_.erase(&timer);
  }
}

std::optional<std::uint64_t> HeadlessTimers::NextDue() const {
  std::optional<std::uint64_t> next;
  for (const auto& [timer, due] : due_)
    if (!next || due < *next) next = due;
  return next;
}

void HeadlessTimers::FireDue() {
  for (;;) {
    Timer* earliest = nullptr;
    std::uint64_t earliestDue = 0;
    for (const auto& [timer, due] : due_) {
      if (due <= clock_.NowMs() && (!earliest || due < earliestDue)) {
        earliest = timer;
        earliestDue = due;
      }
    }
    if (!earliest) return;
    // A late timer fires once, not once per missed period, like WM_TIMER.
    due_[earliest] = clock_.NowMs() + static_cast<std::uint64_t>(earliest->Interval());
    Tick(*earliest);
  }
}

}  // namespace lumora::ui::headless
