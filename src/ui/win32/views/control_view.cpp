// Which view looks after which kind of control.
#include "ui/win32/views/control_view.h"

#include "ui/layout.h"
#include "ui/win32/model_window_detail.h"

namespace lumora::ui::win32 {

using namespace detail;

namespace {

constexpr Colour kLinkColour{0x00, 0x66, 0xCC};

}  // namespace

int ViewContext::Scale(int length) const { return ScaleLength(length, dpi); }
int ViewContext::Unscale(int pixels) const { return UnscaleLength(pixels, dpi); }

COLORREF ViewContext::Own(Colour colour) const {
  return RgbOf(skinned ? ReadableOn(colour, tone.face) : colour);
}

void RedrawUnder(HWND window) {
  const HWND parent = GetParent(window);
  if (!parent) return;
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT FaceColours(ControlSlot& slot, HDC dc, bool& handled, ViewContext& context) {
  const Control& control = *slot.control;
  const Colour* colour = control.TextColour();
  SetTextColor(dc, colour                                     ? context.Own(*colour)
                   : control.Kind() == ControlKind::Hyperlink ? context.Own(kLinkColour)
                   : !IsWindowEnabled(slot.window)            ? RgbOf(context.tone.disabledText)
                                                              : RgbOf(context.tone.text));
  SetBkColor(dc, RgbOf(context.tone.face));
  handled = true;
  return reinterpret_cast<LRESULT>(context.faceBrush.Get());
}

const ControlView* ViewOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::PictureBox:
    case ControlKind::DrawPanel:
      return &PictureView();
    case ControlKind::QrCode:
      return &QrCodeView();
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      return &ButtonView();
    case ControlKind::Slider:
      return &SliderView();
    case ControlKind::ListView:
      return &ListViewView();
    case ControlKind::ComboBox:
      return &ComboBoxView();
    case ControlKind::EditBox:
      return &EditBoxView();
    case ControlKind::HtmlBrowser:
      return &HtmlBrowserView();
    case ControlKind::SimpleHtmlBox:
      return &SimpleHtmlBoxView();
    case ControlKind::Hyperlink:
      return &HyperlinkView();
    case ControlKind::Label:
      return &LabelView();
    case ControlKind::TransparentLabel:
      return &TransparentLabelView();
    default:
      return nullptr;
  }
}

}  // namespace lumora::ui::win32
