// Push buttons, check boxes and radio buttons: the button class's windows, drawn by the
// view in the skin's tone while the window is skinned. Each is drawn into a memory bitmap
// first, so that a change of tone does not flicker.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ui/user_input.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using namespace detail;

namespace {

void Fill(HDC dc, const RECT& rect, Colour colour) {
  ScopedBrush brush(CreateSolidBrush(RgbOf(colour)));
  FillRect(dc, &rect, brush.Get());
}

// Messages on which the button class paints at once, without waiting for WM_PAINT.
bool PaintsAtOnce(UINT message) {
  switch (message) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_UPDATEUISTATE:
      return true;
    default:
      return false;
  }
}

void PaintCheckMark(ControlSlot& slot, HDC dc, const RECT& box, const ViewContext& context) {
  const bool checked = static_cast<CheckBox&>(*slot.control).Checked();
  const bool enabled = IsWindowEnabled(slot.window) != FALSE;
  const bool pushed = (SendMessageW(slot.window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const Colour markColour = enabled ? context.tone.mark : context.tone.disabledText;
  ScopedBrush field(CreateSolidBrush(RgbOf(pushed ? context.tone.buttonHot : context.tone.field)));
  ScopedPen outline(
      CreatePen(PS_SOLID, 1, RgbOf(enabled ? context.tone.line : context.tone.disabledText)));
  ScopedSelection brush(dc, field.Get());
  ScopedSelection pen(dc, outline.Get());
  if (slot.control->Kind() == ControlKind::RadioButton) {
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
    if (!checked) return;
    ScopedBrush dot(CreateSolidBrush(RgbOf(markColour)));
    ScopedPen dotEdge(CreatePen(PS_SOLID, 1, RgbOf(markColour)));
    ScopedSelection dotBrush(dc, dot.Get());
    ScopedSelection dotPen(dc, dotEdge.Get());
    const int inset = context.Scale(3);
    Ellipse(dc, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
    return;
  }
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  if (!checked) return;
  // A tick of two strokes.
  ScopedPen tick(CreatePen(PS_SOLID, std::max(2, context.Scale(2)), RgbOf(markColour)));
  ScopedSelection tickPen(dc, tick.Get());
  const int w = box.right - box.left;
  const POINT stroke[] = {{box.left + w * 3 / 13, box.top + w * 6 / 13},
                          {box.left + w * 5 / 13, box.top + w * 9 / 13},
                          {box.left + w * 10 / 13, box.top + w * 3 / 13}};
  Polyline(dc, stroke, 3);
}

void PaintButton(ControlSlot& slot, HDC target, ViewContext& context) {
  const HWND window = slot.window;
  MemoryPaint paint(window, target);
  const HDC dc = paint.Get();
  const RECT client = paint.Client();
  const Control& control = *slot.control;
  const bool enabled = IsWindowEnabled(window) != FALSE;
  const bool focused = GetFocus() == window;
  const LRESULT state = SendMessageW(window, BM_GETSTATE, 0, 0);
  Fill(dc, client, context.tone.face);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  ScopedSelection selectedFont(dc, font ? font : context.font.Get());
  SetBkMode(dc, TRANSPARENT);
  const Colour* own = control.TextColour();
  SetTextColor(dc, RgbOf(!enabled ? context.tone.disabledText
                         : own    ? ReadableOn(*own, context.tone.face)
                                  : context.tone.text));
  const std::wstring text = TextOf(window);
  if (control.Kind() == ControlKind::Button) {
    const bool pushed = (state & BST_PUSHED) != 0;
    ScopedBrush faceBrush(
        CreateSolidBrush(RgbOf(pushed ? context.tone.buttonHot : context.tone.button)));
    ScopedPen edge(CreatePen(PS_SOLID, focused ? 2 : 1,
                             RgbOf(focused ? context.tone.mark : context.tone.line)));
    ScopedSelection brush(dc, faceBrush.Get());
    ScopedSelection pen(dc, edge.Get());
    const int round = context.Scale(6);
    RoundRect(dc, client.left, client.top, client.right, client.bottom, round, round);
    RECT inside = client;
    InflateRect(&inside, -context.Scale(3), -context.Scale(2));
    if (pushed) OffsetRect(&inside, 1, 1);
    // A caption of several lines stands in the middle as a block.
    RECT measured = inside;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int spare = (inside.bottom - inside.top) - (measured.bottom - measured.top);
    if (spare > 0) inside.top += spare / 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    return;
  }
  // A check box or a radio button: the box on the left, the text beside it.
  const int size = context.Scale(13);
  const int top = (client.bottom - size) / 2;
  const RECT box{client.left, top, client.left + size, top + size};
  PaintCheckMark(slot, dc, box, context);
  RECT label{box.right + context.Scale(4), client.top, client.right, client.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (focused) {
    RECT measured = label;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    RECT focus{label.left - 1, (client.bottom - height) / 2 - 1,
               std::min(label.right, measured.right + 1), (client.bottom + height) / 2 + 1};
    SetTextColor(dc, RgbOf(context.tone.text));
    DrawFocusRect(dc, &focus);
  }
}

LRESULT OnSkinnedButton(ControlSlot& slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        bool& handled, ViewContext& context) {
  if (!context.skinned) return 0;
  if (message == WM_PAINT || message == WM_PRINTCLIENT) {
    ScopedPaint paint(window, message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
    PaintButton(slot, paint.Get(), context);
    handled = true;
    return 0;
  }
  if (message == WM_ERASEBKGND) {
    handled = true;
    return 1;
  }
  if (!PaintsAtOnce(message)) return 0;
  // The class's own drawing is held back by hiding the button from painting for the
  // message; the button is then drawn in the tone. The click itself (WM_LBUTTONUP) is
  // not held back: its handler may open a box while the button must stay visible.
  const bool outermost =
      context.quietButtons == 0 && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
  if (outermost) DefWindowProcW(window, WM_SETREDRAW, FALSE, 0);
  ++context.quietButtons;
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  --context.quietButtons;
  if (outermost) {
    DefWindowProcW(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, FALSE);
  }
  handled = true;
  return result;
}

class Buttons final : public ControlView {
 public:
  void Describe(const Control& control, WindowSpec& spec) const override {
    spec.className = WC_BUTTONW;
    switch (control.Kind()) {
      case ControlKind::Button:
        spec.style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
        break;
      case ControlKind::CheckBox:
        spec.style |= WS_TABSTOP | BS_CHECKBOX;  // the model decides the state
        break;
      default:
        spec.style |= WS_TABSTOP | BS_RADIOBUTTON;
        break;
    }
  }

  void Fill(ControlSlot& slot, ViewContext&) const override {
    if (slot.control->Kind() != ControlKind::Button) ApplyCheck(slot);
  }

  bool Apply(ControlSlot& slot, Change change, ViewContext&) const override {
    if (change != Change::Checked) return false;
    if (slot.window) ApplyCheck(slot);
    return true;
  }

  LRESULT OnMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& handled, ViewContext& context) const override {
    return OnSkinnedButton(slot, window, message, wParam, lParam, handled, context);
  }

  void OnCommand(ControlSlot& slot, UINT code) const override {
    if (code != BN_CLICKED) return;
    if (slot.control->Kind() == ControlKind::Button)
      Click(static_cast<Button&>(*slot.control));
    else
      Click(static_cast<CheckBox&>(*slot.control));
  }

  LRESULT OnColour(ControlSlot& slot, HDC dc, bool& handled, ViewContext& context) const override {
    if (slot.control->Kind() == ControlKind::Button) return 0;
    return FaceColours(slot, dc, handled, context);
  }

  bool TakesFocus() const override { return true; }

 private:
  static void ApplyCheck(ControlSlot& slot) {
    SendMessageW(slot.window, BM_SETCHECK,
                 static_cast<CheckBox&>(*slot.control).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
};

}  // namespace

const ControlView& ButtonView() {
  static const Buttons view;
  return view;
}

}  // namespace lumora::ui::win32
