#include "ui/win32/notify_icon.h"

#include <shellapi.h>

#include <algorithm>

#include "platform/failure_report.h"
#include "platform/win32/scoped_win.h"

namespace lumora::ui::win32 {

namespace {

constexpr UINT kIconId = 1;

template <std::size_t N>
void CopyTruncated(wchar_t (&target)[N], const std::wstring& text) {
  const std::size_t length = std::min(text.size(), N - 1);
  text.copy(target, length);
  target[length] = L'\0';
}

NOTIFYICONDATAW Data(HWND owner, UINT callback, HICON icon, const std::wstring& tip, UINT flags) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = callback;
  data.hIcon = icon;
  CopyTruncated(data.szTip, tip);
  return data;
}

}  // namespace

bool NotifyIcon::Add() {
  // The standard tip shows under version 4 only with NIF_SHOWTIP.
  NOTIFYICONDATAW data =
      Data(owner_, callback_, icon_, tip_, NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  data.uVersion = NOTIFYICON_VERSION_4;
  Shell_NotifyIconW(NIM_SETVERSION, &data);
  return true;
}

void NotifyIcon::Show(HICON icon, std::string_view tip) {
  icon_ = icon;
  tip_ = platform::win32::Wide(tip);
  shown_ = true;
  if (added_) {
    NOTIFYICONDATAW data = Data(owner_, callback_, icon_, tip_, NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    if (Shell_NotifyIconW(NIM_MODIFY, &data)) return;
    added_ = false;  // the shell lost it: add it afresh
  }
  added_ = Add();
}

void NotifyIcon::Remove() {
  shown_ = false;
  if (!added_) return;
  NOTIFYICONDATAW data = Data(owner_, callback_, icon_, tip_, 0);
  Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
}

void NotifyIcon::Restore() {
  added_ = false;
  if (shown_) added_ = Add();
}

void NotifyIcon::Notice(std::string_view title, std::string_view text) {
  if (!shown_) return;
  // A shell that lost the icon (its taskbar not yet re-created) gets it back for the
  // notice: the user would rather see the icon early than miss who joined.
  if (!added_) added_ = Add();
  NOTIFYICONDATAW data = Data(owner_, callback_, icon_, tip_, NIF_INFO);
  CopyTruncated(data.szInfoTitle, platform::win32::Wide(title));
  CopyTruncated(data.szInfo, platform::win32::Wide(text));
  data.dwInfoFlags = NIIF_INFO;
  if (!added_ || !Shell_NotifyIconW(NIM_MODIFY, &data))
    platform::ReportFailure("NotifyIcon::Notice", "the shell did not show the balloon notice");
}

}  // namespace lumora::ui::win32
