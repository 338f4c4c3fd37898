#pragma once
// A balloon that holds links, one per line: the speed bar's menu. It opens below or
// above a point, lights the link under the mouse, and closes when a link is chosen, on
// Escape, or when it loses the activation.

#include <functional>
#include <string>
#include <vector>

#include "ui/link_menu_layout.h"
#include "ui/simple_html.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/window_base.h"

namespace lumora::ui::win32 {

class LinkBalloon final : public WindowBase {
 public:
  LinkBalloon() = default;
  ~LinkBalloon() override { Destroy(); }

  // Shows the links centred on the screen point anchor: below it, or above it when
  // above is set. chosen receives the message of the link the user clicks.
  void Show(HWND owner, POINT anchor, bool above, std::vector<HtmlLink> links, int dpi,
            std::function<void(const std::string&)> chosen);
  void Hide();
  bool Showing() const { return Handle() && IsWindowVisible(Handle()); }
  // The links' rows, for a test that clicks one: the client rectangle of row i.
  RECT RowRect(int row) const;

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint(HDC dc);
  void Choose(int row);

  std::vector<HtmlLink> links_;
  std::function<void(const std::string&)> chosen_;
  ScopedFont font_;
  LinkMenuLayout layout_;
  int hot_ = -1;
  bool tracking_ = false;
};

}  // namespace lumora::ui::win32
