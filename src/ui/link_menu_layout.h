#pragma once
// The layout of a balloon that shows the links of its HTML as a menu, one per line (the
// speed bar's menu): its size from the measured text, where it stands on the screen, and
// which row a point is on. Pixels at the monitor's DPI; the drawing is the view's.

#include "ui/controls.h"

namespace lumora::ui {

struct LinkMenuLayout {
  int dpi = 96;
  int rows = 0;
  int rowHeight = 0;
  int width = 0;
  int height = 0;
};

// The menu of rows links whose widest text is widestText pixels wide and whose font is
// textHeight pixels high.
LinkMenuLayout LayOutLinkMenu(int rows, int widestText, int textHeight, int dpi);

// Whether the balloon of a point (relative to the window's top-left corner, 96-DPI units)
// opens above it: from a point in the upper half of the window.
bool LinkMenuOpensAbove(Point point, int windowHeight);

// The menu's screen rectangle: centred on the anchor, below it or above it, moved as
// little as needed to stay within the work area.
Rect PlaceLinkMenu(const LinkMenuLayout& menu, Point anchor, bool above, const Rect& workArea);

// The row at a height of the menu's client area, or -1 beside the rows.
int LinkRowAt(const LinkMenuLayout& menu, int y);
// The client rectangle of a row.
Rect LinkRowRect(const LinkMenuLayout& menu, int row);

}  // namespace lumora::ui
