#pragma once
// What a user does to the windows, for tests: click, type, choose, right-click a row,
// double-click at a point, leave a field, press a key; and the windows' timers, which
// fire as the manual clock passes their due times.

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock_port.h"
#include "ui/controls.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/message_boxes.h"

namespace lumora::ui::headless {

// Message boxes that a test reads and answers.
class HeadlessMessageBoxes final : public MessageBoxes {
 public:
  struct Shown {
    std::string text, title;
    unsigned style = 0;
  };
  int Show(std::string_view text, std::string_view title, unsigned style) override;
  // The answer to the next box shown; without one, a box is answered with OK.
  void AnswerNext(int answer);
  std::vector<Shown> AllShown() const;

 private:
  mutable std::mutex lock_;
  std::deque<int> answers_;
  std::vector<Shown> shown_;
};

// Runs the timers of the observed windows on the clock: a running timer is due one
// interval after it was started or last fired.
class HeadlessTimers final : public ModelObserver {
 public:
  explicit HeadlessTimers(platform::Clock& clock) : clock_(clock) {}
  void Observe(WindowModel& window);
  // Fires every timer whose due time has come, earliest first.
  void FireDue();
  // The earliest due time of a running timer, or none.
  std::optional<std::uint64_t> NextDue() const;

  void OnControlChanged(Control& control, Change change) override;
  void OnWindowChanged(WindowModel&, WindowChange) override {}

 private:
  platform::Clock& clock_;
  std::map<Timer*, std::uint64_t> due_;
};

// The user's hand. Each action changes the control as the real control would, then
// runs its handler.
void Click(Button& button);
void Click(CheckBox& box);  // a radio button also clears the others of its page
void Click(MenuItem& item);
void Release(Hyperlink& link);
void Release(PictureControl& panel);
void Type(EditBox& box, std::string_view text);
void Type(ComboBox& box, std::string_view text);
void Choose(ComboBox& box, int index);
void ChooseTab(TabControl& tabs, int index);
void MoveSlider(Slider& slider, int position);
void RightClickRow(ListView& list, int row);
void DoubleClickAt(ListView& list, Point point);
void LoseFocus(EditBox& box);
void LoseFocus(ComboBox& box);
void ReleaseKey(EditBox& box, int keyCode);
void PressKey(ComboBox& box, int keyCode);
void Tick(Timer& timer);

}  // namespace lumora::ui::headless
