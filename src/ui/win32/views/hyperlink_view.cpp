// Hyperlinks: a static text in the link font and colour, under a hand, that the user
// clicks.
#include <windows.h>

#include "ui/user_input.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

namespace {

class HyperlinkView final : public ControlView {
 public:
  void Describe(const Control&, WindowSpec& spec) const override {
    spec.style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
  }

  bool LinkLook() const override { return true; }

  LRESULT OnMessage(ControlSlot& slot, HWND, UINT message, WPARAM, LPARAM, bool&,
                    ViewContext&) const override {
    if (message == WM_LBUTTONUP) Release(static_cast<Hyperlink&>(*slot.control));
    return 0;
  }

  LRESULT OnColour(ControlSlot& slot, HDC dc, bool& handled, ViewContext& context) const override {
    return FaceColours(slot, dc, handled, context);
  }
};

}  // namespace

const ControlView& HyperlinkView() {
  static const class HyperlinkView view;
  return view;
}

}  // namespace lumora::ui::win32
