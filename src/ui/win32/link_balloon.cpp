#include "ui/win32/link_balloon.h"

#include <algorithm>

#include "platform/win32/scoped_win.h"
#include "ui/layout.h"
#include "ui/win32/ui_font.h"

namespace lumora::ui::win32 {

namespace {

constexpr wchar_t kClassName[] = L"LumoraLinkBalloon";
constexpr COLORREF kBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kText = RGB(0x22, 0x2B, 0x33);
constexpr COLORREF kHotBackground = RGB(0x00, 0x95, 0xBB);  // the link under the mouse
constexpr COLORREF kHotText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kFrame = RGB(0x8C, 0x98, 0xA4);

}  // namespace

void LinkBalloon::Show(HWND owner, POINT anchor, bool above, std::vector<HtmlLink> links, int dpi,
                       std::function<void(const std::string&)> chosen) {
  links_ = std::move(links);
  chosen_ = std::move(chosen);
  hot_ = -1;
  if (!Handle()) {
    RegisterClassOnce(kClassName, CS_DROPSHADOW, nullptr);
    if (!Create(kClassName, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, L"", {0, 0, 1, 1}, owner))
      return;
  }
  font_ = CreateUiFont(dpi, false, 10);
  // The links are measured in their font.
  int widest = 0;
  TEXTMETRICW metrics{};
  {
    ScopedWindowDc dc(Handle());
    ScopedSelection selected(dc.Get(), font_.Get());
    GetTextMetricsW(dc.Get(), &metrics);
    for (const HtmlLink& link : links_) {
      const std::wstring text = platform::win32::Wide(link.text);
      SIZE size{};
      GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
      widest = std::max<int>(widest, size.cx);
    }
  }
  layout_ = LayOutLinkMenu(static_cast<int>(links_.size()), widest, metrics.tmHeight, dpi);
  Rect area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MONITORINFO monitor{sizeof monitor};
  if (GetMonitorInfoW(MonitorFromPoint(anchor, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    area = {work.left, work.top, work.right - work.left, work.bottom - work.top};
  }
  const Rect placed = PlaceLinkMenu(layout_, {anchor.x, anchor.y}, above, area);
  const int corner = ScaleLength(10, dpi);
  SetWindowRgn(Handle(),
               CreateRoundRectRgn(0, 0, placed.width + 1, placed.height + 1, corner, corner),
               FALSE);
  SetWindowPos(Handle(), HWND_TOPMOST, placed.left, placed.top, placed.width, placed.height,
               SWP_SHOWWINDOW);
  InvalidateRect(Handle(), nullptr, TRUE);
  SetForegroundWindow(Handle());
}

void LinkBalloon::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

RECT LinkBalloon::RowRect(int row) const {
  const Rect rect = LinkRowRect(layout_, row);
  return {rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
}

void LinkBalloon::Paint(HDC dc) {
  RECT client{};
  GetClientRect(Handle(), &client);
  ScopedBrush background(CreateSolidBrush(kBackground));
  FillRect(dc, &client, background.Get());
  ScopedSelection selected(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  for (int row = 0; row < static_cast<int>(links_.size()); ++row) {
    RECT rect = RowRect(row);
    if (row == hot_) {
      ScopedBrush hot(CreateSolidBrush(kHotBackground));
      RECT inset = rect;
      InflateRect(&inset, -ScaleLength(3, layout_.dpi), 0);
      FillRect(dc, &inset, hot.Get());
    }
    SetTextColor(dc, row == hot_ ? kHotText : kText);
    const std::wstring text = platform::win32::Wide(links_[static_cast<std::size_t>(row)].text);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  // The frame follows the rounded region.
  const int corner = ScaleLength(10, layout_.dpi);
  ScopedRegion frame(CreateRoundRectRgn(0, 0, client.right, client.bottom, corner, corner));
  ScopedBrush frameBrush(CreateSolidBrush(kFrame));
  FrameRgn(dc, frame.Get(), frameBrush.Get(), 1, 1);
}

void LinkBalloon::Choose(int row) {
  if (row < 0 || row >= static_cast<int>(links_.size())) return;
  const std::string message = links_[static_cast<std::size_t>(row)].message;
  const auto chosen = chosen_;
  Hide();
  if (chosen) chosen(message);
}

LRESULT LinkBalloon::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      ScopedPaint paint(Handle(), nullptr);
      Paint(paint.Get());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      const int row = LinkRowAt(layout_, static_cast<short>(HIWORD(lParam)));
      if (row != hot_) {
        hot_ = row;
        InvalidateRect(Handle(), nullptr, FALSE);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking_ = false;
      hot_ = -1;
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_LBUTTONUP:
      Choose(LinkRowAt(layout_, static_cast<short>(HIWORD(lParam))));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) Hide();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) Hide();
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace lumora::ui::win32
