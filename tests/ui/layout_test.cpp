// Where the view puts the controls of the two windows, and which of them are on screen.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include "ui/main_window.h"

namespace lumora::ui {
namespace {

TEST(Layout, ControlsStandRelativeToTheTabControlAndTheirGroupBox) {
  MainWindow w;
  SpeedBarWindow bar;
  const struct {
    const Control& control;
    Rect rect;
  } cases[] = {
      {w.选择夹1, {-1, -2, 455, 330}},      // covers the client area
      {w.编辑框名称, {110, 91, 210, 32}},   // on a page: the page's own position
      {w.超级列表框1, {14, 66, 400, 107}},  // in 分组框4 at 14, 40
      {w.标签5, {23, 54, 114, 16}},         // in 分组框2 at 14, 36
      {w.超文本浏览框1, {7, 19, 450, 90}},  // in 分组框7 at 12, 24, placed before it
      {w.画板_叹号, {375, 251, 20, 21}},
      {bar.透明标签1, {1, -6, 159, 30}},  // the speed bar has no pages
  };
  for (const auto& c : cases) EXPECT_EQ(LayoutRect(c.control), c.rect) << c.control.Name();

  // A group box that moves takes its controls along; a control that moves alone too.
  w.分组框4.SetGeometry({20, 50, 400, 133});
  EXPECT_EQ(LayoutRect(w.超级列表框1), (Rect{20, 76, 400, 107}));
  w.透明标签3.SetLeft(90);
  EXPECT_EQ(LayoutRect(w.透明标签3), (Rect{110, 60, 310, 18}));
  EXPECT_TRUE(OnTabPage(w.超级列表框1));
  EXPECT_FALSE(OnTabPage(w.选择夹1));
  EXPECT_FALSE(OnTabPage(bar.下载透明标签));
}

TEST(Layout, ScalingKeepsTouchingControlsTouchingAndComesBackExactly) {
  EXPECT_EQ(ScaleRect({-1, -2, 455, 330}, 96), (Rect{-1, -2, 455, 330}));
  EXPECT_EQ(ScaleRect({-1, -2, 455, 330}, 144), (Rect{-2, -3, 683, 495}));
  EXPECT_EQ(ScaleRect({10, 10, 20, 10}, 192), (Rect{20, 20, 40, 20}));
  for (const int dpi : {96, 120, 144, 168, 192}) {
    // Controls side by side at 96 DPI stay side by side, whatever the rounding.
    for (int left = 0; left < 50; ++left) {
      const Rect a = ScaleRect({left, 5, 13, 7}, dpi);
      const Rect b = ScaleRect({left + 13, 5, 9, 7}, dpi);
      EXPECT_EQ(a.left + a.width, b.left) << dpi << " " << left;
    }
    // A size read back from a window is the size the model gave it, so moving a
    // window never makes the model drift.
    for (int length = -100; length <= 1000; ++length)
      ASSERT_EQ(UnscaleLength(ScaleLength(length, dpi), dpi), length) << dpi;
  }
}

TEST(Layout, OnlyTheCurrentPageAndTheWindowsOwnControlsAreOnScreen) {
  MainWindow w;
  EXPECT_TRUE(ShownOnScreen(w.选择夹1));
  EXPECT_TRUE(ShownOnScreen(w.编辑框名称));
  EXPECT_FALSE(ShownOnScreen(w.标签9));        // hidden by design on the current page
  EXPECT_FALSE(ShownOnScreen(w.超级列表框1));  // on another page
  w.选择夹1.SetCurrentTab(kTabUsers);
  EXPECT_FALSE(ShownOnScreen(w.编辑框名称));
  EXPECT_TRUE(ShownOnScreen(w.超级列表框1));
  w.超级列表框1.SetVisible(false);
  EXPECT_FALSE(ShownOnScreen(w.超级列表框1));
  // The kinds without a window of their own.
  EXPECT_FALSE(HasWindow(w.时钟状态.Kind()));
  EXPECT_FALSE(HasWindow(w.托盘图标1.Kind()));
  EXPECT_FALSE(HasWindow(w.菜单_退出.Kind()));
  EXPECT_TRUE(HasWindow(w.超文本浏览框2.Kind()));
}

}  // namespace
}  // namespace lumora::ui
