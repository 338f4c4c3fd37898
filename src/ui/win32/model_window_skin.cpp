// The skin: a skinned window draws its backgrounds, frames and tabs in the one tone the
// skin's hue gives, and draws them again at once when the hue changes.
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

}  // namespace lumora::ui::win32
