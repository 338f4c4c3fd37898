#include "ui/link_menu_layout.h"

#include <algorithm>

#include "ui/layout.h"

namespace lumora::ui {

namespace {

// At 96 DPI: the room above and below a row's text, the blanks beside the widest text,
// the narrowest menu, and the margin above the first row and below the last.
constexpr int kRowPadding = 10;
constexpr int kSidePadding = 48;
constexpr int kNarrowest = 100;
constexpr int kMargin = 4;

}  // namespace

LinkMenuLayout LayOutLinkMenu(int rows, int widestText, int textHeight, int dpi) {
  LinkMenuLayout menu;
  menu.dpi = dpi;
  menu.rows = std::max(0, rows);
  menu.rowHeight = textHeight + ScaleLength(kRowPadding, dpi);
  menu.width = std::max(widestText + ScaleLength(kSidePadding, dpi), ScaleLength(kNarrowest, dpi));
  menu.height = menu.rowHeight * menu.rows + 2 * ScaleLength(kMargin, dpi);
  return menu;
}

bool LinkMenuOpensAbove(Point point, int windowHeight) { return point.y * 2 < windowHeight; }

Rect PlaceLinkMenu(const LinkMenuLayout& menu, Point anchor, bool above, const Rect& workArea) {
  const int left = anchor.x - menu.width / 2;
  const int top = above ? anchor.y - menu.height : anchor.y;
  const int right = workArea.left + workArea.width;
  const int bottom = workArea.top + workArea.height;
  // A menu larger than the work area keeps its top-left corner in it.
  return {std::clamp(left, workArea.left, std::max(workArea.left, right - menu.width)),
          std::clamp(top, workArea.top, std::max(workArea.top, bottom - menu.height)), menu.width,
          menu.height};
}

int LinkRowAt(const LinkMenuLayout& menu, int y) {
  if (menu.rowHeight <= 0) return -1;
  const int offset = y - ScaleLength(kMargin, menu.dpi);
  if (offset < 0) return -1;
  const int row = offset / menu.rowHeight;
  return row < menu.rows ? row : -1;
}

Rect LinkRowRect(const LinkMenuLayout& menu, int row) {
  return {0, ScaleLength(kMargin, menu.dpi) + row * menu.rowHeight, menu.width, menu.rowHeight};
}

}  // namespace lumora::ui
