#include "ui/win32/artwork_gdi.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumora::ui::win32 {

namespace {

ScopedBitmap DibOf(int width, int height, const std::uint32_t* pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, like the image
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && bits)
    std::memcpy(bits, pixels,
                static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  return bitmap;
}

}  // namespace

ScopedBitmap BitmapOf(const Image& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  return DibOf(image.width, image.height, image.pixels.data());
}

ScopedIcon IconOf(const Image& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  // Icons take straight alpha.
  std::vector<std::uint32_t> straight(image.pixels.size());
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint32_t p = image.pixels[i];
    const std::uint32_t a = p >> 24;
    if (a == 0) continue;
    const auto unmultiply = [a](std::uint32_t c) {
      return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a);
    };
    straight[i] = a << 24 | unmultiply((p >> 16) & 0xFF) << 16 | unmultiply((p >> 8) & 0xFF) << 8 |
                  unmultiply(p & 0xFF);
  }
  ScopedBitmap colour = DibOf(image.width, image.height, straight.data());
  // The mask is all zeros: the alpha channel decides.
  const std::vector<std::uint8_t> zeros(static_cast<std::size_t>((image.width + 15) / 16 * 2) *
                                        static_cast<std::size_t>(image.height));
  ScopedBitmap mask(CreateBitmap(image.width, image.height, 1, 1, zeros.data()));
  if (!colour || !mask) return {};
  ICONINFO info{TRUE, 0, 0, mask.Get(), colour.Get()};
  return ScopedIcon(CreateIconIndirect(&info));
}

ScopedRegion RegionOf(const Image& image, std::uint32_t transparent) {
  // One rectangle per run of kept pixels in a row.
  std::vector<RECT> runs;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width;) {
      while (x < image.width && image.At(x, y) == transparent) ++x;
      const int start = x;
      while (x < image.width && image.At(x, y) != transparent) ++x;
      if (x > start) runs.push_back({start, y, x, y + 1});
    }
  }
  std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  RGNDATAHEADER header{};
  header.dwSize = sizeof header;
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(runs.size());
  header.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  header.rcBound = {0, 0, image.width, image.height};
  std::memcpy(data.data(), &header, sizeof header);
  if (!runs.empty())
    std::memcpy(data.data() + sizeof header, runs.data(), runs.size() * sizeof(RECT));
  return ScopedRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                      reinterpret_cast<RGNDATA*>(data.data())));
}

void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  if (!memory) return;
  ScopedSelection selected(memory.Get(), bitmap);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(dc, x, y, width, height, memory.Get(), 0, 0, width, height, blend);
}

}  // namespace lumora::ui::win32
