// From the model to the window: each change of a control or of the window itself is
// mirrored into the real one, and none of it comes back as the user's doing.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "platform/win32/scoped_win.h"
#include "ui/layout.h"
#include "ui/link_menu_layout.h"
#include "ui/simple_html.h"
#include "ui/user_input.h"
#include "ui/win32/model_window.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/ui_font.h"

namespace lumora::ui::win32 {

using namespace detail;
using platform::win32::Wide;

void ModelWindow::OnControlChanged(Control& control, Change change) {
  ControlSlot* slot = SlotOf(control);
  if (!slot || !Handle()) return;
  Applying applying(context_.applying);
  const ControlKind kind = control.Kind();
  if (const ControlView* view = ViewOf(kind); view && view->Apply(*slot, change, context_)) return;
  switch (change) {
    case Change::Text:
    case Change::Content:
      ApplyText(*slot);
      break;
    case Change::Enabled:
      ApplyEnabled(*slot);
      break;
    case Change::Visible:
      ApplyVisible(*slot);
      break;
    case Change::Checked:
      break;  // only buttons are checked, and their view applies it
    case Change::Geometry:
      ApplyGeometry(*slot);
      break;
    case Change::TextColour:
      if (slot->window) {
        if (SeeThrough(kind))
          RedrawUnder(slot->window);
        else
          InvalidateRect(slot->window, nullptr, TRUE);
      }
      break;
    case Change::Tip:
      if (kind == ControlKind::TrayIcon)
        ApplyTray();
      else
        ApplyTip(*slot);
      break;
    case Change::Masked:
      break;  // only edit boxes are masked, and their view applies it
    case Change::Items:
      break;  // only combo boxes have items, and their view applies them
    case Change::Selection:
      if (kind == ControlKind::TabControl) ApplyTabSelection();
      break;
    case Change::Rows:
    case Change::RowSelection:
      break;  // only list views have rows, and their view applies them
    case Change::Focus:
      if (!slot->window) break;
      SetFocus(slot->window);
      if (const ControlView* view = ViewOf(kind)) view->OnFocused(*slot);
      break;
    case Change::Position:
      break;  // only sliders have it, and their view applies it
    case Change::Interval:
      ApplyInterval(*slot);
      break;
    case Change::Picture:
      if (kind == ControlKind::TrayIcon)
        ApplyTray();
      else if (slot->window)
        InvalidateRect(slot->window, nullptr, FALSE);
      break;
    case Change::Balloon:
      if (kind == ControlKind::TrayIcon) {
        const TrayIcon::Notice& notice = static_cast<TrayIcon&>(control).LastNotice();
        // A notice needs the icon it stands over.
        if (std::exchange(trayWaiting_, false)) ApplyTray();
        tray_->Notice(notice.title, notice.text);
      } else if (kind == ControlKind::BalloonTip) {
        ShowBalloon(static_cast<BalloonTip&>(control));
      }
      break;
    case Change::PopUp:
      // After the handler that asked for it: the menu runs a loop of its own.
      PostMessageW(Handle(), kPopUpMessage, slot->index, 0);
      break;
  }
}

void ModelWindow::OnWindowChanged(WindowModel&, WindowChange change) {
  // A change the view has just noted from the window is there already.
  if (!Handle() || noting_) return;
  {
    Applying applying(context_.applying);
    ApplyWindowChange(change);
  }
  // Moving or activating a minimised window restores it first: that much is Windows'
  // doing, and the model learns it.
  NoteIconic();
}

void ModelWindow::ApplyWindowChange(WindowChange change) {
  switch (change) {
    case WindowChange::Title:
      SetWindowTextW(Handle(), Wide(model_.Title()).c_str());
      break;
    case WindowChange::Geometry:
      ApplyWindowGeometry();
      break;
    case WindowChange::Visible:
      ApplyWindowVisible();
      break;
    case WindowChange::Minimised:
      ShowWindow(Handle(), model_.Minimised() ? SW_MINIMIZE : SW_RESTORE);
      break;
    case WindowChange::Topmost:
      ApplyTopmost();
      break;
    case WindowChange::Border:
      ApplyBorder();
      break;
    case WindowChange::Activate:
      Activate();
      break;
  }
}

void ModelWindow::ApplyText(ControlSlot& slot) {
  if (!slot.window) return;
  const Control& control = *slot.control;
  switch (control.Kind()) {
    case ControlKind::TabControl:
      return;
    default: {
      // A text the user has just typed is there already; setting it again would move the
      // caret.
      const std::wstring text = Wide(control.Text());
      if (TextOf(slot.window) != text) SetWindowTextW(slot.window, text.c_str());
      return;
    }
  }
}

void ModelWindow::ApplyVisible(ControlSlot& slot) {
  if (!slot.window) return;
  const bool show = ShownOnScreen(*slot.control);
  const bool shown = (GetWindowLongPtrW(slot.Place(), GWL_STYLE) & WS_VISIBLE) != 0;
  if (show != shown) ShowWindow(slot.Place(), show ? SW_SHOWNA : SW_HIDE);
}

void ModelWindow::ApplyEnabled(ControlSlot& slot) {
  if (!slot.window) return;
  EnableWindow(slot.window, slot.control->Enabled() ? TRUE : FALSE);
  if (SeeThrough(slot.control->Kind())) RedrawUnder(slot.window);
}

void ModelWindow::ApplyGeometry(ControlSlot& slot) {
  if (!slot.window) return;
  const Control& control = *slot.control;
  Rect rect = WindowPlace(control);
  if (const ControlView* view = ViewOf(control.Kind())) view->Place(rect, context_);
  // A pane fits its document to the new size itself.
  MoveWindow(slot.Place(), rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height),
             TRUE);
  // Moving uncovers the old place only; what is drawn over the background needs the
  // new place cleared as well.
  if (SeeThrough(control.Kind())) RedrawUnder(slot.window);
  if (control.Kind() == ControlKind::GroupBox)
    for (ControlSlot& inner : slots_)
      if (inner.control->GroupBox() == &control) ApplyGeometry(inner);
}

