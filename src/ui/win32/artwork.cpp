#include "ui/win32/artwork.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "ui/layout.h"

namespace lumora::ui::win32 {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A straight (not premultiplied) colour, each channel 0..1.
struct Paint {
  double red = 0, green = 0, blue = 0, alpha = 1;
};

constexpr Paint Rgb(std::uint32_t rgb, double alpha = 1) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

// A rectangle in design units that holds every point of a shape.
struct Bounds {
  double left, top, right, bottom;
};

Bounds Union(const Bounds& a, const Bounds& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// The shapes are tests "is this point inside", in design units (96-DPI pixels), with the
// bounds outside which no point is, so that painting a shape looks at its pixels only.
struct Disc {
  double cx, cy, r;
  bool operator()(double x, double y) const {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
  }
  Bounds Box() const { return {cx - r, cy - r, cx + r, cy + r}; }
};

// A thick line with round ends.
struct Capsule {
  double x1, y1, x2, y2, r;
  bool operator()(double x, double y) const {
    const double dx = x2 - x1, dy = y2 - y1;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((x - x1) * dx + (y - y1) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double px = x1 + t * dx - x, py = y1 + t * dy - y;
    return px * px + py * py <= r * r;
  }
  Bounds Box() const {
    return {std::min(x1, x2) - r, std::min(y1, y2) - r, std::max(x1, x2) + r, std::max(y1, y2) + r};
  }
};

// A thick arc with round ends. Angles in degrees, counter-clockwise from the east as the
// eye sees it (y grows downwards on screen), from < to within -180..180.
class Arc {
 public:
  Arc(double cx, double cy, double radius, double halfWidth, double from, double to)
      : cx_(cx), cy_(cy), radius_(radius), halfWidth_(halfWidth), from_(from), to_(to) {
    for (int i = 0; i < 2; ++i) {
      const double end = i == 0 ? from : to;
      ends_[i] = {cx + radius * std::cos(end * kPi / 180), cy - radius * std::sin(end * kPi / 180)};
    }
  }
  bool operator()(double x, double y) const {
    // The ring's band first: the angle is the dear part.
    if (std::abs(std::hypot(x - cx_, y - cy_) - radius_) <= halfWidth_) {
      const double angle = std::atan2(cy_ - y, x - cx_) * 180 / kPi;
      if (angle >= from_ && angle <= to_) return true;
    }
    for (const auto& [ex, ey] : ends_)
      if ((x - ex) * (x - ex) + (y - ey) * (y - ey) <= halfWidth_ * halfWidth_) return true;
    return false;
  }
  Bounds Box() const {
    const double reach = radius_ + halfWidth_;
    return {cx_ - reach, cy_ - reach, cx_ + reach, cy_ + reach};
  }

 private:
  struct Point {
    double x, y;
  };
  double cx_, cy_, radius_, halfWidth_, from_, to_;
  Point ends_[2];
};

struct RoundedBox {
  double left, top, width, height, radius;
  bool operator()(double x, double y) const {
    if (x < left || y < top || x > left + width || y > top + height) return false;
    const double cx = std::clamp(x, left + radius, left + width - radius);
    const double cy = std::clamp(y, top + radius, top + height - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  }
  Bounds Box() const { return {left, top, left + width, top + height}; }
};

struct Triangle {
  double x1, y1, x2, y2, x3, y3;
  bool operator()(double x, double y) const {
    const auto side = [x, y](double ax, double ay, double bx, double by) {
      return (bx - ax) * (y - ay) - (by - ay) * (x - ax);
    };
    const double a = side(x1, y1, x2, y2), b = side(x2, y2, x3, y3), c = side(x3, y3, x1, y1);
    return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
  }
  Bounds Box() const {
    return {std::min({x1, x2, x3}), std::min({y1, y2, y3}), std::max({x1, x2, x3}),
            std::max({y1, y2, y3})};
  }
};

template <typename... Shapes>
struct AnyOf {
  std::tuple<Shapes...> shapes;
  explicit AnyOf(Shapes... each) : shapes(each...) {}
  bool operator()(double x, double y) const {
    return std::apply([x, y](const auto&... each) { return (each(x, y) || ...); }, shapes);
  }
  Bounds Box() const {
    return std::apply(
        [](const auto& first, const auto&... rest) {
          Bounds box = first.Box();
          ((box = Union(box, rest.Box())), ...);
          return box;
        },
        shapes);
  }
};

// Premultiplied floating-point pixels, painted shape by shape with 4 x 4 samples per
// pixel, so that small icons keep smooth edges.
class Painter {
 public:
  Painter(int width, int height, double scale)
      : width_(std::max(width, 0)),
        height_(std::max(height, 0)),
        scale_(scale),
        pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                Paint{0, 0, 0, 0}) {}

  template <typename Inside>
  void Fill(const Inside& inside, Paint paint) {
    FillWith(inside, [paint](double, double) { return paint; });
  }

  template <typename Inside, typename Shade>
  void FillWith(const Inside& inside, const Shade& shade) {
    constexpr int kSamples = 4;
    const PixelSpan span = SpanOf(inside.Box());
    for (int py = span.top; py < span.bottom; ++py) {
      for (int px = span.left; px < span.right; ++px) {
        double red = 0, green = 0, blue = 0, alpha = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            const double x = (px + (sx + 0.5) / kSamples) / scale_;
            const double y = (py + (sy + 0.5) / kSamples) / scale_;
            if (!inside(x, y)) continue;
            const Paint p = shade(x, y);
            red += p.red * p.alpha;
            green += p.green * p.alpha;
            blue += p.blue * p.alpha;
            alpha += p.alpha;
          }
        }
        if (alpha == 0) continue;
        constexpr double kCount = kSamples * kSamples;
        Blend(px, py, {red / kCount, green / kCount, blue / kCount, alpha / kCount});
      }
    }
  }

  // Opaque, without smoothing: for the outline of a shaped window, whose region keeps a
  // pixel or drops it whole.
  template <typename Inside, typename Shade>
  void FillHard(const Inside& inside, const Shade& shade) {
    const PixelSpan span = SpanOf(inside.Box());
    for (int py = span.top; py < span.bottom; ++py) {
      for (int px = span.left; px < span.right; ++px) {
        const double x = (px + 0.5) / scale_, y = (py + 0.5) / scale_;
        if (!inside(x, y)) continue;
        const Paint p = shade(x, y);
        Pixel(px, py) = {p.red, p.green, p.blue, 1};
      }
    }
  }

  Image Take(std::uint32_t emptyPixel = 0) const {
    Image image{width_, height_, std::vector<std::uint32_t>(pixels_.size())};
    const auto channel = [](double v) {
      return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
      const Paint& p = pixels_[i];
      const std::uint32_t a = channel(p.alpha);
      if (a == 0) {
        image.pixels[i] = emptyPixel;
        continue;
      }
      // Premultiplied channels never exceed alpha.
      image.pixels[i] = a << 24 | std::min(channel(p.red), a) << 16 |
                        std::min(channel(p.green), a) << 8 | std::min(channel(p.blue), a);
    }
    return image;
  }

 private:
  // The pixels a shape's bounds touch, with one to spare on each side against rounding.
  struct PixelSpan {
    int left, top, right, bottom;
  };
  PixelSpan SpanOf(const Bounds& box) const {
    const auto from = [this](double v, int limit) {
      return std::clamp(static_cast<int>(std::floor(v * scale_)) - 1, 0, limit);
    };
    const auto to = [this](double v, int limit) {
      return std::clamp(static_cast<int>(std::ceil(v * scale_)) + 1, 0, limit);
    };
    return {from(box.left, width_), from(box.top, height_), to(box.right, width_),
            to(box.bottom, height_)};
  }
  Paint& Pixel(int x, int y) {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
  }
  // Source over destination, both premultiplied.
  void Blend(int x, int y, const Paint& source) {
    Paint& d = Pixel(x, y);
    const double keep = 1 - source.alpha;
    d = {source.red + d.red * keep, source.green + d.green * keep, source.blue + d.blue * keep,
         source.alpha + d.alpha * keep};
  }

  int width_, height_;
  double scale_;
  std::vector<Paint> pixels_;  // premultiplied
};

auto VerticalGradient(Paint top, Paint bottom, double y0, double y1) {
  return [=](double, double y) {
    const double t = std::clamp((y - y0) / (y1 - y0), 0.0, 1.0);
    return Paint{top.red + (bottom.red - top.red) * t, top.green + (bottom.green - top.green) * t,
                 top.blue + (bottom.blue - top.blue) * t, 1};
  };
}

// The Wi-Fi fan: a dot and three arcs around it, opening upwards.
struct Fan {
  double cx, cy, dot, radii[3], halfWidth, spread;
  Disc Dot() const { return {cx, cy, dot}; }
  Arc Ring(int i) const { return {cx, cy, radii[i], halfWidth, 90 - spread, 90 + spread}; }
};

// How the fan is lit: the dot and each arc have their own paint.
void PaintFan(Painter& painter, const Fan& fan, Paint dot, const Paint (&arcs)[3]) {
  painter.Fill(fan.Dot(), dot);
  for (int i = 0; i < 3; ++i) painter.Fill(fan.Ring(i), arcs[i]);
}

constexpr Paint kGrey = Rgb(0x8C939D);
constexpr Paint kUnlit = Rgb(0xC5CBD3);
constexpr Paint kBlue = Rgb(0x2A8BF2);
constexpr Paint kGreen = Rgb(0x27AE60);
constexpr Paint kWhite = Rgb(0xFFFFFF);

double ScaleOf(int dpi) { return static_cast<double>(dpi) / kDesignDpi; }

Image PaintStatus(Picture picture, int dpi) {
  const Extent size = PictureSize(picture);
  Painter painter(ScaleLength(size.width, dpi), ScaleLength(size.height, dpi), ScaleOf(dpi));
  const Fan fan{19, 25.5, 2.6, {7, 12.5, 18}, 1.7, 40};
  switch (picture) {
    case Picture::StatusStopped:
      PaintFan(painter, fan, kGrey, {kGrey, kGrey, kGrey});
      break;
    case Picture::StatusDone:
      PaintFan(painter, fan, kGreen, {kGreen, kGreen, kGreen});
      // A tick in a badge at the lower right says the start has finished.
      painter.Fill(Disc{31.5, 23.5, 6.2}, kWhite);
      painter.Fill(Disc{31.5, 23.5, 5.2}, Rgb(0x1E8E4E));
      painter.Fill(
          AnyOf(Capsule{28.9, 23.7, 30.8, 25.6, 0.95}, Capsule{30.8, 25.6, 34.3, 21.7, 0.95}),
          kWhite);
      break;
    default: {
      // Busy 1 to 4 light the dot and then each arc in turn, a wave going outwards;
      // busy 5 lights the whole fan before the wave starts again.
      const int frame = static_cast<int>(picture) - static_cast<int>(Picture::StatusBusy1) + 1;
      const auto lit = [frame](int part) { return frame == 5 || frame == part + 1; };
      PaintFan(painter, fan, lit(0) ? kBlue : kUnlit,
               {lit(1) ? kBlue : kUnlit, lit(2) ? kBlue : kUnlit, lit(3) ? kBlue : kUnlit});
      break;
    }
  }
  return painter.Take();
}

// A coloured disc with a white arrow: down for the download, up for the upload.
Image PaintTraffic(bool down, int dpi) {
  Painter painter(ScaleLength(33, dpi), ScaleLength(35, dpi), ScaleOf(dpi));
  const double cx = 16.5;
  painter.FillWith(Disc{cx, 17.5, 15},
                   VerticalGradient(Rgb(down ? 0x34C472 : 0x4A9DF5),
                                    Rgb(down ? 0x1F9B54 : 0x1F74D6), 2.5, 32.5));
  if (down) {
    painter.Fill(AnyOf(Capsule{cx, 8.5, cx, 18, 2}, Triangle{9.5, 16, 23.5, 16, cx, 24},
                       Capsule{10.5, 27, 22.5, 27, 1.3}),
                 kWhite);
  } else {
    painter.Fill(AnyOf(Capsule{cx, 14, cx, 23, 2}, Triangle{9.5, 15.5, 23.5, 15.5, cx, 7.5},
                       Capsule{10.5, 27, 22.5, 27, 1.3}),
                 kWhite);
  }
  return painter.Take();
}

Image PaintQuestionMark(int dpi) {
  Painter painter(ScaleLength(20, dpi), ScaleLength(20, dpi), ScaleOf(dpi));
  painter.FillWith(Disc{10, 10, 9.3}, VerticalGradient(Rgb(0x4A9DF5), Rgb(0x1F74D6), 1, 19));
  const double hookX = 10, hookY = 7.6, hookR = 3.1;
  const double endX = hookX + hookR * std::cos(-50 * kPi / 180);
  const double endY = hookY - hookR * std::sin(-50 * kPi / 180);
  painter.Fill(AnyOf(Arc{hookX, hookY, hookR, 1.15, -50, 165}, Capsule{endX, endY, 10, 11.9, 1.15},
                     Disc{10, 15.1, 1.3}),
               kWhite);
  return painter.Take();
}

Image PaintExclamationMark(int dpi) {
  Painter painter(ScaleLength(20, dpi), ScaleLength(21, dpi), ScaleOf(dpi));
  // A warning triangle; the capsules along its edges round its corners.
  const Triangle triangle{10, 2.6, 18.2, 17.8, 1.8, 17.8};
  const double r = 1.4;
  painter.Fill(AnyOf(triangle, Capsule{10, 2.6, 18.2, 17.8, r}, Capsule{18.2, 17.8, 1.8, 17.8, r},
                     Capsule{1.8, 17.8, 10, 2.6, r}),
               Rgb(0xF5A623));
  painter.Fill(AnyOf(Capsule{10, 7.4, 10, 12.2, 1.15}, Disc{10, 15.3, 1.25}), Rgb(0x4A3200));
  return painter.Take();
}

}  // namespace

