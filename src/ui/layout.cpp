#include "ui/layout.h"

#include <cmath>

namespace lumora::ui {

bool HasWindow(ControlKind kind) {
  switch (kind) {
    case ControlKind::Timer:
    case ControlKind::TrayIcon:
    case ControlKind::BalloonTip:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
      return false;
    default:
      return true;
  }
}

const TabControl* TabControlOf(const WindowModel& window) {
  for (const Control* control : window.Controls())
    if (control->Kind() == ControlKind::TabControl) return static_cast<const TabControl*>(control);
  return nullptr;
}

bool OnTabPage(const Control& control) {
  return control.TabPage() >= 0 && TabControlOf(control.Owner()) != nullptr;
}

Rect LayoutRect(const Control& control) {
  Rect rect = control.Geometry();
  for (const Control* box = control.GroupBox(); box; box = box->GroupBox()) {
    rect.left += box->Geometry().left;
    rect.top += box->Geometry().top;
  }
  return rect;
}

int ScaleLength(int length, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(length) * dpi / kDesignDpi));
}

int UnscaleLength(int pixels, int dpi) {
  if (dpi <= 0) return pixels;
  return static_cast<int>(std::lround(static_cast<double>(pixels) * kDesignDpi / dpi));
}

Rect ScaleRect(const Rect& rect, int dpi) {
  const int left = ScaleLength(rect.left, dpi);
  const int top = ScaleLength(rect.top, dpi);
  return {left, top, ScaleLength(rect.left + rect.width, dpi) - left,
          ScaleLength(rect.top + rect.height, dpi) - top};
}

bool ShownOnScreen(const Control& control) {
  if (!control.Visible()) return false;
  const int page = control.TabPage();
  if (page < 0) return true;
  const TabControl* tabs = TabControlOf(control.Owner());
  return !tabs || tabs->CurrentTab() == page;
}

}  // namespace lumora::ui
