#pragma once
// Owners for the GDI and USER handles of the view: fonts, bitmaps, regions, icons, menus,
// device contexts, selections, hooks and windows, each released on every path.

#include <windows.h>

#include <algorithm>

#include "platform/win32/scoped_win.h"

namespace lumora::ui::win32 {

using platform::win32::ScopedResource;
using platform::win32::ScopedWindowDc;

inline void FreeGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void FreeIcon(HICON icon) { DestroyIcon(icon); }
inline void FreeMenu(HMENU menu) { DestroyMenu(menu); }
inline void FreeHook(HHOOK hook) { UnhookWindowsHookEx(hook); }
inline void FreeWindow(HWND window) { DestroyWindow(window); }
inline void FreeMemoryDc(HDC dc) { DeleteDC(dc); }

using ScopedFont = ScopedResource<HFONT, &FreeGdiObject>;
using ScopedBitmap = ScopedResource<HBITMAP, &FreeGdiObject>;
using ScopedRegion = ScopedResource<HRGN, &FreeGdiObject>;
using ScopedBrush = ScopedResource<HBRUSH, &FreeGdiObject>;
using ScopedPen = ScopedResource<HPEN, &FreeGdiObject>;
using ScopedIcon = ScopedResource<HICON, &FreeIcon>;
using ScopedMenu = ScopedResource<HMENU, &FreeMenu>;
using ScopedHook = ScopedResource<HHOOK, &FreeHook>;
using ScopedWindow = ScopedResource<HWND, &FreeWindow>;
using ScopedMemoryDc = ScopedResource<HDC, &FreeMemoryDc>;

// BeginPaint and EndPaint around a WM_PAINT (or the DC a WM_PRINTCLIENT brings).
class ScopedPaint {
 public:
  ScopedPaint(HWND window, HDC given) : window_(window), dc_(given) {
    if (!dc_) {
      dc_ = BeginPaint(window, &paint_);
      painting_ = true;
    }
  }
  ~ScopedPaint() {
    if (painting_) EndPaint(window_, &paint_);
  }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
  PAINTSTRUCT paint_{};
  bool painting_ = false;
};

// An object selected into a DC until the end of the scope.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Paints into a memory bitmap of the window's client size and copies it to the window's
// DC at the end of the scope.
class MemoryPaint {
 public:
  MemoryPaint(HWND window, HDC target) : target_(target) {
    GetClientRect(window, &client_);
    memory_.Reset(CreateCompatibleDC(target));
    bitmap_.Reset(CreateCompatibleBitmap(target, std::max<LONG>(1, client_.right),
                                         std::max<LONG>(1, client_.bottom)));
    selected_ = SelectObject(memory_.Get(), bitmap_.Get());
  }
  ~MemoryPaint() {
    BitBlt(target_, 0, 0, client_.right, client_.bottom, memory_.Get(), 0, 0, SRCCOPY);
    SelectObject(memory_.Get(), selected_);
  }
  MemoryPaint(const MemoryPaint&) = delete;
  MemoryPaint& operator=(const MemoryPaint&) = delete;
  HDC Get() const { return memory_.Get(); }
  const RECT& Client() const { return client_; }

 private:
  HDC target_;
  RECT client_{};
  ScopedMemoryDc memory_;
  ScopedBitmap bitmap_;
  HGDIOBJ selected_ = nullptr;
};

}  // namespace lumora::ui::win32
