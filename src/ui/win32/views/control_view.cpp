// Which view looks after which kind of control.
#include "ui/win32/views/control_view.h"

#include "ui/layout.h"

namespace lumora::ui::win32 {

int ViewContext::Scale(int length) const { return ScaleLength(length, dpi); }

const ControlView* ViewOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::PictureBox:
    case ControlKind::DrawPanel:
      return &PictureView();
    case ControlKind::QrCode:
      return &QrCodeView();
    default:
      return nullptr;
  }
}

}  // namespace lumora::ui::win32
