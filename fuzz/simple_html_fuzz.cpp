// The little HTML of the help text and of the speed bar's balloon, from the site: any
// fragment converts without fault, and the links it holds lay out as a menu whose rows
// are where the menu says they are.

#include <algorithm>

#include "fuzz_input.h"
#include "text/cp936.h"
#include "ui/link_menu_layout.h"
#include "ui/simple_html.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string html = text::Utf8FromCp936(fuzz::Whole(data, size));
  ui::HtmlToText(html);
  ui::HtmlToLinkMarkup(html);
  const std::vector<ui::HtmlLink> links = ui::HtmlLinks(html);
  if (links.empty()) return 0;

  // A stand-in for the measured text: seven pixels a byte.
  int widest = 0;
  for (const ui::HtmlLink& link : links)
    widest = std::max(widest, static_cast<int>(std::min<std::size_t>(link.text.size(), 4000)) * 7);
  const int dpi = 96 + (size % 4) * 48;
  const int rows = static_cast<int>(std::min<std::size_t>(links.size(), 1000));
  const ui::LinkMenuLayout menu = ui::LayOutLinkMenu(rows, widest, 16, dpi);
  for (int row = 0; row < menu.rows; ++row) {
    const ui::Rect rect = ui::LinkRowRect(menu, row);
    fuzz::Check(ui::LinkRowAt(menu, rect.top) == row &&
                    ui::LinkRowAt(menu, rect.top + rect.height - 1) == row,
                "a row's rectangle is that row");
  }
  const ui::Rect workArea{0, 0, 1280, 760};
  const ui::Rect placed = ui::PlaceLinkMenu(menu, {640, 400}, links.size() % 2 == 0, workArea);
  if (menu.width <= workArea.width && menu.height <= workArea.height)
    fuzz::Check(placed.left >= 0 && placed.top >= 0 &&
                    placed.left + placed.width <= workArea.width &&
                    placed.top + placed.height <= workArea.height,
                "a menu that fits stays within the work area");
  return 0;
}
