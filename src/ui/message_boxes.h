#pragma once
// Message boxes: no owner window, modal for the thread that shows them. Workers show
// them too, so an implementation is callable from any thread.

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

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns the button the user chose.
  virtual int Show(std::string_view text, std::string_view title, unsigned style) = 0;
};

}  // namespace lumora::ui
