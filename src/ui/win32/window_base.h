#pragma once
// The base of every window the view makes itself: one static window procedure binds the
// object to its window on WM_NCCREATE and hands each message to OnMessage; nothing a
// handler throws gets out of the procedure.

#include <windows.h>

#include <string>

namespace lumora::ui::win32 {

class WindowBase {
 public:
  WindowBase() = default;
  // Destroys the window if the derived class has not done so.
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND Handle() const { return window_; }

  // Registers a window class of this procedure once per process; later calls with the
  // same name do nothing.
  static void RegisterClassOnce(const std::wstring& className, UINT classStyle, HBRUSH background);

 protected:
  // Creates the window; the object receives its messages from WM_NCCREATE on.
  bool Create(const std::wstring& className, DWORD exStyle, DWORD style, const std::wstring& title,
              const RECT& rect, HWND parent);
  // Destroys the window now, while the derived object still handles its last messages.
  void Destroy();
  // Handles a message; DefWindowProc for what it does not handle.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept;
  HWND window_ = nullptr;
};

}  // namespace lumora::ui::win32
