#pragma once
// What the files of ModelWindow share: its private messages and timers, the classes of
// the controls it draws itself, and small helpers. For those files only.

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/controls.h"
#include "ui/win32/model_window.h"

namespace lumora::ui::win32::detail {

inline constexpr UINT kTrayMessage = WM_APP + 40;
inline constexpr UINT kPopUpMessage = WM_APP + 41;
inline constexpr int kComboListHeight = 200;  // the dropped list, at 96 DPI
inline constexpr LONG_PTR kComboEditId = kFirstControlId - 1;
inline constexpr int kHoverTipWidth = 400;  // at 96 DPI
inline constexpr int kBalloonWidth = 420;
inline constexpr wchar_t kPictureClass[] = L"LumoraPicture";
inline constexpr wchar_t kPasswordChar = 0x25CF;

// Marks the time the view spends applying a model change (or noting a change of the
// window): what the controls report meanwhile is the view's own doing, not the user's.
class Applying {
 public:
  explicit Applying(int& depth) : depth_(depth) { ++depth_; }
  ~Applying() { --depth_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  int& depth_;
};

inline std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline COLORREF RgbOf(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }

// A label of one line stands in the middle of its height, level with the field beside
// it; one of several lines starts at the top.
inline DWORD LineStyle(std::string_view text) {
  return text.find('\n') == std::string_view::npos ? SS_CENTERIMAGE : 0;
}

// Controls drawn over their parent's background; the others paint every pixel they
// cover.
inline bool SeeThrough(ControlKind kind) {
  return kind == ControlKind::GroupBox || kind == ControlKind::TransparentLabel;
}

}  // namespace lumora::ui::win32::detail
