#pragma once
// Where the view puts a control and whether it is on screen. The layout tables give
// pixels at 96 DPI relative to each control's container; the view scales them to the
// monitor's DPI. No Windows types here, so the rules can be checked on their own.

#include "ui/controls.h"

namespace lumora::ui {

inline constexpr int kDesignDpi = 96;

// Whether a control of that kind has a window of its own (timers, the tray icon, balloon
// tips, menus and their items have none).
bool HasWindow(ControlKind kind);

// The tab control of a window, or nullptr.
const TabControl* TabControlOf(const WindowModel& window);

// Whether the control's window is a child of the window's tab control: every control of
// a tab page is, also through its group box.
bool OnTabPage(const Control& control);

// The control's rectangle at 96 DPI in the client coordinates of its parent window. A
// tab page's origin is the tab control's own top-left corner, tab headers included; a
// control in a group box is offset by the box's position (caption included).
Rect LayoutRect(const Control& control);

// 96-DPI lengths to pixels at dpi and back, rounded half away from zero.
int ScaleLength(int length, int dpi);
int UnscaleLength(int pixels, int dpi);
// Scales the edges, so that controls that touch at 96 DPI still touch.
Rect ScaleRect(const Rect& rect, int dpi);

// On screen: the model shows it and it stands on the current tab page, or on no page.
bool ShownOnScreen(const Control& control);

}  // namespace lumora::ui
