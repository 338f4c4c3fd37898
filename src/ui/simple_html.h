#pragma once
// The little HTML the program shows outside a browser: the help text of the help tab
// and the link list of the speed bar's balloon. Only what those texts use is read;
// anything else is shown as plain text or dropped, never interpreted.

#include <string>
#include <string_view>
#include <vector>

namespace lumora::ui {

// The text of a fragment as a multi-line text box shows it: tags removed, the contents
// of style, script and head elements and of comments dropped, <br>, </br>, <br/> and the
// ends of paragraphs, blocks and list items as "\r\n", the usual entities and numeric
// character references decoded, and each run of white space as one blank (none at the
// start of a line). A '<' that opens no tag stays as it is.
std::string HtmlToText(std::string_view html);

// The same text with the links <a href=...>...</a> kept as the markup of the window
// toolkit's link control: <a href="address">text</a>, the address without quotation
// marks.
std::string HtmlToLinkMarkup(std::string_view html);

struct HtmlLink {
  std::string text;     // the link's text, without tags, trimmed
  std::string message;  // the value of its msg attribute
  bool operator==(const HtmlLink&) const = default;
};

// The links <a msg=...>...</a> of a fragment, in order.
std::vector<HtmlLink> HtmlLinks(std::string_view html);

}  // namespace lumora::ui
