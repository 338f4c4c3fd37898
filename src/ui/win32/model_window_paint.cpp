// Drawing what the common controls would draw otherwise: the tab pages and group boxes
// on the button face whatever the theme, the model's caption colours, the pictures, the
// window's backdrop.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include <algorithm>

#include "platform/win32/scoped_win.h"
#include "ui/join_code.h"
#include "ui/win32/artwork_gdi.h"
#include "ui/win32/model_window.h"
#include "ui/win32/model_window_detail.h"

namespace lumora::ui::win32 {

using namespace detail;

LRESULT ModelWindow::OnColour(ControlSlot& slot, HDC dc, bool& handled) {
  const Control& control = *slot.control;
  if (const ControlView* view = ViewOf(control.Kind()))
    return view->OnColour(slot, dc, handled, context_);
  switch (control.Kind()) {
    case ControlKind::GroupBox:
      return FaceColours(slot, dc, handled, context_);
    default:
      return 0;
  }
}

bool ModelWindow::DrawBackdrop(HDC dc) {
  if (!backdrop_) return false;
  BITMAP info{};
  GetObjectW(backdrop_.Get(), sizeof info, &info);
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedSelection selected(memory.Get(), backdrop_.Get());
  BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
  return true;
}

void ModelWindow::PaintTabs(ControlSlot& slot, HDC target) {
  const HWND tabs = slot.window;
  // The pages' controls that paint every pixel of their own are left out, so that a
  // new tone does not flash over them before they draw themselves.
  for (const ControlSlot& other : slots_) {
    if (!other.window || GetParent(other.window) != tabs || SeeThrough(other.control->Kind()) ||
        !IsWindowVisible(other.window))
      continue;
    RECT rect{};
    GetWindowRect(other.window, &rect);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&rect), 2);
    ExcludeClipRect(target, rect.left, rect.top, rect.right, rect.bottom);
  }
  MemoryPaint memory(tabs, target);
  const HDC dc = memory.Get();
  const RECT client = memory.Client();
  FillRect(dc, &client, context_.faceBrush.Get());
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
  RECT first{};
  if (count > 0) SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  ScopedBrush lineBrush(CreateSolidBrush(RgbOf(context_.tone.line)));
  ScopedBrush backBrush(CreateSolidBrush(RgbOf(context_.tone.backTab)));
  RECT pane{client.left, first.bottom, client.right, client.bottom};
  FrameRect(dc, &pane, lineBrush.Get());
  ScopedSelection font(dc, context_.font.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RgbOf(IsWindowEnabled(tabs) ? context_.tone.text : context_.tone.disabledText));
  const auto& model = static_cast<TabControl&>(*slot.control);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    const bool current = i == selected;
    if (current) {
      // The current tab stands out and runs into the page.
      item.top -= Scale(2);
      item.bottom += 1;
    }
    RECT inside = item;
    InflateRect(&inside, -1, -1);
    if (current) inside.bottom += 1;
    FillRect(dc, &inside, current ? context_.faceBrush.Get() : backBrush.Get());
    RECT edges[] = {{item.left, item.top, item.right, item.top + 1},
                    {item.left, item.top, item.left + 1, item.bottom},
                    {item.right - 1, item.top, item.right, item.bottom}};
    for (const RECT& edge : edges) FillRect(dc, &edge, lineBrush.Get());
    if (i < static_cast<int>(model.Tabs().size())) {
      const std::wstring title = platform::win32::Wide(model.Tabs()[static_cast<std::size_t>(i)]);
      DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &inside,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (current && GetFocus() == tabs) {
      RECT focus = inside;
      InflateRect(&focus, -Scale(2), -Scale(2));
      DrawFocusRect(dc, &focus);
    }
  }
}

void ModelWindow::PaintGroupBox(ControlSlot& slot, HDC dc) {
  RECT client{};
  GetClientRect(slot.window, &client);
  // The controls that lie over the box paint every pixel of their own; the frame must
  // not run over them. Transparent labels show it.
  const HWND parent = GetParent(slot.window);
  for (const ControlSlot& other : slots_) {
    if (!other.window || &other == &slot || GetParent(other.window) != parent ||
        SeeThrough(other.control->Kind()) || !IsWindowVisible(other.window))
      continue;
    RECT rect{};
    GetWindowRect(other.window, &rect);
    MapWindowPoints(nullptr, slot.window, reinterpret_cast<POINT*>(&rect), 2);
    ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  }
  ScopedSelection font(dc, context_.font.Get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  if (context_.skinned) {
    // An etched frame in the tone: a line with a bright line inside it.
    ScopedBrush light(CreateSolidBrush(RgbOf(context_.tone.light)));
    ScopedBrush line(CreateSolidBrush(RgbOf(context_.tone.line)));
    RECT inner = frame;
    OffsetRect(&inner, 1, 1);
    FrameRect(dc, &inner, light.Get());
    RECT outer = frame;
    outer.right -= 1;
    outer.bottom -= 1;
    FrameRect(dc, &outer, line.Get());
  } else {
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  }
  const std::wstring caption = TextOf(slot.window);
  if (caption.empty()) return;
  SIZE size{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  const int inset = Scale(8);
  RECT band{inset - Scale(2), 0, std::min<int>(client.right, inset + size.cx + Scale(2)),
            metrics.tmHeight};
  FillRect(dc, &band, context_.faceBrush.Get());
  SetBkMode(dc, TRANSPARENT);
  const Colour* colour = slot.control->TextColour();
  SetTextColor(dc, !slot.control->Enabled() ? RgbOf(context_.tone.disabledText)
                   : !colour                ? RgbOf(context_.tone.text)
                   : context_.skinned       ? RgbOf(ReadableOn(*colour, context_.tone.face))
                                            : RgbOf(*colour));
  RECT text{inset, 0, band.right, metrics.tmHeight};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

HICON ModelWindow::TrayIconFor(TrayImage image) {
  auto found = trayIcons_.find(image);
  if (found == trayIcons_.end())
    found = trayIcons_.emplace(image, IconOf(PaintTrayIcon(image, GetSystemMetrics(SM_CXSMICON))))
                .first;
  return found->second.Get();
}

}  // namespace lumora::ui::win32
