#include "ui/win32/scroll_pane.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/gdi_objects.h"

namespace lumora::ui::win32 {

namespace {

constexpr wchar_t kClassName[] = L"LumoraScrollPane";
constexpr int kLinesPerWheelNotch = 3;

int ClientHeight(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client.bottom - client.top;
}

}  // namespace

bool ScrollPane::Create(HWND parent, const RECT& rect, DWORD exStyle) {
  RegisterClassOnce(kClassName, 0, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  // The bar stays, disabled while everything fits, so the child's width never changes
  // with its text.
  return WindowBase::Create(kClassName, exStyle | WS_EX_CONTROLPARENT,
                            WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL, L"", rect,
                            parent);
}

void ScrollPane::Fit() {
  if (!child_ || !Handle()) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  // Given a width, the link control answers the size its text takes at that width.
  SIZE ideal{};
  SendMessageW(child_, LM_GETIDEALHEIGHT, static_cast<WPARAM>(std::max(width, 0)),
               reinterpret_cast<LPARAM>(&ideal));
  contentHeight_ = std::max(static_cast<int>(ideal.cy), height);
  SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL};
  bar.nMin = 0;
  bar.nMax = contentHeight_ - 1;
  bar.nPage = static_cast<UINT>(std::max(height, 0));
  SetScrollInfo(Handle(), SB_VERT, &bar, TRUE);
  SetWindowPos(child_, nullptr, 0, -position_, width, contentHeight_,
               SWP_NOZORDER | SWP_NOACTIVATE);
  ScrollTo(position_);
}

int ScrollPane::LineHeight() const {
  TEXTMETRICW metrics{};
  const ScopedWindowDc dc(child_);
  {
    const ScopedSelection font(dc.Get(),
                               reinterpret_cast<HGDIOBJ>(SendMessageW(child_, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc.Get(), &metrics);
  }
  return std::max(static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading), 1);
}

void ScrollPane::ScrollTo(int position) {
  const int most = std::max(contentHeight_ - ClientHeight(Handle()), 0);
  position = std::clamp(position, 0, most);
  SCROLLINFO bar{sizeof bar, SIF_POS | SIF_DISABLENOSCROLL};
  bar.nPos = position;
  SetScrollInfo(Handle(), SB_VERT, &bar, TRUE);
  if (position == position_) return;
  position_ = position;
  SetWindowPos(child_, nullptr, 0, -position_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ScrollPane::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Fit();
      return 0;
    case WM_VSCROLL: {
      const int line = LineHeight();
      const int page = std::max(ClientHeight(Handle()) - line, line);
      SCROLLINFO bar{sizeof bar, SIF_TRACKPOS};
      GetScrollInfo(Handle(), SB_VERT, &bar);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollTo(position_ - line); break;
        case SB_LINEDOWN: ScrollTo(position_ + line); break;
        case SB_PAGEUP: ScrollTo(position_ - page); break;
        case SB_PAGEDOWN: ScrollTo(position_ + page); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(contentHeight_); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(bar.nTrackPos); break;
        default: break;
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      // The link control leaves the wheel to its parent.
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      ScrollTo(position_ - notches * kLinesPerWheelNotch * LineHeight());
      return 0;
    }
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(Handle()), message, wParam, lParam);
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace lumora::ui::win32
