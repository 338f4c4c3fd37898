// Combo boxes: a dropped list, or a list with a field to type into, kept in step with
// the model's items, choice and text.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include "platform/win32/scoped_win.h"
#include "ui/user_input.h"
#include "ui/win32/model_window_detail.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using namespace detail;
using platform::win32::Utf8;
using platform::win32::Wide;

namespace {

void ApplyComboText(ControlSlot& slot) {
  const auto& combo = static_cast<ComboBox&>(*slot.control);
  const std::wstring text = Wide(combo.Text());
  if (combo.Editable()) {
    if (TextOf(slot.window) != text) SetWindowTextW(slot.window, text.c_str());
    return;
  }
  // A list that cannot be typed into shows an item or nothing.
  const LRESULT found = text.empty()
                            ? CB_ERR
                            : SendMessageW(slot.window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
  const LRESULT index = found == CB_ERR ? -1 : found;
  if (SendMessageW(slot.window, CB_GETCURSEL, 0, 0) != index)
    SendMessageW(slot.window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ApplyComboSelection(ControlSlot& slot) {
  if (!slot.window) return;
  const auto& combo = static_cast<ComboBox&>(*slot.control);
  const int selected = combo.SelectedIndex();
  if (SendMessageW(slot.window, CB_GETCURSEL, 0, 0) != selected)
    SendMessageW(slot.window, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  // Clearing the selection clears the field too; the model keeps its text.
  if (combo.Editable()) ApplyComboText(slot);
}

void ApplyComboItems(ControlSlot& slot) {
  if (!slot.window) return;
  const auto& combo = static_cast<ComboBox&>(*slot.control);
  SendMessageW(slot.window, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : combo.Items())
    SendMessageW(slot.window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  ApplyComboSelection(slot);
}

class ComboBoxView final : public ControlView {
 public:
  void Describe(const Control& control, WindowSpec& spec) const override {
    spec.className = WC_COMBOBOXW;
    spec.style |=
        WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
        (static_cast<const ComboBox&>(control).Editable() ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
    spec.text.clear();  // the items and the text follow once the window is made
  }

  void Place(Rect& rect, ViewContext& context) const override {
    rect.height += context.Scale(kComboListHeight);
  }

  void Fill(ControlSlot& slot, ViewContext&) const override {
    const HWND window = slot.window;
    COMBOBOXINFO info{sizeof info};
    if (static_cast<ComboBox&>(*slot.control).Editable() && GetComboBoxInfo(window, &info) &&
        info.hwndItem && info.hwndItem != window) {
      slot.comboEdit = info.hwndItem;
      // The field's own ID (1001) would be taken for the control of index 1 by a tool
      // that finds controls by ID; the combo box knows its field by handle.
      SetWindowLongPtrW(slot.comboEdit, GWLP_ID, kComboEditId);
      SetWindowSubclass(slot.comboEdit, &ModelWindow::ControlProcedure, 2,
                        reinterpret_cast<DWORD_PTR>(&slot));
    }
    ApplyComboItems(slot);
  }

  bool Apply(ControlSlot& slot, Change change, ViewContext&) const override {
    switch (change) {
      case Change::Text:
      case Change::Content:
        if (slot.window) ApplyComboText(slot);
        return true;
      case Change::Items:
        ApplyComboItems(slot);
        return true;
      case Change::Selection:
        ApplyComboSelection(slot);
        return true;
      default:
        return false;
    }
  }

  LRESULT OnMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam, LPARAM, bool&,
                    ViewContext& context) const override {
    auto& combo = static_cast<ComboBox&>(*slot.control);
    // Keys go to the edit field of an editable combo, to the combo itself otherwise.
    if (message == WM_KEYDOWN && !context.applying &&
        (window == slot.comboEdit || !combo.Editable()))
      PressKey(combo, static_cast<int>(wParam));
    return 0;
  }

  void OnCommand(ControlSlot& slot, UINT code) const override {
    auto& combo = static_cast<ComboBox&>(*slot.control);
    if (code == CBN_SELCHANGE) {
      Choose(combo, static_cast<int>(SendMessageW(slot.window, CB_GETCURSEL, 0, 0)));
    } else if (code == CBN_EDITCHANGE) {
      Type(combo, Utf8(TextOf(slot.window)));
    } else if (code == CBN_KILLFOCUS) {
      LoseFocus(combo);
    }
  }

  bool TakesFocus() const override { return true; }
};

}  // namespace

const ControlView& ComboBoxView() {
  static const class ComboBoxView view;
  return view;
}

}  // namespace lumora::ui::win32
