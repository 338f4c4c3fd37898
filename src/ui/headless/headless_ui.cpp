#include "ui/headless/headless_ui.h"

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
    if (earliest->onTick) earliest->onTick();
  }
}

void Click(Button& button) {
  if (button.Enabled() && button.Visible() && button.onClick) button.onClick();
}

void Click(CheckBox& box) {
  if (!box.Enabled()) return;
  if (box.Kind() == ControlKind::RadioButton) {
    for (Control* other : box.Owner().Controls()) {
      if (other != &box && other->Kind() == ControlKind::RadioButton &&
          other->TabPage() == box.TabPage() && other->GroupBox() == box.GroupBox()) {
        static_cast<CheckBox*>(other)->SetChecked(false);
      }
    }
    box.SetChecked(true);
  } else {
    box.SetChecked(!box.Checked());
  }
  if (box.onClick) box.onClick();
}

void Click(MenuItem& item) {
  if (item.Enabled() && item.onChosen) item.onChosen();
}

void Release(Hyperlink& link) {
  if (link.Enabled() && link.Visible() && link.onReleased) link.onReleased();
}

void Release(PictureControl& panel) {
  if (panel.Enabled() && panel.onReleased) panel.onReleased();
}

void Type(EditBox& box, std::string_view text) {
  if (box.Enabled()) box.SetText(text);
}

void Type(ComboBox& box, std::string_view text) {
  if (box.Enabled() && box.Editable()) box.SetText(text);
}

void Choose(ComboBox& box, int index) {
  if (!box.Enabled()) return;
  box.Select(index);
  if (box.onSelectionChanged) box.onSelectionChanged();
}

void ChooseTab(TabControl& tabs, int index) {
  const int before = tabs.CurrentTab();
  tabs.SetCurrentTab(index);
  if (tabs.CurrentTab() != before && tabs.onTabChanged) tabs.onTabChanged();
}

void MoveSlider(Slider& slider, int position) {
  if (!slider.Enabled()) return;
  slider.SetPosition(position);
  if (slider.onPositionChanged) slider.onPositionChanged();
}

void RightClickRow(ListView& list, int row) {
  if (row >= 0 && static_cast<std::size_t>(row) < list.RowCount() && list.onRightClickItem)
    list.onRightClickItem(row);
}

void DoubleClickAt(ListView& list, Point point) {
  if (list.onDoubleClick) list.onDoubleClick(point);
}

void LoseFocus(EditBox& box) {
  if (box.onFocusLost) box.onFocusLost();
}

void LoseFocus(ComboBox& box) {
  if (box.onFocusLost) box.onFocusLost();
}

void ReleaseKey(EditBox& box, int keyCode) {
  if (box.onKeyReleased) box.onKeyReleased(keyCode);
}

void PressKey(ComboBox& box, int keyCode) {
  if (box.onKeyPressed) box.onKeyPressed(keyCode);
}

void Tick(Timer& timer) {
  if (timer.Running() && timer.onTick) timer.onTick();
}

}  // namespace lumora::ui::headless
