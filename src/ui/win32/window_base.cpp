#include "ui/win32/window_base.h"

#include "platform/failure_report.h"

namespace lumora::ui::win32 {

WindowBase::~WindowBase() {
  // By now the derived part is gone: the last messages go to DefWindowProc.
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void WindowBase::RegisterClassOnce(const std::wstring& className, UINT classStyle,
                                   HBRUSH background) {
  WNDCLASSEXW existing{sizeof existing};
  if (GetClassInfoExW(GetModuleHandleW(nullptr), className.c_str(), &existing)) return;
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = &WindowBase::Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className.c_str();
  RegisterClassExW(&windowClass);
}

bool WindowBase::Create(const std::wstring& className, DWORD exStyle, DWORD style,
                        const std::wstring& title, const RECT& rect, HWND parent) {
  CreateWindowExW(exStyle, className.c_str(), title.c_str(), style, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                  GetModuleHandleW(nullptr), this);
  return window_ != nullptr;
}

void WindowBase::Destroy() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) {
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->OnMessage(message, wParam, lParam);
  } catch (...) {
    // A handler that failed has done nothing more; the window goes on.
    platform::ReportCurrentException("window procedure");
    result = 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

}  // namespace lumora::ui::win32
