// The pictures painted at run time: sizes, transparency, the speed bar's shape and the
// frames of the animations.
#include "ui/win32/artwork.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ui/layout.h"
#include "ui/main_window.h"

namespace lumora::ui::win32 {
namespace {

struct Rgba {
  unsigned a, r, g, b;
};

Rgba Channels(std::uint32_t pixel) {
  return {pixel >> 24, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF};
}

// Pixels that are clearly of one hue: the lit arcs, the running icon.
int CountWhere(const Image& image, bool (*test)(const Rgba&)) {
  int count = 0;
  for (const std::uint32_t pixel : image.pixels) count += test(Channels(pixel)) ? 1 : 0;
  return count;
}
bool Blue(const Rgba& c) { return c.a > 128 && c.b > c.r + 60 && c.b > c.g + 20; }
bool Green(const Rgba& c) { return c.a > 128 && c.g > c.r + 60 && c.g > c.b + 30; }

constexpr Picture kPictures[] = {
    Picture::StatusStopped, Picture::StatusBusy1,  Picture::StatusBusy2,    Picture::StatusBusy3,
    Picture::StatusBusy4,   Picture::StatusBusy5,  Picture::StatusDone,     Picture::Download,
    Picture::Upload,        Picture::QuestionMark, Picture::ExclamationMark};
constexpr TrayImage kTrayImages[] = {TrayImage::Normal, TrayImage::Busy1, TrayImage::Busy2,
                                     TrayImage::Busy3, TrayImage::Running};

TEST(Artwork, PicturesHaveTheirSizeAndATransparentBackground) {
  EXPECT_EQ(PictureSize(Picture::StatusBusy3), (Extent{38, 30}));
  EXPECT_EQ(PictureSize(Picture::Upload), (Extent{33, 35}));
  EXPECT_EQ(PictureSize(Picture::QuestionMark), (Extent{20, 20}));
  EXPECT_EQ(PictureSize(Picture::ExclamationMark), (Extent{20, 21}));
  EXPECT_TRUE(PaintPicture(Picture::None, 96).pixels.empty());
  for (const int dpi : {96, 144}) {
    for (const Picture picture : kPictures) {
      const Image image = PaintPicture(picture, dpi);
      const Extent size = PictureSize(picture);
      ASSERT_EQ(image.width, ScaleLength(size.width, dpi));
      ASSERT_EQ(image.height, ScaleLength(size.height, dpi));
      ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width * image.height));
      // The corners show the page behind the picture.
      EXPECT_EQ(image.At(0, 0), 0u) << static_cast<int>(picture);
      EXPECT_EQ(image.At(image.width - 1, image.height - 1), 0u) << static_cast<int>(picture);
      int opaque = 0;
      for (const std::uint32_t pixel : image.pixels) {
        const Rgba c = Channels(pixel);
        // Premultiplied: no channel above its alpha, as AlphaBlend expects.
        ASSERT_TRUE(c.r <= c.a && c.g <= c.a && c.b <= c.a) << std::hex << pixel;
        opaque += c.a == 255 ? 1 : 0;
      }
      EXPECT_GT(opaque, image.width * image.height / 20) << static_cast<int>(picture);
    }
  }
}

TEST(Artwork, AnimationFramesDifferAndLightUpInTurn) {
  std::set<std::vector<std::uint32_t>> status;
  for (const Picture picture : kPictures) status.insert(PaintPicture(picture, 96).pixels);
  EXPECT_EQ(status.size(), std::size(kPictures));

  std::set<std::vector<std::uint32_t>> tray;
  for (const TrayImage image : kTrayImages) tray.insert(PaintTrayIcon(image, 16).pixels);
  EXPECT_EQ(tray.size(), std::size(kTrayImages));
  // Busy frames light the fan from the inside out; the normal icon is grey and the
  // running one green.
  const int lit1 = CountWhere(PaintTrayIcon(TrayImage::Busy1, 16), Blue);
  const int lit2 = CountWhere(PaintTrayIcon(TrayImage::Busy2, 16), Blue);
  const int lit3 = CountWhere(PaintTrayIcon(TrayImage::Busy3, 16), Blue);
  EXPECT_LT(0, lit1);
  EXPECT_LT(lit1, lit2);
  EXPECT_LT(lit2, lit3);
  const Image normal = PaintTrayIcon(TrayImage::Normal, 16);
  EXPECT_EQ(CountWhere(normal, Blue) + CountWhere(normal, Green), 0);
  const Image running = PaintTrayIcon(TrayImage::Running, 16);
  EXPECT_GT(CountWhere(running, Green), 20);
  EXPECT_EQ(CountWhere(running, Blue), 0);
  EXPECT_EQ(CountWhere(PaintPicture(Picture::StatusStopped, 96), Blue), 0);
  EXPECT_GT(CountWhere(PaintPicture(Picture::StatusDone, 96), Green), 50);

  for (const int size : {16, 20, 24, 32}) {
    const Image icon = PaintTrayIcon(TrayImage::Running, size);
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    EXPECT_EQ(icon.At(0, size - 1), 0u);
  }
  EXPECT_EQ(CountWhere(PaintTrayIcon(TrayImage::None, 16), [](const Rgba& c) { return c.a > 0; }),
            0);
}

TEST(Artwork, SpeedBarIsARoundedBarCutOutOfMagenta) {
  const SpeedBarWindow speedBar;
  const WindowLook& look = speedBar.Look();
  const Colour& outside = look.shapeTransparent;
  const std::uint32_t kShapeTransparent = 0xFF000000u | std::uint32_t{outside.red} << 16 |
                                          std::uint32_t{outside.green} << 8 | outside.blue;
  ASSERT_EQ(kShapeTransparent, 0xFFFF00FFu);
  EXPECT_TRUE(PaintBackdrop(Backdrop::None, 96, kShapeTransparent).pixels.empty());
  for (const int dpi : {96, 144}) {
    const Image bar = PaintBackdrop(look.backdrop, dpi, kShapeTransparent);
    ASSERT_EQ(bar.width, ScaleLength(155, dpi));
    ASSERT_EQ(bar.height, ScaleLength(22, dpi));
    // Rounded ends: the corners are outside, the middle of each end inside.
    for (const auto& [x, y] : {std::pair{0, 0},
                               {bar.width - 1, 0},
                               {0, bar.height - 1},
                               {bar.width - 1, bar.height - 1}})
      EXPECT_EQ(bar.At(x, y), kShapeTransparent) << dpi << " " << x << "," << y;
    EXPECT_NE(bar.At(1, bar.height / 2), kShapeTransparent);
    EXPECT_NE(bar.At(bar.width - 2, bar.height / 2), kShapeTransparent);
    EXPECT_NE(bar.At(bar.width / 2, 0), kShapeTransparent);
    for (const std::uint32_t pixel : bar.pixels) {
      const Rgba c = Channels(pixel);
      ASSERT_EQ(c.a, 255u);
      // A pixel is magenta or not at all: a half-magenta edge would stay in the window.
      if (pixel == kShapeTransparent) continue;
      ASSERT_FALSE(c.r > 150 && c.b > 150 && c.g < 100) << std::hex << pixel;
    }
    // The down arrow near the left end is green, the up arrow near x 80 is orange.
    const auto at = [&](int x, int y) { return Channels(bar.At(x * dpi / 96, y * dpi / 96)); };
    EXPECT_TRUE(Green(at(10, 8)));
    const Rgba up = at(85, 13);
    EXPECT_TRUE(up.r > 200 && up.g > 120 && up.b < 120);
  }
}

}  // namespace
}  // namespace lumora::ui::win32
