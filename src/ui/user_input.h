#pragma once
// What a user's hand does to the windows, in one place: each action changes the model as
// the real control would, then runs the control's handler. The Win32 view turns window
// messages into these calls, and the tests click through the very same functions, so
// nothing else changes the model on a user's behalf.
//
// The second group is what Windows does to a window on its own (another program shows
// it, the user minimises or drags it): the view writes it back into the model here.

#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/main_window.h"

namespace lumora::ui {

// Buttons, check boxes and radio buttons. A radio button clears the others of its group
// (the radio buttons of the same page and group box) and is then set; a check box turns
// over. Clicking the selected radio button again runs its handler again.
void Click(Button& button);
void Click(CheckBox& box);
void Choose(MenuItem& item);
void Release(Hyperlink& link);
void Release(PictureControl& panel);

// The field's text as the user has left it after a key stroke, a paste or a cut.
void Type(EditBox& box, std::string_view text);
// An editable combo box's field; a drop-down list cannot be typed into.
void Type(ComboBox& box, std::string_view text);
// An item chosen from the list; -1 (or out of range) chooses nothing.
void Choose(ComboBox& box, int index);
// Another tab brought to the front; choosing the current tab again is no change.
void ChooseTab(TabControl& tabs, int index);
// The thumb let go at a position (kept in the range); an unchanged position is no change.
void MoveSlider(Slider& slider, int position);

void ReleaseKey(EditBox& box, int keyCode);
void PressKey(ComboBox& box, int keyCode);
void LoseFocus(EditBox& box);
void LoseFocus(ComboBox& box);

// The rows the user has selected with the mouse or the keyboard.
void SelectRows(ListView& list, const std::vector<std::size_t>& rows);
// A right click on a row; a click beside the rows is no row. As in a real list, a row
// that was not selected is selected alone first.
void RightClickRow(ListView& list, int row);
// A double click in a list: the cell under the mouse, found by the view's hit test.
void DoubleClickCell(ListView& list, const ListHit& hit);

void Tick(Timer& timer);

// Notice: a click on the balloon notice the icon shows.
enum class TrayClick { Left, LeftDouble, Right, Notice };
void ClickTray(TrayIcon& tray, TrayClick click);
// A link followed in an HTML browser or the simple HTML box, with the address the page
// gave it; a hidden or disabled control follows none.
void ChooseLink(HtmlControl& html, std::string_view address);
// A link chosen in a balloon that shows links, with the message the link carries.
void ChooseBalloonLink(BalloonTip& tip, std::string_view message);

// The close box, Alt+F4, the system menu, or Windows ending the session.
void RequestClose(WindowModel& window);
// Esc pressed in the window: in a window that closes on it, the close box.
void PressEscape(WindowModel& window);
// Windows ends the session after it was asked; the process is ended once this returns.
void EndSession(WindowModel& window);
// The right mouse button released over the window itself, not over a control.
void ReleaseRightButton(WindowModel& window);

// A label that takes the mouse (the speed bar's face).
void PressLeftButton(MouseLabel& label);
void DoubleClick(MouseLabel& label);
void PressRightButton(MouseLabel& label);

// What Windows changed on its own.
void NoteShown(WindowModel& window, bool visible);
void NoteMinimised(WindowModel& window, bool minimised);
void NoteMoved(WindowModel& window, Rect rect);

}  // namespace lumora::ui