Rect ModelWindow::WindowPlace(const Control& control) const {
  Rect rect = LayoutRect(control);
  if (const Control* box = control.GroupBox()) {
    // Both are in the coordinates of the same parent window.
    const Rect frame = LayoutRect(*box);
    const int right = std::min(rect.left + rect.width, frame.left + frame.width);
    const int bottom = std::min(rect.top + rect.height, frame.top + frame.height);
    rect.left = std::max(rect.left, frame.left);
    rect.top = std::max(rect.top, frame.top);
    rect.width = std::max(0, right - rect.left);
    rect.height = std::max(0, bottom - rect.top);
  }
  return ScaleRect(rect, context_.dpi);
}

void ModelWindow::ApplyTip(ControlSlot& slot) {
  // Tips wait until the window has painted: the tooltip window is not needed for the
  // first view.
  if (!slot.window || tipsWaiting_) return;
  if (!hoverTips_) {
    hoverTips_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
    if (!hoverTips_) return;
    // A width makes the tip break its lines at "\r\n".
    SendMessageW(hoverTips_.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(kHoverTipWidth));
    SendMessageW(hoverTips_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(context_.font.Get()),
                 FALSE);
  }
  std::wstring tip = Wide(slot.control->Tip());
  for (const HWND tool : {slot.window, slot.comboEdit}) {
    if (!tool) continue;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    SendMessageW(hoverTips_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (tip.empty()) continue;
    info.lpszText = tip.data();
    SendMessageW(hoverTips_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  if (const ControlView* view = ViewOf(slot.control->Kind()); view && !tip.empty())
    view->OnTipAdded(slot);
}

void ModelWindow::ApplyInterval(ControlSlot& slot) {
  if (slot.control->Kind() != ControlKind::Timer) return;
  const int interval = static_cast<Timer&>(*slot.control).Interval();
  const UINT_PTR id = kFirstControlId + slot.index;
  if (interval > 0)
    SetTimer(Handle(), id, static_cast<UINT>(interval), nullptr);
  else
    KillTimer(Handle(), id);
}

void ModelWindow::ApplyTray() {
  // The icon waits until the window has painted; it then shows as the model says.
  if (trayWaiting_) return;
  for (const ControlSlot& slot : slots_) {
    if (slot.control->Kind() != ControlKind::TrayIcon) continue;
    const auto& tray = static_cast<const TrayIcon&>(*slot.control);
    if (tray.Image() == TrayImage::None)
      tray_->Remove();
    else
      tray_->Show(TrayIconFor(tray.Image()), tray.Tip());
    return;
  }
}

void ModelWindow::ApplyTabSelection() {
  const TabControl* tabs = TabControlOf(model_);
  if (!tabs || !tabs_) return;
  BuildPage(tabs->CurrentTab());
  if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != tabs->CurrentTab())
    SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(tabs->CurrentTab()), 0);
  // The old page goes before the new one comes, so nothing is drawn twice.
  for (ControlSlot& slot : slots_)
    if (slot.window && !ShownOnScreen(*slot.control)) ApplyVisible(slot);
  for (ControlSlot& slot : slots_)
    if (slot.window && ShownOnScreen(*slot.control)) ApplyVisible(slot);
}

void ModelWindow::ApplyWindowGeometry() {
  // A minimised window is restored before it moves.
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  const RECT outer = OuterRect();
  SetWindowPos(Handle(), nullptr, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModelWindow::ApplyWindowVisible() {
  if (model_.Visible()) {
    // A tool window never takes the activation; the others come back restored.
    ShowWindow(Handle(), look_.toolWindow ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
  } else {
    balloon_.Hide();
    links_.Hide();
    ShowWindow(Handle(), SW_HIDE);
  }
}

void ModelWindow::ApplyTopmost() {
  SetWindowPos(Handle(), model_.Topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ModelWindow::ApplyBorder() {
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                                  WS_THICKFRAME | WS_BORDER | WS_DLGFRAME);
  SetWindowLongPtrW(Handle(), GWL_STYLE, style | WS_POPUP);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModelWindow::Activate() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
  SetActiveWindow(Handle());
}

void ModelWindow::ShowBalloon(BalloonTip& tip) {
  if (hoverTips_) SendMessageW(hoverTips_.Get(), TTM_POP, 0, 0);
  RECT outer{};
  GetWindowRect(Handle(), &outer);
  const Point point = tip.LastPoint();
  const POINT at{outer.left + Scale(point.x), outer.top + Scale(point.y)};
  std::vector<HtmlLink> links = HtmlLinks(tip.Text());
  if (links.empty()) {
    balloon_.Show(Handle(), at, tip.Text(), context_.font.Get(), Scale(kBalloonWidth));
    return;
  }
  links_.Show(Handle(), at, LinkMenuOpensAbove(point, model_.Geometry().height), std::move(links),
              context_.dpi,
              [&tip](const std::string& message) { ChooseBalloonLink(tip, message); });
}

void ModelWindow::PopUpMenu(std::size_t index) {
  if (index >= slots_.size() || slots_[index].control->Kind() != ControlKind::Menu) return;
  const auto& menu = static_cast<Menu&>(*slots_[index].control);
  ScopedMenu popup(CreatePopupMenu());
  if (!popup) return;
  const std::vector<MenuItem*>& items = menu.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i]->Visible()) continue;
    AppendMenuW(popup.Get(), MF_STRING | (items[i]->Enabled() ? MF_ENABLED : MF_GRAYED), i + 1,
                Wide(items[i]->Text()).c_str());
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(Handle());
  const int chosen =
      static_cast<int>(TrackPopupMenu(popup.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                      cursor.x, cursor.y, 0, Handle(), nullptr));
  PostMessageW(Handle(), WM_NULL, 0, 0);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return;
  MenuItem& item = *items[static_cast<std::size_t>(chosen - 1)];
  Choose(item);
}

void ModelWindow::ChangeDpi(int dpi, const RECT& suggested) {
  if (dpi <= 0 || dpi == context_.dpi) return;
  {
    Applying applying(context_.applying);
    context_.dpi = dpi;
    context_.font = CreateUiFont(context_.dpi);
    context_.linkFont = CreateUiFont(context_.dpi, true);
    context_.pictures.clear();
    const Rect& g = model_.Geometry();
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, Scale(g.width), Scale(g.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (look_.backdrop != Backdrop::None) ApplyShape();
    for (ControlSlot& slot : slots_) {
      if (!slot.window) continue;
      const ControlKind kind = slot.control->Kind();
      SendMessageW(slot.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(kind)), FALSE);
      ApplyGeometry(slot);
      if (const ControlView* view = ViewOf(kind)) view->ApplyDpi(slot, context_);
    }
    if (hoverTips_) {
      SendMessageW(hoverTips_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(context_.font.Get()),
                   FALSE);
      SendMessageW(hoverTips_.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(kHoverTipWidth));
    }
    balloon_.SetFont(context_.font.Get(), Scale(kBalloonWidth));
  }
  // The window's new place on the other monitor is the model's.
  NoteGeometry();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace lumora::ui::win32
