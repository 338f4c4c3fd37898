// Sliders: the trackbar class, its channel and thumb drawn in the skin's tone while the
// window is skinned.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include <algorithm>

#include "ui/user_input.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using namespace detail;

namespace {

LRESULT DrawSlider(const NMHDR& header, const ViewContext& context) {
  if (!context.skinned) return CDRF_DODEFAULT;
  const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const HDC dc = draw.hdc;
  const bool enabled = IsWindowEnabled(draw.hdr.hwndFrom) != FALSE;
  switch (draw.dwItemSpec) {
    case TBCD_CHANNEL: {
      ScopedBrush field(CreateSolidBrush(RgbOf(context.tone.field)));
      ScopedPen outline(CreatePen(PS_SOLID, 1, RgbOf(context.tone.line)));
      ScopedSelection brush(dc, field.Get());
      ScopedSelection pen(dc, outline.Get());
      const RECT& r = draw.rc;
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
      return CDRF_SKIPDEFAULT;
    }
    case TBCD_THUMB: {
      const Colour fill = enabled ? context.tone.mark : context.tone.disabledText;
      const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
      ScopedBrush thumb(CreateSolidBrush(RgbOf(pressed ? context.tone.text : fill)));
      ScopedPen outline(CreatePen(PS_SOLID, 1, RgbOf(context.tone.text)));
      ScopedSelection brush(dc, thumb.Get());
      ScopedSelection pen(dc, outline.Get());
      const RECT& r = draw.rc;
      const int round = context.Scale(4);
      RoundRect(dc, r.left, r.top, r.right, r.bottom, round, round);
      return CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

class SliderView final : public ControlView {
 public:
  void Describe(const Control&, WindowSpec& spec) const override {
    spec.className = TRACKBAR_CLASSW;
    spec.style |= WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS;
  }

  void Fill(ControlSlot& slot, ViewContext&) const override {
    const HWND window = slot.window;
    const auto& slider = static_cast<Slider&>(*slot.control);
    SendMessageW(window, TBM_SETRANGEMIN, FALSE, slider.Minimum());
    SendMessageW(window, TBM_SETRANGEMAX, FALSE, slider.Maximum());
    SendMessageW(window, TBM_SETTICFREQ,
                 static_cast<WPARAM>(std::max(1, (slider.Maximum() - slider.Minimum()) / 10)), 0);
    SendMessageW(window, TBM_SETPAGESIZE, 0, 1);
    SendMessageW(window, TBM_SETPOS, TRUE, slider.Position());
  }

  bool Apply(ControlSlot& slot, Change change, ViewContext&) const override {
    switch (change) {
      case Change::Text:
      case Change::Content:
        return true;  // a slider shows no text
      case Change::Position:
        if (slot.window)
          SendMessageW(slot.window, TBM_SETPOS, TRUE,
                       static_cast<Slider&>(*slot.control).Position());
        return true;
      default:
        return false;
    }
  }

  LRESULT OnNotify(ControlSlot&, const NMHDR& header, bool& handled,
                   ViewContext& context) const override {
    if (header.code != NM_CUSTOMDRAW) return 0;
    handled = true;
    return DrawSlider(header, context);
  }

  void OnScroll(ControlSlot& slot, ViewContext& context) const override {
    if (context.applying) return;
    MoveSlider(static_cast<Slider&>(*slot.control),
               static_cast<int>(SendMessageW(slot.window, TBM_GETPOS, 0, 0)));
  }

  LRESULT OnColour(ControlSlot& slot, HDC dc, bool& handled, ViewContext& context) const override {
    return FaceColours(slot, dc, handled, context);
  }

  bool TakesFocus() const override { return true; }
};

}  // namespace

const ControlView& SliderView() {
  static const class SliderView view;
  return view;
}

}  // namespace lumora::ui::win32
