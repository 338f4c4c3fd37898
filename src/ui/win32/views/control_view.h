#pragma once
// The view of one kind of control (or of a few alike): how its window is made and
// filled, what it does with the messages it gets and how it draws itself. ModelWindow
// keeps the slots and routes each control's work to the view of its kind.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/skin_palette.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/scroll_pane.h"

namespace lumora::ui::win32 {

class ModelWindow;

struct ControlSlot {
  Control* control = nullptr;
  std::size_t index = 0;
  HWND window = nullptr;
  // The help text's link control sits in a pane that scrolls it; the pane then holds
  // the control's place on the form.
  std::unique_ptr<ScrollPane> pane;
  HWND comboEdit = nullptr;                         // the edit field of an editable combo
  std::vector<std::vector<std::string>> shownRows;  // list view: what the real list holds
  ModelWindow* owner = nullptr;
  // The window that stands at the control's place: shown, hidden and moved.
  HWND Place() const { return pane ? pane->Handle() : window; }
};

// What the views share of the window as a whole; the window keeps it.
struct ViewContext {
  bool skinned = false;
  SkinPalette tone;  // the skin's tone, or the system's colours for an unskinned window
  ScopedBrush faceBrush;
  ScopedFont font;
  ScopedFont linkFont;
  int dpi = 96;
  int applying = 0;      // changes from the model are being applied: no events go back
  int quietButtons = 0;  // a button's own painting is being held back
  std::map<Picture, ScopedBitmap> pictures;

  int Scale(int length) const;
  int Unscale(int pixels) const;
  // In the skin, the program's own text colours are deepened where they would not read.
  COLORREF Own(Colour colour) const;
};

// The class, styles and text a control's window is made with.
struct WindowSpec {
  const wchar_t* className = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::wstring text;
  bool takesMouse = false;  // the window's drag face, which takes the mouse to drag it
};

class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void Describe(const Control& control, WindowSpec& spec) const = 0;
  // The rectangle the window takes at the control's place.
  virtual void Place(Rect&, ViewContext&) const {}
  // The window sits in a pane that scrolls it; the pane takes its place and frame.
  virtual bool InPane() const { return false; }
  // Fills a new window with the model's data.
  virtual void Fill(ControlSlot&, ViewContext&) const {}
  // Mirrors a change of the model; false when the window does not handle it here.
  virtual bool Apply(ControlSlot&, Change, ViewContext&) const { return false; }
  // The window's DPI changed: what the view sized itself (its font and place are set).
  virtual void ApplyDpi(ControlSlot&, ViewContext&) const {}
  // A message to the control's own window; handled says whether it was answered.
  virtual LRESULT OnMessage(ControlSlot&, HWND, UINT, WPARAM, LPARAM, bool&, ViewContext&) const {
    return 0;
  }
  // The notifications the control sends its parent: WM_COMMAND, WM_NOTIFY (also while
  // the view applies a change: the control may ask how to draw) and WM_HSCROLL.
  virtual void OnCommand(ControlSlot&, UINT) const {}
  virtual LRESULT OnNotify(ControlSlot&, const NMHDR&, bool&, ViewContext&) const { return 0; }
  virtual void OnScroll(ControlSlot&, ViewContext&) const {}
  // WM_CTLCOLOR*: the colours the control is drawn in; handled when it has its own.
  virtual LRESULT OnColour(ControlSlot&, HDC, bool&, ViewContext&) const { return 0; }
  virtual bool TakesFocus() const { return false; }
  // A tooltip was given to the window.
  virtual void OnTipAdded(const ControlSlot&) const {}
  // A link: drawn in the link font, with a hand over it.
  virtual bool LinkLook() const { return false; }
  // The program or the Tab key has just put the focus on the window.
  virtual void OnFocused(const ControlSlot&) const {}
};

// WM_CTLCOLOR* of a control drawn on the window's face: its own text colour, else the
// tone's (a link's colour for a hyperlink).
LRESULT FaceColours(ControlSlot& slot, HDC dc, bool& handled, ViewContext& context);

// The view of a kind of control, or nullptr while the window itself looks after it.
const ControlView* ViewOf(ControlKind kind);

// The views, in views/*_view.cpp.
const ControlView& PictureView();  // picture boxes and draw panels
const ControlView& QrCodeView();
const ControlView& ButtonView();  // push buttons, check boxes and radio buttons
const ControlView& SliderView();
const ControlView& ListViewView();
const ControlView& ComboBoxView();
const ControlView& EditBoxView();
const ControlView& HtmlBrowserView();
const ControlView& SimpleHtmlBoxView();  // the help text's box
const ControlView& HyperlinkView();
const ControlView& LabelView();
const ControlView& TransparentLabelView();

// Invalidates what lies under a window in its parent, so that a control drawn over its
// parent's background (transparent labels, group boxes) is drawn afresh.
void RedrawUnder(HWND window);

}  // namespace lumora::ui::win32
