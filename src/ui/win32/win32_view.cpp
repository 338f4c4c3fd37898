#include "ui/win32/win32_view.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "ui/win32/message_routing.h"
#include "ui/win32/model_window.h"

namespace lumora::ui::win32 {

struct Win32View::Impl {
  std::vector<std::unique_ptr<ModelWindow>> windows;
  std::vector<WindowModel*> waiting;  // attached hidden, built after the first paint
  Skin* skin = nullptr;
  bool allBuilt = false;  // no slice is left to build

  void Build(WindowModel& model) {
    std::erase(waiting, &model);
    HWND owner = nullptr;
    for (const auto& window : windows)
      if (&window->Model() == model.Look().owner) owner = window->Handle();
    windows.push_back(std::make_unique<ModelWindow>(model, skin, owner));
  }
  bool BuildNextSlice() {
    // A window to be seen first, then what the built windows do not show yet, then the
    // hidden windows.
    for (WindowModel* model : waiting) {
      if (!model->Visible()) continue;
      Build(*model);
      return true;
    }
    for (const auto& window : windows)
      if (window->BuildNextSlice()) return true;
    if (waiting.empty()) return false;
    Build(*waiting.front());
    return true;
  }
};

Win32View::Win32View() : impl_(std::make_unique<Impl>()) {}

Win32View::~Win32View() {
  // The last window attached goes first: the speed bar before the main window.
  while (!impl_->windows.empty()) impl_->windows.pop_back();
}

void Win32View::Attach(WindowModel& model) {
  if (WindowOf(model)) return;
  if (impl_->windows.empty() || model.Visible()) {
    impl_->Build(model);
    return;
  }
  impl_->waiting.push_back(&model);
  impl_->allBuilt = false;
}

bool Win32View::BuildNextSlice() {
  if (impl_->allBuilt) return false;
  impl_->allBuilt = !impl_->BuildNextSlice();
  return !impl_->allBuilt;
}

void Win32View::UseSkin(Skin& skin) { impl_->skin = &skin; }

void* Win32View::WindowOf(const WindowModel& model) const {
  if (std::find(impl_->waiting.begin(), impl_->waiting.end(), &model) != impl_->waiting.end())
    impl_->Build(const_cast<WindowModel&>(model));
  for (const auto& window : impl_->windows)
    if (&window->Model() == &model) return window->Handle();
  return nullptr;
}

int Win32View::RunMessageLoop() {
  MSG message{};
  for (;;) {
    // A slice is built only when no message, paint or timer waits.
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && BuildNextSlice()) continue;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got < 0) return -1;
    RouteMessage(message);
  }
}

void Win32View::Quit(int exitCode) { PostQuitMessage(exitCode); }

int Win32MessageBoxes::Show(std::string_view text, std::string_view title, unsigned style) {
  return MessageBoxW(nullptr, platform::win32::Wide(text).c_str(),
                     platform::win32::Wide(title).c_str(), style | MB_TASKMODAL);
}

}  // namespace lumora::ui::win32