Extent PictureSize(Picture picture) {
  switch (picture) {
    case Picture::None:
      return {0, 0};
    case Picture::Download:
    case Picture::Upload:
      return {33, 35};
    case Picture::QuestionMark:
      return {20, 20};
    case Picture::ExclamationMark:
      return {20, 21};
    default:
      return {38, 30};
  }
}

Image PaintPicture(Picture picture, int dpi) {
  switch (picture) {
    case Picture::None:
      return {};
    case Picture::Download:
    case Picture::Upload:
      return PaintTraffic(picture == Picture::Download, dpi);
    case Picture::QuestionMark:
      return PaintQuestionMark(dpi);
    case Picture::ExclamationMark:
      return PaintExclamationMark(dpi);
    default:
      return PaintStatus(picture, dpi);
  }
}

Image PaintTrayIcon(TrayImage image, int size) {
  Painter painter(size, size, size / 16.0);
  if (image == TrayImage::None) return painter.Take();
  const Fan fan{8, 13.2, 1.75, {4.3, 7.6, 10.9}, 1.05, 40};
  switch (image) {
    case TrayImage::Running:
      PaintFan(painter, fan, kGreen, {kGreen, kGreen, kGreen});
      break;
    case TrayImage::Busy1:
    case TrayImage::Busy2:
    case TrayImage::Busy3: {
      const int lit = static_cast<int>(image) - static_cast<int>(TrayImage::Busy1) + 1;
      PaintFan(painter, fan, kBlue,
               {lit >= 1 ? kBlue : kUnlit, lit >= 2 ? kBlue : kUnlit, lit >= 3 ? kBlue : kUnlit});
      break;
    }
    default:
      PaintFan(painter, fan, kGrey, {kGrey, kGrey, kGrey});
      break;
  }
  return painter.Take();
}

