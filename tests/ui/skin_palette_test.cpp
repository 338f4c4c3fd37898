// The painter's colours: one tone per hue, and every text readable on what it is drawn on.
#include "ui/skin_palette.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora::ui {
namespace {

std::string Describe(Colour c) {
  return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
}

TEST(SkinPalette, ContrastIsMeasuredAsTheEyeSeesIt) {
  EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({119, 119, 119}, {255, 255, 255}), 4.48, 0.01);
  // Pure red on white does not read well enough; green does.
  EXPECT_NEAR(ContrastRatio({255, 0, 0}, {255, 255, 255}), 4.0, 0.01);
  EXPECT_GT(ContrastRatio({0, 128, 0}, {255, 255, 255}), 5.0);
}

TEST(SkinPalette, EveryTextReadsOnItsBackgroundAtEveryHue) {
  const Colour captionRed{255, 0, 0}, captionGreen{9, 124, 37};
  for (const int hue : {-160, 0, 150, 180}) {
    SCOPED_TRACE("hue " + std::to_string(hue));
    const SkinPalette p = PaletteForHue(hue);
    const struct {
      const char* what;
      Colour text, background;
    } pairs[] = {
        {"labels on the page", p.text, p.face},
        {"tabs behind the current one", p.text, p.backTab},
        {"buttons", p.text, p.button},
        {"pressed buttons", p.text, p.buttonHot},
        {"disabled controls", p.disabledText, p.face},
        {"disabled buttons", p.disabledText, p.button},
        {"disabled tabs", p.disabledText, p.backTab},
        {"red captions", ReadableOn(captionRed, p.face), p.face},
        {"green captions", ReadableOn(captionGreen, p.face), p.face},
    };
    for (const auto& pair : pairs)
      EXPECT_GE(ContrastRatio(pair.text, pair.background), kReadableContrast)
          << pair.what << ": " << Describe(pair.text) << " on " << Describe(pair.background);
  }
}

TEST(SkinPalette, TheToneFollowsTheHue) {
  // The ends of the slider and the default are three different tones.
  const Colour low = PaletteForHue(-160).face, middle = PaletteForHue(150).face,
               high = PaletteForHue(180).face;
  EXPECT_NE(low, middle);
  EXPECT_NE(middle, high);
  EXPECT_NE(low, high);
  // A full turn of the colour circle is the same tone.
  EXPECT_EQ(PaletteForHue(-160).face, PaletteForHue(200).face);
  // The default hue is a blue.
  EXPECT_GT(middle.blue, middle.red);
}

TEST(SkinPalette, CaptionColoursChangeOnlyWhereTheyWouldNotRead) {
  const Colour face = PaletteForHue(150).face;
  const Colour darkGreen{0, 90, 0};
  ASSERT_GE(ContrastRatio(darkGreen, face), kReadableContrast);
  EXPECT_EQ(ReadableOn(darkGreen, face), darkGreen);
  // Pure red is deepened just enough, and stays a red.
  const Colour red = ReadableOn({255, 0, 0}, face);
  EXPECT_GE(ContrastRatio(red, face), kReadableContrast);
  EXPECT_LT(ContrastRatio(red, face), kReadableContrast + 0.3);
  EXPECT_EQ(red.green, 0);
  EXPECT_EQ(red.blue, 0);
  EXPECT_GT(red.red, 150);
  // On a dark background a dark text is lightened instead.
  const Colour onDark = ReadableOn({40, 40, 40}, {0, 0, 0});
  EXPECT_GE(ContrastRatio(onDark, {0, 0, 0}), kReadableContrast);
}

}  // namespace
}  // namespace lumora::ui
