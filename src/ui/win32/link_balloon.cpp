#include "ui/win32/link_balloon.h"

#include <algorithm>

#include "platform/win32/scoped_win.h"
#include "ui/win32/layout.h"
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
  dpi_ = dpi;
  hot_ = -1;
  if (!Handle()) {
    RegisterClassOnce(kClassName, CS_DROPSHADOW, nullptr);
    if (!Create(kClassName, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, L"", {0, 0, 1, 1}, owner))
      return;
  }
  font_ = CreateUiFont(dpi, false, 10);
  // The links are measured in their font; three blanks pad each side as in the text.
  int widest = 0;
  {
    ScopedWindowDc dc(Handle());
    ScopedSelection selected(dc.Get(), font_.Get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    rowHeight_ = metrics.tmHeight + ScaleLength(10, dpi);
    for (const HtmlLink& link : links_) {
      const std::wstring text = platform::win32::Wide(link.text);
      SIZE size{};
      GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
      widest = std::max<int>(widest, size.cx);
    }
  }
  const int width = std::max(widest + ScaleLength(48, dpi), ScaleLength(100, dpi));
  const int height = rowHeight_ * static_cast<int>(links_.size()) + ScaleLength(8, dpi);
  int left = anchor.x - width / 2;
  int top = above ? anchor.y - height : anchor.y;
  MONITORINFO monitor{sizeof monitor};
  if (GetMonitorInfoW(MonitorFromPoint(anchor, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& area = monitor.rcWork;
    left = std::clamp<int>(left, area.left, std::max<int>(area.left, area.right - width));
    top = std::clamp<int>(top, area.top, std::max<int>(area.top, area.bottom - height));
  }
  const int corner = ScaleLength(10, dpi);
  SetWindowRgn(Handle(), CreateRoundRectRgn(0, 0, width + 1, height + 1, corner, corner), FALSE);
  SetWindowPos(Handle(), HWND_TOPMOST, left, top, width, height, SWP_SHOWWINDOW);
  InvalidateRect(Handle(), nullptr, TRUE);
  SetForegroundWindow(Handle());
}

void LinkBalloon::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

RECT LinkBalloon::RowRect(int row) const {
  const int top = ScaleLength(4, dpi_) + row * rowHeight_;
  RECT client{};
  if (Handle()) GetClientRect(Handle(), &client);
  return {0, top, client.right, top + rowHeight_};
}

int LinkBalloon::RowAt(int y) const {
  if (rowHeight_ <= 0) return -1;
  const int offset = y - ScaleLength(4, dpi_);
  if (offset < 0) return -1;
  const int row = offset / rowHeight_;
  return row < static_cast<int>(links_.size()) ? row : -1;
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
      InflateRect(&inset, -ScaleLength(3, dpi_), 0);
      FillRect(dc, &inset, hot.Get());
    }
    SetTextColor(dc, row == hot_ ? kHotText : kText);
    const std::wstring text = platform::win32::Wide(links_[static_cast<std::size_t>(row)].text);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  // The frame follows the rounded region.
  const int corner = ScaleLength(10, dpi_);
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
      const int row = RowAt(static_cast<short>(HIWORD(lParam)));
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
      Choose(RowAt(static_cast<short>(HIWORD(lParam))));
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
