#pragma once
// Message boxes: no owner window, modal for the thread that shows them. Workers show
// them too, so an implementation is callable from any thread, and another thread can
// close a box that is up.

#include <functional>
#include <mutex>
#include <string_view>

namespace lumora::ui {

// Styles and answers carry the Windows values, so the view passes them on as they are.
inline constexpr unsigned kMessageOk = 0x0;
inline constexpr unsigned kMessageOkCancel = 0x1;
inline constexpr unsigned kMessageYesNo = 0x4;
inline constexpr unsigned kMessageIconError = 0x10;
inline constexpr unsigned kMessageIconQuestion = 0x20;
inline constexpr unsigned kMessageIconWarning = 0x30;
inline constexpr unsigned kMessageIconInformation = 0x40;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// The answer of a box closed by a request rather than by the user: Cancel where the box
// has it, No on a Yes and No box, OK on a box with OK alone.
int DeclineAnswer(unsigned style);

// A request to close one box while it is up, from any thread.
class BoxClose {
 public:
  // A request that comes before the box is up keeps it from showing at all.
  void Request();
  bool Requested() const;

  // For the box while it is up: closeBox runs once on the request, at once when the
  // request came first. It runs under the request's lock, so it is short and never
  // waits. Detach, once the box is gone, waits for a closeBox under way.
  void Attach(std::function<void()> closeBox);
  void Detach();

 private:
  mutable std::mutex lock_;
  bool requested_ = false;
  std::function<void()> closeBox_;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns the button the user chose.
  virtual int Show(std::string_view text, std::string_view title, unsigned style) = 0;
  // The same, and a request on close closes the box (or keeps it from showing) with
  // DeclineAnswer(style).
  virtual int ShowClosable(std::string_view text, std::string_view title, unsigned style,
                           BoxClose& close) = 0;
};

}  // namespace lumora::ui
