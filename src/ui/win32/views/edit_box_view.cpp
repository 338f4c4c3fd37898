// Edit boxes: one line of text, masked for a password where the model says so, with
// the text kept in the middle of a box taller than it.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include "platform/win32/scoped_win.h"
#include "ui/user_input.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using namespace detail;
using platform::win32::Utf8;

namespace {

// A single-line edit box taller than its text keeps the text in the middle.
LRESULT PadEditBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled,
                   const ViewContext& context) {
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
      TEXTMETRICW metrics{};
      {
        ScopedWindowDc dc(window);
        ScopedSelection font(dc.Get(), context.font.Get());
        GetTextMetricsW(dc.Get(), &metrics);
      }
      const int spare = (client.bottom - client.top) - (metrics.tmHeight + context.Scale(2));
      if (spare > 1) {
        client.top += spare / 2;
        client.bottom -= spare - spare / 2;
      }
      handled = true;
      return result;
    }
    case WM_NCPAINT: {
      DefSubclassProc(window, message, wParam, lParam);
      // The bands above and below the text belong to the frame: give them the field's
      // colour.
      RECT outer{}, inner{};
      GetWindowRect(window, &outer);
      GetClientRect(window, &inner);
      MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&inner), 2);
      const ScopedWindowDc frame(window, GetWindowDC(window));
      const HDC dc = frame.Get();
      const int edge = GetSystemMetrics(SM_CXEDGE);
      const HBRUSH field = GetSysColorBrush(IsWindowEnabled(window) ? COLOR_WINDOW : COLOR_BTNFACE);
      const int width = outer.right - outer.left;
      RECT above{edge, edge, width - edge, inner.top - outer.top};
      RECT below{edge, inner.bottom - outer.top, width - edge, outer.bottom - outer.top - edge};
      if (above.bottom > above.top) FillRect(dc, &above, field);
      if (below.bottom > below.top) FillRect(dc, &below, field);
      handled = true;
      return 0;
    }
    case WM_NCHITTEST: {
      // A click on the bands still lands in the field.
      const LRESULT hit = DefSubclassProc(window, message, wParam, lParam);
      handled = true;
      return hit == HTNOWHERE || hit == HTBORDER ? HTCLIENT : hit;
    }
    default:
      return 0;
  }
}

class EditBoxView final : public ControlView {
 public:
  void Describe(const Control& control, WindowSpec& spec) const override {
    spec.className = WC_EDITW;
    spec.style |= WS_TABSTOP | ES_AUTOHSCROLL;
    spec.exStyle = WS_EX_CLIENTEDGE;
    if (static_cast<const EditBox&>(control).Masked()) spec.style |= ES_PASSWORD;
  }

  void Fill(ControlSlot& slot, ViewContext&) const override {
    const HWND window = slot.window;
    if (static_cast<EditBox&>(*slot.control).Masked())
      SendMessageW(window, EM_SETPASSWORDCHAR, kPasswordChar, 0);
    // The frame is measured again, now with the text's height known.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  bool Apply(ControlSlot& slot, Change change, ViewContext&) const override {
    if (change != Change::Masked) return false;
    if (slot.window) {
      SendMessageW(slot.window, EM_SETPASSWORDCHAR,
                   static_cast<EditBox&>(*slot.control).Masked() ? kPasswordChar : 0, 0);
      InvalidateRect(slot.window, nullptr, TRUE);
    }
    return true;
  }

  void OnFocused(const ControlSlot& slot) const override {
    // A field given the focus by the program is for typing anew, as Tab leaves one.
    SendMessageW(slot.window, EM_SETSEL, 0, -1);
  }

  LRESULT OnMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& handled, ViewContext& context) const override {
    if (message == WM_KEYUP && !context.applying)
      ReleaseKey(static_cast<EditBox&>(*slot.control), static_cast<int>(wParam));
    return PadEditBox(window, message, wParam, lParam, handled, context);
  }

  void OnCommand(ControlSlot& slot, UINT code) const override {
    auto& box = static_cast<EditBox&>(*slot.control);
    if (code == EN_CHANGE) Type(box, Utf8(TextOf(slot.window)));
    if (code == EN_KILLFOCUS) LoseFocus(box);
  }

  bool TakesFocus() const override { return true; }
};

}  // namespace

const ControlView& EditBoxView() {
  static const class EditBoxView view;
  return view;
}

}  // namespace lumora::ui::win32
