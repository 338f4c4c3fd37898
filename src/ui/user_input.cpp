#include "ui/user_input.h"

namespace lumora::ui {

namespace {

// Runs a handler if there is one. The copy keeps it alive should it replace itself.
template <typename Handler, typename... Arguments>
void Fire(const Handler& handler, Arguments&&... arguments) {
  const Handler copy = handler;
  if (copy) copy(std::forward<Arguments>(arguments)...);
}

bool SameRadioGroup(const Control& a, const Control& b) {
  return a.Kind() == ControlKind::RadioButton && b.Kind() == ControlKind::RadioButton &&
         a.TabPage() == b.TabPage() && a.GroupBox() == b.GroupBox();
}

}  // namespace

void Click(Button& button) {
  if (button.Enabled() && button.Visible()) Fire(button.onClick);
}

void Click(CheckBox& box) {
  if (!box.Enabled() || !box.Visible()) return;
  if (box.Kind() == ControlKind::RadioButton) {
    for (Control* other : box.Owner().Controls())
      if (other != &box && SameRadioGroup(*other, box))
        static_cast<CheckBox*>(other)->SetChecked(false);
    box.SetChecked(true);
  } else {
    box.SetChecked(!box.Checked());
  }
  Fire(box.onClick);
}

void ChooseLink(HtmlControl& html, std::string_view address) {
  if (html.Enabled() && html.Visible()) Fire(html.onLinkChosen, address);
}

void Choose(MenuItem& item) {
  if (item.Enabled() && item.Visible()) Fire(item.onChosen);
}

void Release(Hyperlink& link) {
  if (link.Enabled() && link.Visible()) Fire(link.onReleased);
}

void Release(PictureControl& panel) {
  if (panel.Enabled() && panel.Visible()) Fire(panel.onReleased);
}

void Type(EditBox& box, std::string_view text) {
  if (box.Enabled()) box.SetText(text);
}

void Type(ComboBox& box, std::string_view text) {
  if (box.Enabled() && box.Editable()) box.SetText(text);
}

void Choose(ComboBox& box, int index) {
  if (!box.Enabled() || index < 0 || index >= static_cast<int>(box.Items().size())) return;
  box.Select(index);
  Fire(box.onSelectionChanged);
}

void ChooseTab(TabControl& tabs, int index) {
  const int before = tabs.CurrentTab();
  tabs.SetCurrentTab(index);
  if (tabs.CurrentTab() != before) Fire(tabs.onTabChanged);
}

void MoveSlider(Slider& slider, int position) {
  if (!slider.Enabled()) return;
  const int before = slider.Position();
  slider.SetPosition(position);
  if (slider.Position() != before) Fire(slider.onPositionChanged);
}

void ReleaseKey(EditBox& box, int keyCode) {
  if (box.Enabled()) Fire(box.onKeyReleased, keyCode);
}

void PressKey(ComboBox& box, int keyCode) {
  if (box.Enabled()) Fire(box.onKeyPressed, keyCode);
}

void LoseFocus(EditBox& box) { Fire(box.onFocusLost); }

void LoseFocus(ComboBox& box) { Fire(box.onFocusLost); }

void SelectRows(ListView& list, const std::vector<std::size_t>& rows) { list.SelectRows(rows); }

void RightClickRow(ListView& list, int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= list.RowCount()) return;
  const auto index = static_cast<std::size_t>(row);
  if (!list.Selected(index)) list.SelectRows({index});
  Fire(list.onRightClickItem, row);
}

void DoubleClickCell(ListView& list, const ListHit& hit) { Fire(list.onDoubleClickCell, hit); }

void Tick(Timer& timer) {
  if (timer.Running()) Fire(timer.onTick);
}

void ClickTray(TrayIcon& tray, TrayClick click) {
  switch (click) {
    case TrayClick::Left:
      Fire(tray.onLeftClick);
      break;
    case TrayClick::LeftDouble:
      Fire(tray.onLeftDoubleClick);
      break;
    case TrayClick::Right:
      Fire(tray.onRightClick);
      break;
    case TrayClick::Notice:
      Fire(tray.onNoticeClick);
      break;
  }
}

void ChooseBalloonLink(BalloonTip& tip, std::string_view message) {
  Fire(tip.onLinkChosen, message);
}

void RequestClose(WindowModel& window) { Fire(window.onCloseRequested); }

void PressEscape(WindowModel& window) {
  if (window.Look().closesOnEscape) RequestClose(window);
}

void EndSession(WindowModel& window) { Fire(window.onSessionEnded); }

void ReleaseRightButton(WindowModel& window) { Fire(window.onRightButtonReleased); }

void PressLeftButton(MouseLabel& label) { Fire(label.onLeftButtonPressed); }

void DoubleClick(MouseLabel& label) { Fire(label.onDoubleClick); }

void PressRightButton(MouseLabel& label) { Fire(label.onRightButtonPressed); }

void NoteShown(WindowModel& window, bool visible) { window.SetVisible(visible); }

void NoteMinimised(WindowModel& window, bool minimised) { window.SetMinimised(minimised); }

void NoteMoved(WindowModel& window, Rect rect) { window.SetGeometry(rect); }

}  // namespace lumora::ui
