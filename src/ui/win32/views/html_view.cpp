// The HTML controls: the page as text with its links, in a link control that lets the
// user follow them. The help text's box is a document: framed, black on white, and in a
// pane that scrolls it.
#include <windows.h>
// The common controls' headers need the types above.
#include <commctrl.h>

#include "platform/win32/scoped_win.h"
#include "ui/simple_html.h"
#include "ui/user_input.h"
#include "ui/win32/views/control_view.h"

namespace lumora::ui::win32 {

using platform::win32::Utf8;
using platform::win32::Wide;

namespace {

class HtmlView final : public ControlView {
 public:
  explicit HtmlView(bool document) : document_(document) {}

  void Describe(const Control& control, WindowSpec& spec) const override {
    spec.className = WC_LINK;
    spec.style |= WS_TABSTOP;
    if (document_) spec.exStyle = WS_EX_CLIENTEDGE;
    spec.text = Wide(HtmlToLinkMarkup(static_cast<const HtmlControl&>(control).Page()));
  }

  bool InPane() const override { return document_; }

  bool Apply(ControlSlot& slot, Change change, ViewContext&) const override {
    if (change != Change::Text && change != Change::Content) return false;
    if (!slot.window) return true;
    SetWindowTextW(
        slot.window,
        Wide(HtmlToLinkMarkup(static_cast<const HtmlControl&>(*slot.control).Page())).c_str());
    if (slot.pane) slot.pane->Fit();
    return true;
  }

  LRESULT OnNotify(ControlSlot& slot, const NMHDR& header, bool& handled,
                   ViewContext& context) const override {
    if (context.applying || (header.code != NM_CLICK && header.code != NM_RETURN)) return 0;
    ChooseLink(static_cast<HtmlControl&>(*slot.control),
               Utf8(reinterpret_cast<const NMLINK&>(header).item.szUrl));
    handled = true;
    return 0;
  }

  LRESULT OnColour(ControlSlot&, HDC dc, bool& handled, ViewContext&) const override {
    if (!document_) return 0;
    // A document, not a form: black on white although it is read-only.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
    handled = true;
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }

  bool TakesFocus() const override { return document_; }

 private:
  bool document_;
};

}  // namespace

const ControlView& HtmlBrowserView() {
  static const HtmlView view(false);
  return view;
}

const ControlView& SimpleHtmlBoxView() {
  static const HtmlView view(true);
  return view;
}

}  // namespace lumora::ui::win32
