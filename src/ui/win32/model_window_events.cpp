// From the window to the model: each message a user's hand causes becomes the call of
// ui/user_input.h that the tests make too, and what Windows does to the window on its
// own (another program shows it, the user minimises or drags it) is written back.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <utility>

#include "platform/failure_report.h"
#include "platform/win32/scoped_win.h"
#include "ui/user_input.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/model_window.h"
#include "ui/win32/model_window_detail.h"

namespace lumora::ui::win32 {

using namespace detail;

namespace {

bool TakesFocus(ControlKind kind) {
  const ControlView* view = ViewOf(kind);
  return view && view->TakesFocus();
}

}  // namespace

LRESULT ModelWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_HSCROLL: {
      bool handled = false;
      const LRESULT result = OnChildMessage(message, wParam, lParam, handled);
      if (handled) return result;
      break;
    }
    case WM_TIMER:
      if (wParam >= kFirstControlId && wParam - kFirstControlId < slots_.size()) {
        Control& control = *slots_[wParam - kFirstControlId].control;
        if (control.Kind() == ControlKind::Timer) Tick(static_cast<Timer&>(control));
      }
      return 0;
    case kTrayMessage:
      OnTrayEvent(LOWORD(lParam));
      return 0;
    case kPopUpMessage:
      PopUpMenu(static_cast<std::size_t>(wParam));
      return 0;
    case WM_CLOSE:
      // The program decides; its close sequence ends it.
      RequestClose(model_);
      return 0;
    case WM_QUERYENDSESSION:
      RequestClose(model_);
      return TRUE;
    case WM_ENDSESSION:
      // Windows ends the process as soon as this returns: a close under way must have
      // reset the PC by then.
      if (wParam) EndSession(model_);
      return 0;
    case WM_RBUTTONUP:
      ReleaseRightButton(model_);
      break;
    case WM_ENTERSIZEMOVE:
      moving_ = true;
      break;
    case WM_EXITSIZEMOVE:
      // A drag tells the model once, where it ended.
      moving_ = false;
      NoteGeometry();
      break;
    case WM_WINDOWPOSCHANGED:
      NoteState(*reinterpret_cast<const WINDOWPOS*>(lParam));
      if (!moving_) NoteGeometry();
      break;
    case WM_GETMINMAXINFO:
      // The closing animation shrinks the window to nothing.
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
      return 0;
    case WM_ERASEBKGND: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      if (DrawBackdrop(dc)) return 1;
      if (context_.skinned) {
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(dc, &client, context_.faceBrush.Get());
        return 1;
      }
      break;
    }
    case WM_DPICHANGED:
      ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      if (tray_) tray_->Remove();
      break;
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        if (tray_) tray_->Restore();
        return 0;
      }
      break;
  }
  return Default(message, wParam, lParam);
}

LRESULT CALLBACK ModelWindow::ControlProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR id,
                                               DWORD_PTR slot) noexcept {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &ModelWindow::ControlProcedure, id);
  auto& controlSlot = *reinterpret_cast<ControlSlot*>(slot);
  try {
    bool handled = false;
    const LRESULT result =
        controlSlot.owner->OnControlMessage(controlSlot, window, message, wParam, lParam, handled);
    if (handled) return result;
  } catch (...) {
    // The handler that failed has done nothing more; the control goes on as usual.
    platform::ReportCurrentException("control procedure");
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT ModelWindow::OnControlMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam, bool& handled) {
  Control& control = *slot.control;
  const ControlKind kind = control.Kind();
  const ControlView* view = ViewOf(kind);
  if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT &&
      (control.HandCursor() || (view && view->LinkLook()))) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    handled = true;
    return TRUE;
  }
  // The drag face moves the window; the label's view does the rest.
  if (look_.dragFace == &control && OnFaceMouse(*look_.dragFace, message)) {
    handled = true;
    return 0;
  }
  if (view) return view->OnMessage(slot, window, message, wParam, lParam, handled, context_);
  const bool painting = message == WM_PAINT || message == WM_PRINTCLIENT;
  const HDC givenDc = message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr;
  switch (kind) {
    case ControlKind::TabControl:
      switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_HSCROLL: {
          // Handled here only: the tab control would pass its children's notifications on
          // to the window, which would handle them a second time.
          const LRESULT result = OnChildMessage(message, wParam, lParam, handled);
          if (message == WM_COMMAND || message == WM_NOTIFY || message == WM_HSCROLL)
            handled = handled || FromControl(message, wParam, lParam);
          return result;
        }
        case WM_ERASEBKGND:
          handled = true;
          return 1;
        case WM_RBUTTONUP: {
          // Over the page itself, or over a group box's empty inside: the window's own.
          const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
          const HWND hit = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE);
          const ControlSlot* hitSlot = hit == window ? nullptr : SlotOfWindow(hit);
          if (hit == window || (hitSlot && hitSlot->control->Kind() == ControlKind::GroupBox))
            ReleaseRightButton(model_);
          break;
        }
        default:
          if (painting) {
            // Drawn by the view, so that the pages have the button face whatever the
            // theme: the colour every static on them is drawn in.
            ScopedPaint paint(window, givenDc);
            PaintTabs(slot, paint.Get());
            handled = true;
          }
          break;
      }
      break;
    case ControlKind::GroupBox:
      switch (message) {
        case WM_ERASEBKGND:
          handled = true;
          return 1;
        case WM_SETTEXT:
        case WM_ENABLE:
        case WM_UPDATEUISTATE: {
          // The button class would paint its own group box at once; store and redraw ours.
          const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
          RedrawUnder(window);
          handled = true;
          return result;
        }
        default:
          if (painting) {
            ScopedPaint paint(window, givenDc);
            PaintGroupBox(slot, paint.Get());
            handled = true;
          }
          break;
      }
      break;
    default:
      break;
  }
  return 0;
}