Image PaintBackdrop(Backdrop backdrop, int dpi, std::uint32_t outside) {
  if (backdrop == Backdrop::None) return {};
  const double scale = ScaleOf(dpi);
  Painter painter(ScaleLength(155, dpi), ScaleLength(22, dpi), scale);
  // The outline is hard so that the window's region, cut along the outside colour, has
  // no fringe half of that colour; everything inside may be smooth.
  painter.FillHard(RoundedBox{0, 0, 155, 22, 11}, [](double, double) { return Rgb(0x5E7A90); });
  painter.FillWith(RoundedBox{1, 1, 153, 20, 10},
                   VerticalGradient(Rgb(0x3C5468), Rgb(0x1F2D39), 1, 21));
  painter.Fill(AnyOf(Capsule{10, 5, 10, 11.5, 1.4}, Triangle{5.5, 10.5, 14.5, 10.5, 10, 16.8}),
               Rgb(0x5BD17A));
  painter.Fill(AnyOf(Capsule{85, 10.5, 85, 17, 1.4}, Triangle{80.5, 11.5, 89.5, 11.5, 85, 5.2}),
               Rgb(0xFFB347));
  painter.Fill(Capsule{77.5, 6, 77.5, 16, 0.5}, Rgb(0x6F8798, 0.8));
  return painter.Take(outside);
}

Image PaintWindowIcon(int size) {
  Painter painter(size, size, size / 32.0);
  painter.FillWith(RoundedBox{1, 1, 30, 30, 6.5},
                   VerticalGradient(Rgb(0x2D8CF0), Rgb(0x1565C0), 1, 31));
  const Fan fan{16, 24.5, 2.5, {6, 11, 16}, 1.8, 45};
  PaintFan(painter, fan, kWhite, {kWhite, kWhite, kWhite});
  return painter.Take();
}

}  // namespace lumora::ui::win32
