// The skin: a skinned window draws its backgrounds, frames, tabs, push buttons, check
// boxes, radio buttons and sliders in the one tone the skin's hue gives, and draws them
// again at once when the hue changes. Each control is drawn into a memory bitmap first,
// so that a change of tone does not flicker.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ui/win32/model_window.h"
#include "ui/win32/model_window_detail.h"

namespace lumora::ui::win32 {

using namespace detail;

namespace {

Colour FromSystem(int index) {
  const COLORREF c = GetSysColor(index);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// The system's own colours, for a window left out of the skin.
SkinPalette SystemPalette() {
  SkinPalette palette;
  palette.face = FromSystem(COLOR_BTNFACE);
  palette.line = FromSystem(COLOR_BTNSHADOW);
  // Tabs in the back are a little darker than the page.
  const auto mix = [](std::uint8_t face, std::uint8_t line) {
    return static_cast<std::uint8_t>(face * 9 / 10 + line / 10);
  };
  palette.backTab = {mix(palette.face.red, palette.line.red),
                     mix(palette.face.green, palette.line.green),
                     mix(palette.face.blue, palette.line.blue)};
  palette.light = FromSystem(COLOR_BTNHIGHLIGHT);
  palette.button = palette.face;
  palette.buttonHot = palette.backTab;
  palette.field = FromSystem(COLOR_WINDOW);
  palette.mark = FromSystem(COLOR_WINDOWTEXT);
  palette.text = FromSystem(COLOR_WINDOWTEXT);
  palette.disabledText = FromSystem(COLOR_GRAYTEXT);
  return palette;
}

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

}  // namespace

void ModelWindow::UpdateTone() {
  context_.skinned = skin_ && skin_->Skinned(model_);
  context_.tone = context_.skinned ? PaletteForHue(*skin_->Hue()) : SystemPalette();
  context_.faceBrush.Reset(CreateSolidBrush(RgbOf(context_.tone.face)));
}

void ModelWindow::OnSkinChanged() {
  const bool wasSkinned = context_.skinned;
  const Colour oldFace = context_.tone.face;
  UpdateTone();
  if (!Handle() ||
      (wasSkinned == context_.skinned && (!context_.skinned || oldFace == context_.tone.face)))
    return;
  // The whole window at once, before the next message: the slider's drag shows each tone.
  RedrawWindow(Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT ModelWindow::OnSkinnedButton(ControlSlot& slot, HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam, bool& handled) {
  if (!context_.skinned) return 0;
  if (message == WM_PAINT || message == WM_PRINTCLIENT) {
    ScopedPaint paint(window, message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
    PaintButton(slot, paint.Get());
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
      context_.quietButtons == 0 && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
  if (outermost) DefWindowProcW(window, WM_SETREDRAW, FALSE, 0);
  ++context_.quietButtons;
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  --context_.quietButtons;
  if (outermost) {
    DefWindowProcW(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, FALSE);
  }
  handled = true;
  return result;
}

void ModelWindow::PaintButton(ControlSlot& slot, HDC target) {
  const HWND window = slot.window;
  MemoryPaint paint(window, target);
  const HDC dc = paint.Get();
  const RECT client = paint.Client();
  const Control& control = *slot.control;
  const bool enabled = IsWindowEnabled(window) != FALSE;
  const bool focused = GetFocus() == window;
  const LRESULT state = SendMessageW(window, BM_GETSTATE, 0, 0);
  Fill(dc, client, context_.tone.face);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  ScopedSelection selectedFont(dc, font ? font : context_.font.Get());
  SetBkMode(dc, TRANSPARENT);
  const Colour* own = control.TextColour();
  SetTextColor(dc, RgbOf(!enabled ? context_.tone.disabledText
                         : own    ? ReadableOn(*own, context_.tone.face)
                                  : context_.tone.text));
  const std::wstring text = TextOf(window);
  if (control.Kind() == ControlKind::Button) {
    const bool pushed = (state & BST_PUSHED) != 0;
    ScopedBrush faceBrush(
        CreateSolidBrush(RgbOf(pushed ? context_.tone.buttonHot : context_.tone.button)));
    ScopedPen edge(CreatePen(PS_SOLID, focused ? 2 : 1,
                             RgbOf(focused ? context_.tone.mark : context_.tone.line)));
    ScopedSelection brush(dc, faceBrush.Get());
    ScopedSelection pen(dc, edge.Get());
    const int round = Scale(6);
    RoundRect(dc, client.left, client.top, client.right, client.bottom, round, round);
    RECT inside = client;
    InflateRect(&inside, -Scale(3), -Scale(2));
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
  const int size = Scale(13);
  const int top = (client.bottom - size) / 2;
  const RECT box{client.left, top, client.left + size, top + size};
  PaintCheckMark(slot, dc, box);
  RECT label{box.right + Scale(4), client.top, client.right, client.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (focused) {
    RECT measured = label;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    RECT focus{label.left - 1, (client.bottom - height) / 2 - 1,
               std::min(label.right, measured.right + 1), (client.bottom + height) / 2 + 1};
    SetTextColor(dc, RgbOf(context_.tone.text));
    DrawFocusRect(dc, &focus);
  }
}

void ModelWindow::PaintCheckMark(ControlSlot& slot, HDC dc, const RECT& box) {
  const bool checked = static_cast<CheckBox&>(*slot.control).Checked();
  const bool enabled = IsWindowEnabled(slot.window) != FALSE;
  const bool pushed = (SendMessageW(slot.window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  const Colour markColour = enabled ? context_.tone.mark : context_.tone.disabledText;
  ScopedBrush field(
      CreateSolidBrush(RgbOf(pushed ? context_.tone.buttonHot : context_.tone.field)));
  ScopedPen outline(
      CreatePen(PS_SOLID, 1, RgbOf(enabled ? context_.tone.line : context_.tone.disabledText)));
  ScopedSelection brush(dc, field.Get());
  ScopedSelection pen(dc, outline.Get());
  if (slot.control->Kind() == ControlKind::RadioButton) {
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
    if (!checked) return;
    ScopedBrush dot(CreateSolidBrush(RgbOf(markColour)));
    ScopedPen dotEdge(CreatePen(PS_SOLID, 1, RgbOf(markColour)));
    ScopedSelection dotBrush(dc, dot.Get());
    ScopedSelection dotPen(dc, dotEdge.Get());
    const int inset = Scale(3);
    Ellipse(dc, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
    return;
  }
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  if (!checked) return;
  // A tick of two strokes.
  ScopedPen tick(CreatePen(PS_SOLID, std::max(2, Scale(2)), RgbOf(markColour)));
  ScopedSelection tickPen(dc, tick.Get());
  const int w = box.right - box.left;
  const POINT stroke[] = {{box.left + w * 3 / 13, box.top + w * 6 / 13},
                          {box.left + w * 5 / 13, box.top + w * 9 / 13},
                          {box.left + w * 10 / 13, box.top + w * 3 / 13}};
  Polyline(dc, stroke, 3);
}

LRESULT ModelWindow::DrawSlider(const NMHDR& header) {
  if (!context_.skinned) return CDRF_DODEFAULT;
  const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const HDC dc = draw.hdc;
  const bool enabled = IsWindowEnabled(draw.hdr.hwndFrom) != FALSE;
  switch (draw.dwItemSpec) {
    case TBCD_CHANNEL: {
      ScopedBrush field(CreateSolidBrush(RgbOf(context_.tone.field)));
      ScopedPen outline(CreatePen(PS_SOLID, 1, RgbOf(context_.tone.line)));
      ScopedSelection brush(dc, field.Get());
      ScopedSelection pen(dc, outline.Get());
      const RECT& r = draw.rc;
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      return CDRF_SKIPDEFAULT;
    }
    case TBCD_THUMB: {
      const Colour fill = enabled ? context_.tone.mark : context_.tone.disabledText;
      const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
      ScopedBrush thumb(CreateSolidBrush(RgbOf(pressed ? context_.tone.text : fill)));
      ScopedPen outline(CreatePen(PS_SOLID, 1, RgbOf(context_.tone.text)));
      ScopedSelection brush(dc, thumb.Get());
      ScopedSelection pen(dc, outline.Get());
      const RECT& r = draw.rc;
      const int round = Scale(4);
      RoundRect(dc, r.left, r.top, r.right, r.bottom, round, round);
      return CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace lumora::ui::win32
