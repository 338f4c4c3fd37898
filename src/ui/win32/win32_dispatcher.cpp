#include "ui/win32/win32_dispatcher.h"

#include <windows.h>

#include "platform/failure_report.h"
#include "platform/win32/scoped_win.h"
#include "ui/win32/message_routing.h"

namespace lumora::ui::win32 {

namespace {

constexpr UINT kRunPostedTasks = WM_APP + 1;
constexpr wchar_t kWindowClass[] = L"LumoraUiDispatcher";

// Hands on every message waiting for this thread now, as the main loop does. A WM_QUIT
// is put back so the outer message loop still sees it.
void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    RouteMessage(message);
  }
}

LRESULT CALLBACK DispatcherWindowProc(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
  if (message == kRunPostedTasks) {
    if (auto* self = reinterpret_cast<Win32Dispatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
      self->RunPostedTasks();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

Win32Dispatcher::Win32Dispatcher() : uiThreadId_(GetCurrentThreadId()) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &DispatcherWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second dispatcher registers again
  window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            windowClass.hInstance, nullptr);
  SetWindowLongPtrW(static_cast<HWND>(window_), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Dispatcher::~Win32Dispatcher() {
  if (window_) DestroyWindow(static_cast<HWND>(window_));
}

void Win32Dispatcher::Post(std::function<void()> task) {
  {
    std::lock_guard guard(lock_);
    queue_.push_back(std::move(task));
  }
  PostMessageW(static_cast<HWND>(window_), kRunPostedTasks, 0, 0);
}

void Win32Dispatcher::RunPostedTasks() {
  // One message may stand for several posts, and a task may pump again inside;
  // taking the tasks one at a time keeps their order either way.
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard guard(lock_);
      if (queue_.empty()) return;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    // Nothing may unwind through DispatchMessageW; the tasks after it still run.
    try {
      task();
    } catch (...) {
      platform::ReportCurrentException("posted task");
    }
  }
}

void Win32Dispatcher::ProcessPendingEvents() { PumpMessages(); }

void Win32Dispatcher::WaitPumping(std::uint32_t ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  platform::win32::ScopedHandle timer(CreateWaitableTimerW(nullptr, FALSE, nullptr));
  LARGE_INTEGER due;
  due.QuadPart = -static_cast<LONGLONG>(ms) * 10000;
  if (timer && SetWaitableTimer(timer.Get(), &due, 0, nullptr, nullptr, FALSE)) {
    HANDLE handle = timer.Get();
    for (;;) {
      const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
      if (result == WAIT_OBJECT_0) return;
      if (result != WAIT_OBJECT_0 + 1) break;  // the wait failed: fall back below
      PumpMessages();
    }
  }
  // Without a kernel timer the time is kept by the tick count, in short slices.
  for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10)),
                              QS_ALLINPUT);
    PumpMessages();
  }
}

bool Win32Dispatcher::IsUiThread() const { return GetCurrentThreadId() == uiThreadId_; }

}  // namespace lumora::ui::win32
