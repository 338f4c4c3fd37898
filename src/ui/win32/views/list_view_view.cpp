// List views: the report list of the program's tables, kept in step with the model's
// rows by the fewest edits, and the rows the user selects or clicks told back.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include "platform/win32/scoped_win.h"
#include "ui/list_view_edits.h"
#include "ui/user_input.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using platform::win32::Wide;

namespace {

void ApplyRows(ControlSlot& slot) {
  if (!slot.window) return;
  const ListRows& rows = static_cast<ListView&>(*slot.control).Rows();
  for (const ListEdit& edit : ListEdits(slot.shownRows, rows)) {
    std::wstring text = Wide(edit.text);
    LVITEMW item{};
    item.iItem = static_cast<int>(edit.row);
    item.iSubItem = static_cast<int>(edit.column);
    item.pszText = text.data();
    switch (edit.kind) {
      case ListEdit::kDeleteRow:
        SendMessageW(slot.window, LVM_DELETEITEM, edit.row, 0);
        break;
      case ListEdit::kInsertRow:
        item.mask = LVIF_TEXT;
        SendMessageW(slot.window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        break;
      case ListEdit::kSetCell:
        SendMessageW(slot.window, LVM_SETITEMTEXTW, edit.row, reinterpret_cast<LPARAM>(&item));
        break;
    }
  }
  slot.shownRows = rows;
}

void ApplyRowSelection(ControlSlot& slot) {
  if (!slot.window) return;
  const auto& list = static_cast<ListView&>(*slot.control);
  for (std::size_t row = 0; row < list.RowCount(); ++row) {
    const UINT wanted = list.Selected(row) ? LVIS_SELECTED : 0;
    if ((SendMessageW(slot.window, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) == wanted)
      continue;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = wanted;
    SendMessageW(slot.window, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
}

void NoteRowSelection(ControlSlot& slot) {
  std::vector<std::size_t> rows;
  for (int row = -1;;) {
    row = static_cast<int>(
        SendMessageW(slot.window, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0) break;
    rows.push_back(static_cast<std::size_t>(row));
  }
  SelectRows(static_cast<ListView&>(*slot.control), rows);
}

ListHit HitTest(ControlSlot& slot, POINT point, const ViewContext& context) {
  LVHITTESTINFO info{};
  info.pt = point;
  ListHit hit;
  if (SendMessageW(slot.window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)) < 0 ||
      info.iItem < 0)
    return hit;
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageW(slot.window, LVM_GETITEMRECT, static_cast<WPARAM>(info.iItem),
               reinterpret_cast<LPARAM>(&row));
  hit.row = info.iItem;
  hit.column = info.iSubItem;
  hit.rowPosition = {context.Unscale(row.left), context.Unscale(row.top)};
  hit.rowHeight = context.Unscale(row.bottom - row.top);
  return hit;
}

class ListViewView final : public ControlView {
 public:
  void Describe(const Control&, WindowSpec& spec) const override {
    spec.className = WC_LISTVIEWW;
    spec.style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
    spec.exStyle = WS_EX_CLIENTEDGE;
  }

  void Fill(ControlSlot& slot, ViewContext& context) const override {
    const HWND window = slot.window;
    SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    const auto& columns = static_cast<ListView&>(*slot.control).Columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      std::wstring title = Wide(columns[i].title);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.pszText = title.data();
      column.cx = context.Scale(columns[i].width);
      column.iSubItem = static_cast<int>(i);
      SendMessageW(window, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ApplyRows(slot);
  }

  bool Apply(ControlSlot& slot, Change change, ViewContext&) const override {
    switch (change) {
      case Change::Text:
      case Change::Content:
        return true;  // a list shows its rows, not a text
      case Change::Rows:
        ApplyRows(slot);
        ApplyRowSelection(slot);
        return true;
      case Change::RowSelection:
        ApplyRowSelection(slot);
        return true;
      default:
        return false;
    }
  }

  void ApplyDpi(ControlSlot& slot, ViewContext& context) const override {
    const auto& columns = static_cast<ListView&>(*slot.control).Columns();
    for (std::size_t i = 0; i < columns.size(); ++i)
      SendMessageW(slot.window, LVM_SETCOLUMNWIDTH, i, context.Scale(columns[i].width));
  }

  LRESULT OnNotify(ControlSlot& slot, const NMHDR& header, bool&,
                   ViewContext& context) const override {
    if (context.applying) return 0;
    auto& list = static_cast<ListView&>(*slot.control);
    const auto& activation = reinterpret_cast<const NMITEMACTIVATE&>(header);
    if (header.code == LVN_ITEMCHANGED &&
        (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE))
      NoteRowSelection(slot);
    if (header.code == NM_RCLICK) RightClickRow(list, activation.iItem);
    if (header.code == NM_DBLCLK)
      DoubleClickCell(list, HitTest(slot, activation.ptAction, context));
    return 0;
  }

  bool TakesFocus() const override { return true; }
};

}  // namespace

const ControlView& ListViewView() {
  static const class ListViewView view;
  return view;
}

}  // namespace lumora::ui::win32
