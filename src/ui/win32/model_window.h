#pragma once
// One real top-level window built from a window model: every control of the model as a
// Win32 control, kept in step with each change of the model, and every real event fed
// back to the model and its handlers. What the window looks like beyond its controls (a
// caption, or a borderless shape painted by its backdrop) is the model's WindowLook.
//
// Each kind of control with a window of its own is looked after by its view (views/);
// the class keeps the slots, routes each control's work to its view, and does what
// belongs to the window as a whole, in one file per job: model_window.cpp builds the
// window, model_window_events.cpp turns messages into user input and notes what Windows
// changed, model_window_apply.cpp mirrors the model's changes, model_window_paint.cpp
// draws, model_window_skin.cpp keeps the skin's tone.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/controls.h"
#include "ui/skin.h"
#include "ui/skin_palette.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/link_balloon.h"
#include "ui/win32/message_routing.h"
#include "ui/win32/notify_icon.h"
#include "ui/win32/scroll_pane.h"
#include "ui/win32/tracking_balloon.h"
#include "ui/win32/views/control_view.h"
#include "ui/win32/window_base.h"

namespace lumora::ui::win32 {

// The ID of a control's window: 1000 + its index in the model's controls, so that a
// second process can find each control.
inline constexpr int kFirstControlId = 1000;

class ModelWindow final : public WindowBase,
                          public ModelObserver,
                          public KeyboardHandler,
                          public SkinObserver {
 public:
  // Builds the window and its controls, hidden until the model says visible. With a
  // skin, the window is drawn in its tone while the skin says so; skin may be nullptr.
  // owner: the real window of the model's owner, or nullptr.
  ModelWindow(WindowModel& model, Skin* skin, HWND owner = nullptr);
  ~ModelWindow() override;

  // The subclass procedure of the controls' windows (and of the windows they hold, such
  // as a combo box's field): their messages go to the window and the control's view.
  static LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR slot) noexcept;

  WindowModel& Model() const { return model_; }

  // Tab and Shift+Tab move the focus through the controls in design order; true when
  // the message was such a key for this window and has been handled.
  bool HandleKey(const MSG& message) override;

  void OnControlChanged(Control& control, Change change) override;
  void OnWindowChanged(WindowModel& window, WindowChange change) override;
  void OnSkinChanged() override;

  // Builds one more piece of what the window does not show at first: the tray icon, the
  // tooltips, then the controls of one tab page not shown; false when all is built. The
  // view calls it while the UI thread has nothing else to do, so that the first paint
  // does not wait for them and input is answered between the pieces.
  bool BuildNextSlice();

 private:
  using ControlSlot = win32::ControlSlot;

  // Building.
  void CreateResources();
  void CreateControls();
  // The windows of a page's controls, when they are not built yet.
  void BuildPage(int page);
  void PutGroupBoxesUnder();
  void CreateControlWindow(ControlSlot& slot);
  void FillControlWindow(ControlSlot& slot);
  void ApplyInitialState();

  // Messages to the model.
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnControlMessage(ControlSlot& slot, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam, bool& handled);
  // The drag face's mouse presses; true when the message was one.
  bool OnFaceMouse(MouseLabel& face, UINT message);
  // WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR* and WM_HSCROLL of the controls, which reach the
  // top-level window or the tab control.
  LRESULT OnChildMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // Whether a WM_COMMAND, WM_NOTIFY or WM_HSCROLL comes from one of the model's controls.
  bool FromControl(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(ControlSlot& slot, UINT code);
  LRESULT OnNotify(ControlSlot& slot, const NMHDR& header, bool& handled);
  // The cell of a list view under a point of its client area.
  void OnTrayEvent(UINT event);
  // What Windows changed on its own, written back into the model: the place the window
  // has, whether it is shown, whether it is minimised.
  void NoteGeometry();
  void NoteState(const WINDOWPOS& position);
  void NoteIconic();

  // Model to window.
  void ApplyWindowChange(WindowChange change);
  void ApplyText(ControlSlot& slot);
  void ApplyVisible(ControlSlot& slot);
  void ApplyEnabled(ControlSlot& slot);
  void ApplyGeometry(ControlSlot& slot);
  // Where the control's window stands, in pixels: its layout rectangle, cut to its group
  // box, since a control may reach beyond the box (the banner does) and only what lies
  // inside it is meant to show.
  Rect WindowPlace(const Control& control) const;
  void ApplyTip(ControlSlot& slot);
  void ApplyInterval(ControlSlot& slot);
  void ApplyTray();
  void ApplyTabSelection();
  void ApplyWindowGeometry();
  void ApplyWindowVisible();
  void ApplyTopmost();
  void ApplyBorder();
  void Activate();
  void ShowBalloon(BalloonTip& tip);
  void PopUpMenu(std::size_t index);
  void ChangeDpi(int dpi, const RECT& suggested);
  void ApplyShape();

  // Painting.
  LRESULT OnColour(ControlSlot& slot, HDC dc, bool& handled);
  // The window's backdrop behind its controls; false when it has none.
  bool DrawBackdrop(HDC dc);
  void PaintTabs(ControlSlot& slot, HDC dc);
  void PaintGroupBox(ControlSlot& slot, HDC dc);
  HICON TrayIconFor(TrayImage image);
  // The skin: the tone in effect (the system's colours for an unskinned window).
  void UpdateTone();

  ControlSlot* SlotOfWindow(HWND window);
  ControlSlot* SlotOf(const Control& control);
  // The font of a control's window: a link's, or the window's own.
  HFONT FontOf(ControlKind kind) const;
  int Scale(int length) const;
  int Unscale(int pixels) const;
  RECT OuterRect() const;

  WindowModel& model_;
  const WindowLook& look_;
  Skin* skin_;
  ViewContext context_;
  std::vector<ControlSlot> slots_;  // one per control of the model, never resized
  std::unordered_map<const Control*, std::size_t> slotIndex_;
  HWND tabs_ = nullptr;
  ScopedWindow hoverTips_;
  std::map<TrayImage, ScopedIcon> trayIcons_;
  ScopedBitmap backdrop_;
  ScopedIcon smallIcon_;
  ScopedIcon bigIcon_;
  std::unique_ptr<NotifyIcon> tray_;
  TrackingBalloon balloon_;
  LinkBalloon links_;
  UINT taskbarCreated_ = 0;
  int noting_ = 0;  // changes of the window are being noted: none goes back to it
  bool moving_ = false;
  // What is built after the first paint: the pages not shown first, in order, and
  // whether the tray icon and the tooltips still wait.
  std::vector<int> pagesToBuild_;
  bool trayWaiting_ = true;
  bool tipsWaiting_ = true;
};

}  // namespace lumora::ui::win32
