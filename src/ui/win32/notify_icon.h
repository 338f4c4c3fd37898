#pragma once
// The program's icon in the notification area, owned by a top-level window: added when
// it is first shown, changed in place, removed on request and on destruction, and added
// again when the taskbar comes back.

#include <windows.h>

#include <string>
#include <string_view>

namespace lumora::ui::win32 {

class NotifyIcon {
 public:
  // Events arrive at owner as callbackMessage in the NOTIFYICON_VERSION_4 form: the
  // mouse message in LOWORD(lParam).
  NotifyIcon(HWND owner, UINT callbackMessage) : owner_(owner), callback_(callbackMessage) {}
  ~NotifyIcon() { Remove(); }
  NotifyIcon(const NotifyIcon&) = delete;
  NotifyIcon& operator=(const NotifyIcon&) = delete;

  // Shows the icon with that tip (UTF-8), adding it when it is not there.
  void Show(HICON icon, std::string_view tip);
  void Remove();
  bool Shown() const { return shown_; }
  // After the taskbar was re-created: adds the icon again if it was shown.
  void Restore();
  // A balloon notice over the icon; nothing when the program does not show the icon.
  // The shell reports a click on it as NIN_BALLOONUSERCLICK.
  void Notice(std::string_view title, std::string_view text);

 private:
  bool Add();

  HWND owner_;
  UINT callback_;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool shown_ = false;  // the program wants it in the notification area
  bool added_ = false;  // the shell has it
};

}  // namespace lumora::ui::win32
