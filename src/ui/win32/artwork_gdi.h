#pragma once
// The painted pictures as GDI objects: alpha bitmaps, icons, and the region of a shaped
// window.

#include <windows.h>

#include "ui/win32/artwork.h"
#include "ui/win32/gdi_objects.h"

namespace lumora::ui::win32 {

// A 32-bit top-down DIB section with the image's premultiplied pixels, for AlphaBlend
// and BitBlt.
ScopedBitmap BitmapOf(const Image& image);

// An icon with the image's alpha.
ScopedIcon IconOf(const Image& image);

// The region of every pixel that is not the transparent colour.
ScopedRegion RegionOf(const Image& image, std::uint32_t transparent);

// Draws a bitmap made by BitmapOf with its alpha at (x, y).
void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);

}  // namespace lumora::ui::win32