bool ModelWindow::OnFaceMouse(MouseLabel& face, UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
      PressLeftButton(face);
      // The window is dragged as if by a title bar.
      ReleaseCapture();
      SendMessageW(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return true;
    case WM_LBUTTONDBLCLK:
      DoubleClick(face);
      return true;
    case WM_RBUTTONDOWN:
      PressRightButton(face);
      return true;
    default:
      return false;
  }
}

bool ModelWindow::FromControl(UINT message, WPARAM, LPARAM lParam) {
  const HWND from = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom
                                         : reinterpret_cast<HWND>(lParam);
  return SlotOfWindow(from) != nullptr;
}

LRESULT ModelWindow::OnChildMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  switch (message) {
    case WM_COMMAND:
      if (ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(lParam)))
        OnCommand(*slot, HIWORD(wParam));
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (ControlSlot* slot = SlotOfWindow(header.hwndFrom))
        return OnNotify(*slot, header, handled);
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(lParam)))
        return OnColour(*slot, reinterpret_cast<HDC>(wParam), handled);
      break;
    case WM_HSCROLL:
      if (ControlSlot* slot = SlotOfWindow(reinterpret_cast<HWND>(lParam))) {
        if (const ControlView* view = ViewOf(slot->control->Kind()))
          view->OnScroll(*slot, context_);
        handled = true;
      }
      break;
    default:
      break;
  }
  return 0;
}

void ModelWindow::OnCommand(ControlSlot& slot, UINT code) {
  // What the view itself does to a control is no user's doing.
  if (context_.applying) return;
  if (const ControlView* view = ViewOf(slot.control->Kind())) view->OnCommand(slot, code);
}

LRESULT ModelWindow::OnNotify(ControlSlot& slot, const NMHDR& header, bool& handled) {
  Control& control = *slot.control;
  if (const ControlView* view = ViewOf(control.Kind()))
    return view->OnNotify(slot, header, handled, context_);
  if (context_.applying) return 0;
  if (control.Kind() == ControlKind::TabControl && header.code == TCN_SELCHANGE) {
    ChooseTab(static_cast<TabControl&>(control),
              static_cast<int>(SendMessageW(slot.window, TCM_GETCURSEL, 0, 0)));
    handled = true;
  }
  return 0;
}

void ModelWindow::OnTrayEvent(UINT event) {
  for (ControlSlot& slot : slots_) {
    if (slot.control->Kind() != ControlKind::TrayIcon) continue;
    auto& tray = static_cast<TrayIcon&>(*slot.control);
    if (event == WM_LBUTTONUP) ClickTray(tray, TrayClick::Left);
    if (event == WM_LBUTTONDBLCLK) ClickTray(tray, TrayClick::LeftDouble);
    if (event == WM_RBUTTONUP) ClickTray(tray, TrayClick::Right);
    if (event == NIN_BALLOONUSERCLICK) ClickTray(tray, TrayClick::Notice);
    return;
  }
}

bool ModelWindow::HandleKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || !Handle()) return false;
  if (message.wParam != VK_TAB && (message.wParam != VK_ESCAPE || !look_.closesOnEscape))
    return false;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  if (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd)) return false;
  if (message.wParam == VK_ESCAPE) {
    PressEscape(model_);
    return true;
  }
  const int count = static_cast<int>(slots_.size());
  int current = -1;
  for (const ControlSlot& slot : slots_)
    if (slot.window && (slot.window == message.hwnd || IsChild(slot.window, message.hwnd)))
      current = static_cast<int>(slot.index);
  const int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
  // Without a focused control the walk starts just before the first (or after the last).
  int i = current >= 0 ? current : step > 0 ? count - 1 : 0;
  for (int k = 0; k < count; ++k) {
    i = (i + step + count) % count;
    const ControlSlot& slot = slots_[static_cast<std::size_t>(i)];
    if (!slot.window || !TakesFocus(slot.control->Kind()) || !IsWindowVisible(slot.window) ||
        !IsWindowEnabled(slot.window))
      continue;
    SetFocus(slot.window);
    if (const ControlView* view = ViewOf(slot.control->Kind())) view->OnFocused(slot);
    return true;
  }
  return true;
}

void ModelWindow::NoteGeometry() {
  if (context_.applying || !Handle() || IsIconic(Handle())) return;
  RECT rect{};
  GetWindowRect(Handle(), &rect);
  Applying noting(noting_);
  NoteMoved(model_, {rect.left, rect.top, Unscale(rect.right - rect.left),
                     Unscale(rect.bottom - rect.top)});
}

void ModelWindow::NoteState(const WINDOWPOS& position) {
  // Another program may show or hide the window (a second copy brings it up from the
  // tray with ShowWindowAsync); what the view itself does is in the model already.
  if (context_.applying || !Handle()) return;
  Applying noting(noting_);
  if (position.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
    NoteShown(model_, (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE) != 0);
  NoteIconic();
}

void ModelWindow::NoteIconic() {
  if (!Handle()) return;
  Applying noting(noting_);
  NoteMinimised(model_, IsIconic(Handle()) != FALSE);
}

}  // namespace lumora::ui::win32
