#pragma once
// How every message loop of the UI thread hands on a message it has taken from the
// queue, so that the main loop and the nested pumps of waits and UI-thread commands
// treat the keyboard alike: Tab moves through a view's controls, and Tab and Enter work
// in a dialog (a message box) also while the program waits.

#include <windows.h>

namespace lumora::ui::win32 {

// A window that handles some keys itself before they are dispatched.
class KeyboardHandler {
 public:
  virtual ~KeyboardHandler() = default;
  // True when the message was such a key and has been handled.
  virtual bool HandleKey(const MSG& message) = 0;
};

// Registers a handler for the messages of the calling thread until it is removed.
void AddKeyboardHandler(KeyboardHandler& handler);
void RemoveKeyboardHandler(KeyboardHandler& handler);

// Hands on a retrieved message: to the thread's keyboard handlers first, then to the
// dialog manager when it is for a dialog window, else it is translated and dispatched.
void RouteMessage(MSG& message);

}  // namespace lumora::ui::win32
