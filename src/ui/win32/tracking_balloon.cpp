#include "ui/win32/tracking_balloon.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/scoped_win.h"

namespace lumora::ui::win32 {

namespace {

// On the balloon's own window: the tooltip class keeps its own timers at small IDs.
constexpr UINT_PTR kTimeOutTimerId = 0x4C42;
constexpr UINT kTimeOutMs = 5000;
constexpr UINT kHideMessage = WM_APP + 1;

// The balloon that the next mouse click of this thread closes.
thread_local HWND tShownWindow = nullptr;

// The balloon's one tool: a tracking tool of the owner window.
TOOLINFOW ToolOf(HWND owner) {
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.uId = 1;
  return info;
}

}  // namespace

void TrackingBalloon::Show(HWND owner, POINT at, std::string_view text, HFONT font, int lineWidth) {
  if (window_ && owner != owner_) Destroy();
  if (!window_) {
    window_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_) return;
    owner_ = owner;
    SetWindowSubclass(window_.Get(), &TrackingBalloon::Procedure, 1,
                      reinterpret_cast<DWORD_PTR>(this));
    SetFont(font, lineWidth);
    TOOLINFOW info = ToolOf(owner_);
    info.uFlags = TTF_TRACK;
    info.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(window_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
  std::wstring wide = platform::win32::Wide(text);
  TOOLINFOW info = ToolOf(owner_);
  info.lpszText = wide.data();
  SendMessageW(window_.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
  SendMessageW(window_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(window_.Get(), TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  SendMessageW(window_.Get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  shown_ = true;
  SetTimer(window_.Get(), kTimeOutTimerId, kTimeOutMs, nullptr);
  if (!hook_)
    hook_.Reset(
        SetWindowsHookExW(WH_MOUSE, &TrackingBalloon::MouseHook, nullptr, GetCurrentThreadId()));
  tShownWindow = window_.Get();
}

void TrackingBalloon::Hide() {
  hook_.Reset();
  if (window_ && tShownWindow == window_.Get()) tShownWindow = nullptr;
  shown_ = false;
  if (!window_) return;
  KillTimer(window_.Get(), kTimeOutTimerId);
  TOOLINFOW info = ToolOf(owner_);
  SendMessageW(window_.Get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

void TrackingBalloon::SetFont(HFONT font, int lineWidth) {
  if (!window_) return;
  // A width makes the balloon break its lines at "\r\n" too.
  SendMessageW(window_.Get(), TTM_SETMAXTIPWIDTH, 0, lineWidth);
  SendMessageW(window_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void TrackingBalloon::Destroy() {
  Hide();
  window_.Reset();
  owner_ = nullptr;
}

LRESULT CALLBACK TrackingBalloon::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self) noexcept {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &TrackingBalloon::Procedure, id);
  if ((message == WM_TIMER && wParam == kTimeOutTimerId) || message == kHideMessage) {
    reinterpret_cast<TrackingBalloon*>(self)->Hide();
    return 0;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TrackingBalloon::MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  // Posted: the hook runs in the middle of the click, which must go on as it is.
  if (code == HC_ACTION && tShownWindow &&
      (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN ||
       wParam == WM_NCLBUTTONDOWN || wParam == WM_NCRBUTTONDOWN))
    PostMessageW(tShownWindow, kHideMessage, 0, 0);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace lumora::ui::win32
