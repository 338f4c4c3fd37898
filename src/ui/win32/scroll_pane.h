#pragma once
// A pane with a vertical scroll bar that shows its one child, a document taller than
// the pane, through its client area: the link control of the help text cannot scroll by
// itself. The child takes the pane's width and its own ideal height; what it sends its
// parent goes on to the pane's parent, as if the pane were not there.

#include <windows.h>

#include "ui/win32/window_base.h"

namespace lumora::ui::win32 {

class ScrollPane final : public WindowBase {
 public:
  // A hidden pane at the rectangle of parent.
  bool Create(HWND parent, const RECT& rect, DWORD exStyle);
  // The child to size: from then on each Fit makes it as wide as the pane's client area
  // and as tall as its text needs, sets the scroll bar and keeps the position where it
  // still can. Call it after the pane or the child's text has changed.
  void Hold(HWND child) { child_ = child; }
  void Fit();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ScrollTo(int position);
  int LineHeight() const;

  HWND child_ = nullptr;
  int position_ = 0;
  int contentHeight_ = 0;
};

}  // namespace lumora::ui::win32
