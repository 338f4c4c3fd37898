#include "ui/headless/headless_ui.h"

#include "ui/user_input.h"

namespace lumora::ui::headless {

int HeadlessMessageBoxes::Show(std::string_view text, std::string_view title, unsigned style) {
  BoxClose never;
  return ShowClosable(text, title, style, never);
}

int HeadlessMessageBoxes::ShowClosable(std::string_view text, std::string_view title,
                                       unsigned style, BoxClose& close) {
  if (close.Requested()) return DeclineAnswer(style);
  std::unique_lock lock(lock_);
  shown_.push_back({std::string(text), std::string(title), style});
  if (!keepOpen_) return NextAnswer();
  const auto box = open_.insert(open_.end(), OpenBox{shown_.size() - 1});
  changed_.notify_all();
  // The close is attached outside the lock: a request that came first closes the box
  // at once, under the lock.
  lock.unlock();
  close.Attach([this, box] {
    std::lock_guard guard(lock_);
    box->closed = true;
    changed_.notify_all();
  });
  lock.lock();
  changed_.wait(lock, [&] { return box->answer || box->closed; });
  const int answer = box->answer ? *box->answer : DeclineAnswer(style);
  shown_[box->shown].closed = !box->answer;
  lock.unlock();
  close.Detach();
  lock.lock();
  open_.erase(box);
  changed_.notify_all();
  return answer;
}

int HeadlessMessageBoxes::NextAnswer() {
  if (answers_.empty()) return kAnswerOk;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void HeadlessMessageBoxes::AnswerNext(int answer) {
  std::lock_guard guard(lock_);
  answers_.push_back(answer);
}

void HeadlessMessageBoxes::KeepBoxesOpen() {
  std::lock_guard guard(lock_);
  keepOpen_ = true;
}

int HeadlessMessageBoxes::OpenBoxes() const {
  std::lock_guard guard(lock_);
  int waiting = 0;
  for (const OpenBox& box : open_)
    if (!box.answer && !box.closed) ++waiting;
  return waiting;
}

bool HeadlessMessageBoxes::AnswerOpenBox(int answer) {
  std::lock_guard guard(lock_);
  for (OpenBox& box : open_) {
    if (box.answer || box.closed) continue;
    box.answer = answer;
    changed_.notify_all();
    return true;
  }
  return false;
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
