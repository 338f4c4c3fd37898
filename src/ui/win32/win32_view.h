#pragma once
// The Win32 view: real windows built from the window models, kept in step with every
// change of the model, and every real event routed to the model's handlers.

#include <memory>

#include "ui/controls.h"
#include "ui/message_boxes.h"
#include "ui/skin.h"

namespace lumora::ui::win32 {

class Win32View {
 public:
  Win32View();
  ~Win32View();
  Win32View(const Win32View&) = delete;
  Win32View& operator=(const Win32View&) = delete;

  // Builds the real top-level window of the model with all its controls, hidden until
  // the model says visible. From then on the view mirrors the model and feeds it the
  // window's events. The model must outlive the view. What the first view does not show
  // is built later, in slices (BuildNextSlice): the controls of the tab pages not shown,
  // the tray icon, the tooltips, and a hidden window attached after the first, which
  // then shows as its model says. A page chosen before its slice is built at once.
  void Attach(WindowModel& model);
  // The skin the windows attached from now on are drawn in; the skin must outlive the
  // view.
  void UseSkin(Skin& skin);

  // The real window of an attached model (an HWND), built now if it was waiting, or
  // nullptr.
  void* WindowOf(const WindowModel& model) const;

  // Builds one slice of what the windows do not show yet; false when all is built. The
  // message loop calls it whenever no message, paint or timer is waiting.
  bool BuildNextSlice();

  // Runs the UI thread's message loop until Quit; returns the exit code.
  int RunMessageLoop();
  void Quit(int exitCode);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Message boxes of the real program: no owner, task-modal for the calling thread.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  int Show(std::string_view text, std::string_view title, unsigned style) override;
  // A close request clicks the box's declining button from the box's own thread.
  int ShowClosable(std::string_view text, std::string_view title, unsigned style,
                   BoxClose& close) override;
};

}  // namespace lumora::ui::win32
