// Where the speed bar's link menu stands and which of its rows the mouse is on.
#include "ui/link_menu_layout.h"

#include <gtest/gtest.h>

namespace lumora::ui {
namespace {

constexpr Rect kWorkArea{0, 0, 1280, 760};  // a taskbar of 40 pixels below

TEST(LinkMenuLayout, OpensBelowOrAboveTheBarAndStaysOnTheScreen) {
  const LinkMenuLayout menu = LayOutLinkMenu(3, 80, 16, 96);
  EXPECT_EQ(menu.rowHeight, 26);
  EXPECT_EQ(menu.width, 128);
  EXPECT_EQ(menu.height, 3 * 26 + 8);
  // A short text still makes a menu wide enough to hit.
  EXPECT_EQ(LayOutLinkMenu(1, 10, 16, 96).width, 100);
  EXPECT_EQ(LayOutLinkMenu(3, 80, 24, 144).rowHeight, 24 + 15);

  const struct {
    const char* what;
    Point anchor;
    bool above;
    Rect placed;
  } cases[] = {
      {"below the bar's lower edge, centred", {677, 422}, false, {613, 422, 128, 86}},
      {"above the bar's upper edge", {677, 400}, true, {613, 314, 128, 86}},
      {"a bar at the bottom cannot push it under the taskbar",
       {677, 700},
       false,
       {613, 674, 128, 86}},
      {"a bar at the top cannot push it off the screen", {677, 30}, true, {613, 0, 128, 86}},
      {"a bar at the left edge", {20, 422}, false, {0, 422, 128, 86}},
      {"a bar at the right edge", {1275, 422}, false, {1152, 422, 128, 86}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PlaceLinkMenu(menu, c.anchor, c.above, kWorkArea), c.placed) << c.what;
  // Larger than the work area: its top-left corner stays in it.
  const LinkMenuLayout huge = LayOutLinkMenu(40, 2000, 16, 96);
  const Rect placed = PlaceLinkMenu(huge, {640, 400}, false, {100, 50, 1180, 710});
  EXPECT_EQ(placed.left, 100);
  EXPECT_EQ(placed.top, 50);

  // The point the balloon is asked for decides: the upper half opens it above.
  EXPECT_TRUE(LinkMenuOpensAbove({77, 0}, 23));
  EXPECT_TRUE(LinkMenuOpensAbove({77, 11}, 23));
  EXPECT_FALSE(LinkMenuOpensAbove({77, 12}, 23));
  EXPECT_FALSE(LinkMenuOpensAbove({77, 22}, 23));
}

TEST(LinkMenuLayout, EachHeightIsOnOneRowOrOnNone) {
  for (const int dpi : {96, 120, 144, 192}) {
    const LinkMenuLayout menu = LayOutLinkMenu(3, 80, dpi / 6, dpi);
    const Rect first = LinkRowRect(menu, 0);
    EXPECT_EQ(LinkRowAt(menu, first.top - 1), -1) << dpi;  // the margin above the rows
    EXPECT_EQ(LinkRowAt(menu, -5), -1) << dpi;
    for (int row = 0; row < 3; ++row) {
      const Rect rect = LinkRowRect(menu, row);
      EXPECT_EQ(rect.width, menu.width);
      EXPECT_EQ(LinkRowAt(menu, rect.top), row) << dpi;
      EXPECT_EQ(LinkRowAt(menu, rect.top + rect.height - 1), row) << dpi;
    }
    const Rect last = LinkRowRect(menu, 2);
    EXPECT_EQ(LinkRowAt(menu, last.top + last.height), -1) << dpi;  // the margin below
    EXPECT_LE(last.top + last.height, menu.height) << dpi;
  }
  EXPECT_EQ(LinkRowAt(LayOutLinkMenu(0, 0, 16, 96), 5), -1);
}

}  // namespace
}  // namespace lumora::ui
