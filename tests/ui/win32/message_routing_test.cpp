// A dialog of the UI thread (a message box is one) answers Tab and Enter also while the
// program waits and pumps messages itself.
#include "ui/win32/message_routing.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "ui/win32/win32_dispatcher.h"

namespace lumora::ui::win32 {
namespace {

constexpr WORD kOtherButton = 100;

// A dialog template in memory: two push buttons, OK the default one.
class DialogTemplate {
 public:
  DialogTemplate() {
    Long(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME);
    Long(0);
    words_.push_back(2);  // items
    for (const short value : {10, 10, 120, 60}) words_.push_back(static_cast<WORD>(value));
    words_.insert(words_.end(), {0, 0, 0});  // no menu, the dialog class, no title
    Button(IDOK, BS_DEFPUSHBUTTON, 10);
    Button(kOtherButton, BS_PUSHBUTTON, 65);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Long(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void Button(WORD id, DWORD style, short left) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
    Long(WS_CHILD | WS_VISIBLE | WS_TABSTOP | style);
    Long(0);
    for (const short value : {left, short{30}, short{45}, short{14}})
      words_.push_back(static_cast<WORD>(value));
    words_.push_back(id);
    words_.insert(words_.end(), {0xFFFF, 0x0080});  // the button class
    words_.insert(words_.end(), {L'x', 0});         // its text
    words_.push_back(0);                            // no creation data
  }
  std::vector<WORD> words_;
};

std::vector<WORD> gCommands;

INT_PTR CALLBACK DialogProcedure(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND) gCommands.push_back(LOWORD(wParam));
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

TEST(MessageRouting, DialogsTakeTabAndEnterDuringAWait) {
  Win32Dispatcher dispatcher;
  const DialogTemplate layout;
  gCommands.clear();
  const HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), layout.Get(), nullptr,
                                                 &DialogProcedure, 0);
  ASSERT_TRUE(dialog);
  const HWND ok = GetDlgItem(dialog, IDOK);
  const HWND other = GetDlgItem(dialog, kOtherButton);
  SetFocus(ok);
  PostMessageW(ok, WM_KEYDOWN, VK_TAB, 0);
  dispatcher.WaitPumping(50);
  EXPECT_EQ(GetFocus(), other);
  // Enter on a push button that has the focus presses that button.
  PostMessageW(other, WM_KEYDOWN, VK_RETURN, 0);
  dispatcher.ProcessPendingEvents();
  EXPECT_EQ(gCommands, std::vector<WORD>{kOtherButton});
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace lumora::ui::win32
