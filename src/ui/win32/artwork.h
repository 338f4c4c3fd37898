#pragma once
// The program's pictures, painted at run time at the size the screen needs: the tray
// icons, the status pictures, the traffic arrows, the question and exclamation marks,
// the speed bar's backdrop (which also gives the bar its shape) and the window icon.
// Pure pixels, no Windows types; artwork_gdi.h turns them into bitmaps and icons.

#include <cstdint>
#include <vector>

#include "ui/controls.h"

namespace lumora::ui::win32 {

// Pixels as 0xAARRGGBB with the colour premultiplied by alpha, rows top to bottom: the
// layout of a 32-bit top-down DIB.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

struct Extent {
  int width = 0;
  int height = 0;
  bool operator==(const Extent&) const = default;
};

// The design size (at 96 DPI) of a picture; 0 x 0 for Picture::None.
Extent PictureSize(Picture picture);

// A picture at dpi, on a transparent background.
Image PaintPicture(Picture picture, int dpi);

// A tray icon of size x size pixels (16 at 96 DPI). Normal is a grey Wi-Fi fan, the busy
// frames light its arcs from the inside out, Running is green. None gives an empty image.
Image PaintTrayIcon(TrayImage image, int size);

// A window's backdrop at dpi, every pixel opaque: the ones outside the window's shape
// are exactly outside (0xFFRRGGBB), and none inside is. The speed bar's (155 x 22 at
// 96 DPI) is a rounded dark bar with a down arrow near its left end and an up arrow near
// x 80; its outline is hard, so that no pixel blends the outside colour into the bar.
// Backdrop::None gives an empty image.
Image PaintBackdrop(Backdrop backdrop, int dpi, std::uint32_t outside);

// The window icon: a blue tile with a white Wi-Fi fan.
Image PaintWindowIcon(int size);

}  // namespace lumora::ui::win32
