#include <windows.h>

#include "platform/win32/scoped_win.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/win32_view.h"

namespace lumora::ui::win32 {

namespace {

// The box a thread is about to show, until its window has been caught.
struct BoxToCatch {
  BoxClose* close;
  unsigned style;
};
thread_local BoxToCatch* tBoxToCatch = nullptr;

// MessageBoxW makes its window on the calling thread, a dialog of the system's class;
// its buttons are made after it, and other windows (an input method's) may come first.
LRESULT CALLBACK CatchBoxWindow(int code, WPARAM wParam, LPARAM lParam) {
  BoxToCatch* box = tBoxToCatch;
  if (code == HCBT_CREATEWND && box) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    if (GetClassNameW(window, className, 16) > 0 && lstrcmpW(className, L"#32770") == 0) {
      tBoxToCatch = nullptr;
      const WPARAM button = MAKEWPARAM(DeclineAnswer(box->style), BN_CLICKED);
      // Posted, so that the box's own loop handles it once the box is up, as a click.
      box->close->Attach([window, button] { PostMessageW(window, WM_COMMAND, button, 0); });
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int Win32MessageBoxes::ShowClosable(std::string_view text, std::string_view title, unsigned style,
                                    BoxClose& close) {
  if (close.Requested()) return DeclineAnswer(style);
  BoxToCatch box{&close, style};
  tBoxToCatch = &box;
  int answer = 0;
  {
    const ScopedHook hook(SetWindowsHookExW(WH_CBT, CatchBoxWindow, nullptr, GetCurrentThreadId()));
    answer = Show(text, title, style);
  }
  tBoxToCatch = nullptr;
  close.Detach();
  return answer;
}

}  // namespace lumora::ui::win32
