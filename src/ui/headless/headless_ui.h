#pragma once
// The headless windows of the tests: message boxes that a test answers, and the
// windows' timers, which fire as the manual clock passes their due times. Tests click
// through the user-input functions of ui/user_input.h, as the Win32 view does.

#include <condition_variable>
#include <deque>
#include <list>
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
    bool closed = false;  // closed by a request, not answered
  };
  int Show(std::string_view text, std::string_view title, unsigned style) override;
  int ShowClosable(std::string_view text, std::string_view title, unsigned style,
                   BoxClose& close) override;
  // The answer to the next box shown; without one, a box is answered with OK at once.
  void AnswerNext(int answer);
  // From now on a box stays up, its thread waiting, until the test answers it or a
  // close request closes it. Only for the boxes of workers: the UI thread is the
  // test's.
  void KeepBoxesOpen();
  int OpenBoxes() const;
  // Answers the box that has been up longest; false when none is up.
  bool AnswerOpenBox(int answer);
  std::vector<Shown> AllShown() const;

 private:
  struct OpenBox {
    std::size_t shown = 0;  // its entry in shown_
    std::optional<int> answer;
    bool closed = false;
  };
  int NextAnswer();

  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::deque<int> answers_;
  std::vector<Shown> shown_;
  bool keepOpen_ = false;
  std::list<OpenBox> open_;
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

}  // namespace lumora::ui::headless
