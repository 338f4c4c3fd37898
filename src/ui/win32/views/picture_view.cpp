// Picture boxes, draw panels and the join code's QR code: windows of the program's own
// class that draw their picture themselves.
#include <windows.h>

#include <algorithm>

#include "ui/join_code.h"
#include "ui/user_input.h"
#include "ui/win32/artwork.h"
#include "ui/win32/artwork_gdi.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using namespace detail;

namespace {

HBITMAP PictureBitmap(ViewContext& context, Picture picture) {
  auto found = context.pictures.find(picture);
  if (found == context.pictures.end())
    found = context.pictures.emplace(picture, BitmapOf(PaintPicture(picture, context.dpi))).first;
  return found->second.Get();
}

class Pictures final : public ControlView {
 public:
  void Describe(const Control&, WindowSpec& spec) const override { spec.className = kPictureClass; }

  LRESULT OnMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam, LPARAM,
                    bool& handled, ViewContext& context) const override {
    if (message == WM_PAINT || message == WM_PRINTCLIENT) {
      ScopedPaint paint(window,
                        message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
      Paint(slot, paint.Get(), context);
      handled = true;
    } else if (message == WM_ERASEBKGND) {
      handled = true;
      return 1;
    } else if (message == WM_LBUTTONUP) {
      Release(static_cast<PictureControl&>(*slot.control));
      handled = true;
    }
    return 0;
  }

 private:
  static void Paint(ControlSlot& slot, HDC dc, ViewContext& context) {
    RECT client{};
    GetClientRect(slot.window, &client);
    FillRect(dc, &client, context.faceBrush.Get());
    const Picture picture = static_cast<PictureControl&>(*slot.control).Shown();
    if (picture == Picture::None) return;
    const HBITMAP bitmap = PictureBitmap(context, picture);
    if (!bitmap) return;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    // Centred: a picture box may be a little larger than its picture.
    DrawAlphaBitmap(dc, bitmap, (client.right - info.bmWidth) / 2,
                    (client.bottom - info.bmHeight) / 2, info.bmWidth, info.bmHeight);
  }
};

class QrCode final : public ControlView {
 public:
  void Describe(const Control&, WindowSpec& spec) const override { spec.className = kPictureClass; }

  LRESULT OnMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam, LPARAM,
                    bool& handled, ViewContext&) const override {
    if (message == WM_PAINT || message == WM_PRINTCLIENT) {
      ScopedPaint paint(window,
                        message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
      Paint(slot, paint.Get());
      handled = true;
    } else if (message == WM_ERASEBKGND) {
      handled = true;
      return 1;
    }
    return 0;
  }

 private:
  static void Paint(ControlSlot& slot, HDC dc) {
    RECT client{};
    GetClientRect(slot.window, &client);
    // White and black whatever the skin's tone: a camera needs the contrast.
    const ScopedBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    const ScopedBrush black(CreateSolidBrush(RGB(0, 0, 0)));
    FillRect(dc, &client, white.Get());
    const QrModules& modules = static_cast<QrCodeControl&>(*slot.control).Modules();
    const int side = std::min(client.right, client.bottom);
    const QrPlacement place = PlaceQrCode(side, modules.size);
    const int left = (client.right - side) / 2 + place.origin;
    const int top = (client.bottom - side) / 2 + place.origin;
    for (int y = 0; y < modules.size; ++y)
      for (int x = 0; x < modules.size; ++x) {
        if (!modules.Dark(x, y)) continue;
        const RECT module{left + x * place.modulePixels, top + y * place.modulePixels,
                          left + (x + 1) * place.modulePixels, top + (y + 1) * place.modulePixels};
        FillRect(dc, &module, black.Get());
      }
  }
};

}  // namespace

const ControlView& PictureView() {
  static const Pictures view;
  return view;
}

const ControlView& QrCodeView() {
  static const QrCode view;
  return view;
}

}  // namespace lumora::ui::win32
