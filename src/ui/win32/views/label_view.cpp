// Labels: static texts on the window's face, a line of text in the middle of its height.
// A transparent label is painted after the siblings beneath it, so that it shows them.
#include <windows.h>

#include "platform/win32/scoped_win.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using namespace detail;
using platform::win32::Wide;

namespace {

class LabelView final : public ControlView {
 public:
  explicit LabelView(bool transparent) : transparent_(transparent) {}

  void Describe(const Control& control, WindowSpec& spec) const override {
    if (!transparent_) {
      spec.style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | LineStyle(control.Text());
      return;
    }
    // Only the drag face takes the mouse; the others let it through to the face.
    spec.style = WS_CHILD | SS_LEFTNOWORDWRAP | SS_NOPREFIX | LineStyle(control.Text());
    spec.exStyle = WS_EX_TRANSPARENT;
    if (spec.takesMouse) spec.style |= SS_NOTIFY;
  }

  bool Apply(ControlSlot& slot, Change change, ViewContext&) const override {
    if (change != Change::Text && change != Change::Content) return false;
    if (!slot.window) return true;
    const Control& control = *slot.control;
    const LONG_PTR style = GetWindowLongPtrW(slot.window, GWL_STYLE);
    SetWindowLongPtrW(slot.window, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(SS_CENTERIMAGE)) | LineStyle(control.Text()));
    SetWindowTextW(slot.window, Wide(control.Text()).c_str());
    return true;
  }

  void OnTipAdded(const ControlSlot& slot) const override {
    // A static control lets the mouse through unless it notifies; the tip needs the mouse.
    const LONG_PTR style = GetWindowLongPtrW(slot.window, GWL_STYLE);
    SetWindowLongPtrW(slot.window, GWL_STYLE, style | SS_NOTIFY);
  }

  LRESULT OnMessage(ControlSlot&, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& handled, ViewContext&) const override {
    if (!transparent_ || message != WM_SETTEXT) return 0;
    // The label's own repaint would draw over the old text; its background must go first.
    const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    RedrawUnder(window);
    handled = true;
    return result;
  }

  LRESULT OnColour(ControlSlot& slot, HDC dc, bool& handled, ViewContext& context) const override {
    if (!transparent_) return FaceColours(slot, dc, handled, context);
    const Colour* colour = slot.control->TextColour();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour ? context.Own(*colour) : RgbOf(context.tone.text));
    handled = true;
    return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
  }

 private:
  bool transparent_;
};

}  // namespace

const ControlView& LabelView() {
  static const class LabelView view(false);
  return view;
}

const ControlView& TransparentLabelView() {
  static const class LabelView view(true);
  return view;
}

}  // namespace lumora::ui::win32
