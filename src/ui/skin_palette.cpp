#include "ui/skin_palette.h"

#include <algorithm>
#include <cmath>

namespace lumora::ui {

namespace {

// The skin's hue shifts the tone around the colour circle from this base, so that the
// default hue 150 lands on a blue (210 degrees).
constexpr int kBaseDegrees = 60;

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// Hue in degrees, saturation and lightness 0..1.
Colour FromHsl(int degrees, double saturation, double lightness) {
  const double h = static_cast<double>(((degrees % 360) + 360) % 360) / 60.0;
  const double chroma = (1.0 - std::abs(2.0 * lightness - 1.0)) * saturation;
  const double x = chroma * (1.0 - std::abs(std::fmod(h, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h)) {
    case 0:
      r = chroma, g = x;
      break;
    case 1:
      r = x, g = chroma;
      break;
    case 2:
      g = chroma, b = x;
      break;
    case 3:
      g = x, b = chroma;
      break;
    case 4:
      r = x, b = chroma;
      break;
    default:
      r = chroma, b = x;
      break;
  }
  const double m = lightness - chroma / 2.0;
  return {Channel(r + m), Channel(g + m), Channel(b + m)};
}

double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Colour colour) {
  return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

// The colour of that hue and saturation whose luminance comes nearest the one asked for:
// the same lightness to the eye at every hue, so that a yellow page is no brighter than a
// blue one and each text keeps its contrast all round the colour circle.
Colour FromLuminance(int degrees, double saturation, double luminance) {
  double low = 0.0, high = 1.0;
  for (int i = 0; i < 30; ++i) {
    const double middle = (low + high) / 2.0;
    (Luminance(FromHsl(degrees, saturation, middle)) < luminance ? low : high) = middle;
  }
  return FromHsl(degrees, saturation, (low + high) / 2.0);
}

Colour Shade(Colour colour, double towards, double amount) {
  const auto mix = [&](std::uint8_t c) {
    return Channel((c / 255.0) * (1.0 - amount) + towards * amount);
  };
  return {mix(colour.red), mix(colour.green), mix(colour.blue)};
}

}  // namespace

SkinPalette PaletteForHue(int hue) {
  const int degrees = hue + kBaseDegrees;
  SkinPalette palette;
  palette.face = FromLuminance(degrees, 0.45, 0.82);
  palette.backTab = FromLuminance(degrees, 0.45, 0.64);
  palette.line = FromLuminance(degrees, 0.35, 0.22);
  palette.light = FromLuminance(degrees, 0.50, 0.94);
  palette.button = FromLuminance(degrees, 0.55, 0.68);
  palette.buttonHot = FromLuminance(degrees, 0.55, 0.50);
  palette.field = FromLuminance(degrees, 0.60, 0.95);
  palette.mark = FromLuminance(degrees, 0.65, 0.07);
  palette.text = FromLuminance(degrees, 0.50, 0.012);
  palette.disabledText = FromLuminance(degrees, 0.25, 0.085);
  return palette;
}

double RelativeLuminance(Colour colour) {
  return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

double ContrastRatio(Colour first, Colour second) {
  const double a = RelativeLuminance(first), b = RelativeLuminance(second);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Colour ReadableOn(Colour text, Colour background) {
  if (ContrastRatio(text, background) >= kReadableContrast) return text;
  // Towards black on a light background, towards white on a dark one, in small steps,
  // so that the shade found is the nearest that reads.
  const double towards = RelativeLuminance(background) > 0.18 ? 0.0 : 1.0;
  for (int step = 1; step <= 100; ++step) {
    const Colour shade = Shade(text, towards, step / 100.0);
    if (ContrastRatio(shade, background) >= kReadableContrast) return shade;
  }
  return towards == 0.0 ? Colour{0, 0, 0} : Colour{255, 255, 255};
}

}  // namespace lumora::ui
