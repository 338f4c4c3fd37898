#include "ui/win32/message_routing.h"

#include <vector>

namespace lumora::ui::win32 {

namespace {

// The class atom of dialog windows (WC_DIALOG), message boxes among them.
constexpr ULONG_PTR kDialogClassAtom = 32770;

thread_local std::vector<KeyboardHandler*> tHandlers;

}  // namespace

void AddKeyboardHandler(KeyboardHandler& handler) { tHandlers.push_back(&handler); }

void RemoveKeyboardHandler(KeyboardHandler& handler) { std::erase(tHandlers, &handler); }

void RouteMessage(MSG& message) {
  // By index: a handler may end a window, and so remove a handler, while it runs.
  for (std::size_t i = 0; i < tHandlers.size(); ++i)
    if (tHandlers[i]->HandleKey(message)) return;
  if (message.hwnd) {
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root && GetClassLongPtrW(root, GCW_ATOM) == kDialogClassAtom &&
        IsDialogMessageW(root, &message))
      return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace lumora::ui::win32
