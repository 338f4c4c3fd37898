#pragma once
// A balloon tip that stands at a point of the screen: the program's hints near a
// control. It goes after a few seconds, at the next click of the mouse anywhere in the
// program's thread, or when it is hidden.

#include <windows.h>

#include <string_view>

#include "ui/win32/gdi_objects.h"

namespace lumora::ui::win32 {

class TrackingBalloon {
 public:
  TrackingBalloon() = default;
  ~TrackingBalloon() { Destroy(); }
  TrackingBalloon(const TrackingBalloon&) = delete;
  TrackingBalloon& operator=(const TrackingBalloon&) = delete;

  // Shows text with the balloon's stem at a screen point; owner is the window it belongs
  // to, font its text's and lineWidth where its lines break.
  void Show(HWND owner, POINT at, std::string_view text, HFONT font, int lineWidth);
  void Hide();
  bool Showing() const { return shown_; }
  // The font and line width after a change of DPI.
  void SetFont(HFONT font, int lineWidth);
  // Destroys the balloon's window, which must go before its owner does.
  void Destroy();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self) noexcept;
  static LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);

  ScopedWindow window_;
  ScopedHook hook_;
  HWND owner_ = nullptr;
  bool shown_ = false;
};

}  // namespace lumora::ui::win32
