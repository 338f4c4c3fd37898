// The help text and the speed bar's link list, read from their little HTML.
#include "ui/simple_html.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumora::ui {
namespace {

constexpr const char* kSpeedBarMenu =
    "<a msg=m7><font size=10pt>   显示主界面   </font></a></br>\r\n"
    "<a msg=m8><font size=10pt>   隐藏流量条   </font></a></br>\r\n"
    "<a msg=m9><font size=10pt>   退出WiFi   </font></a>";

TEST(SimpleHtml, TextHasTagsRemovedAndLineBreaksWhereTheHtmlPutsThem) {
  const struct {
    const char* html;
    const char* text;
  } cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"a<br>b", "a\r\nb"},
      {"a</br>b", "a\r\nb"},
      {"a<br/>b", "a\r\nb"},
      {"a<BR />b", "a\r\nb"},
      {"a<br><br>b", "a\r\n\r\nb"},
      {"<p>one</p><p>two</p>", "one\r\ntwo"},
      {"<div>x</div>y", "x\r\ny"},
      {"<b>bold</b> and <i>italic</i>", "bold and italic"},
      {"  lots   of\r\n\tspace  ", "lots of space"},
      {"line<br>   starts clean", "line\r\nstarts clean"},
      {"<style>p { color: red }</style>text", "text"},
      {"<head><title>t</title></head><body>body</body>", "body"},
      {"<script>if (a < b) x();</script>after", "after"},
      {"<!-- hidden <b> -->shown", "shown"},
      {"<a href=\"x>y\">link</a>", "link"},
      {"1 < 2 and 3 > 2", "1 < 2 and 3 > 2"},
      {"unclosed <b", "unclosed <b"},
      {"&lt;b&gt; &amp; &quot;q&quot; &apos;", "<b> & \"q\" '"},
      {"&#20320;&#x597D;", "你好"},
      {"a&nbsp;b", "a b"},
      {"&#0;&#xD800;", "\uFFFD\uFFFD"},
      {"keep &unknown; and & alone", "keep &unknown; and & alone"},
      {"帮助<br>说明", "帮助\r\n说明"},
      {kSpeedBarMenu, "显示主界面\r\n隐藏流量条\r\n退出WiFi"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlToText(c.html), c.text) << c.html;
}

TEST(SimpleHtml, LinksCarryTheirTextAndMessage) {
  EXPECT_EQ(
      HtmlLinks(kSpeedBarMenu),
      (std::vector<HtmlLink>{{"显示主界面", "m7"}, {"隐藏流量条", "m8"}, {"退出WiFi", "m9"}}));
  EXPECT_EQ(HtmlLinks("<A MSG=\"m 1\">quoted</A>"), (std::vector<HtmlLink>{{"quoted", "m 1"}}));
  EXPECT_EQ(HtmlLinks("<a msg='x'>one</a><a msg=y>two"),
            (std::vector<HtmlLink>{{"one", "x"}, {"two", "y"}}));
  // A link without a message is no menu entry; plain text has none.
  EXPECT_TRUE(HtmlLinks("<a href=u>site</a>").empty());
  EXPECT_TRUE(HtmlLinks("您还没有输入WiFi名称哦！").empty());
  EXPECT_TRUE(HtmlLinks("a <abbr msg=m1>b</abbr>").empty());
}

TEST(SimpleHtml, LinkMarkupKeepsTheAddressesOfTheLinksAndNothingElse) {
  const std::pair<const char*, const char*> cases[] = {
      {"<p>看<a href=\"http://a.invalid/x\">官网</a>吧</p>",
       "看<a href=\"http://a.invalid/x\">官网</a>吧"},
      {"<A HREF='http://b.invalid'>b</A> <b>c</b>", "<a href=\"http://b.invalid\">b</a> c"},
      // A quotation mark cannot end the address early.
      {"<a href='x\" onclick=\"y'>q</a>", "<a href=\"x onclick=y\">q</a>"},
      // An unclosed link ends with the text; a link without an address is text.
      {"<a href=u>open", "<a href=\"u\">open</a>"},
      {"<a msg=m7>menu</a>", "menu"},
      {"<a href=1>one<a href=2>two</a>", "<a href=\"1\">one</a><a href=\"2\">two</a>"},
      {"line<br>next", "line\r\nnext"},
  };
  for (const auto& [html, markup] : cases) EXPECT_EQ(HtmlToLinkMarkup(html), markup) << html;
  EXPECT_EQ(HtmlToText("<a href=u>open</a>"), "open");
}

}  // namespace
}  // namespace lumora::ui
