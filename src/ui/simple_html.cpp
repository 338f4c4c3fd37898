#include "ui/simple_html.h"

#include <array>
#include <optional>

#include "text/utf.h"

namespace lumora::ui {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view prefix) {
  if (text.size() - pos < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[pos + i]) != prefix[i]) return false;
  return true;
}

struct Tag {
  std::string name;  // lower case; empty for <!...> declarations
  bool closing = false;
  std::string_view attributes;
  std::size_t end = 0;  // just past the '>'
};

// The tag that starts at html[pos] == '<', or none when the '<' opens no tag.
std::optional<Tag> ParseTag(std::string_view html, std::size_t pos) {
  Tag tag;
  std::size_t i = pos + 1;
  if (i < html.size() && html[i] == '!') {
    ++i;  // a declaration such as <!DOCTYPE html>
  } else {
    if (i < html.size() && html[i] == '/') tag.closing = true, ++i;
    if (i >= html.size() || !IsLetter(html[i])) return std::nullopt;
    while (i < html.size() && (IsLetter(html[i]) || IsDigit(html[i]))) tag.name += Lower(html[i++]);
  }
  const std::size_t attributesStart = i;
  // A '>' inside a quoted attribute value does not end the tag.
  char quote = 0;
  for (; i < html.size(); ++i) {
    const char c = html[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      tag.attributes = html.substr(attributesStart, i - attributesStart);
      tag.end = i + 1;
      return tag;
    }
  }
  return std::nullopt;
}

// The value of an attribute of a tag, or none.
std::optional<std::string> Attribute(std::string_view attributes, std::string_view wanted) {
  std::size_t i = 0;
  while (i < attributes.size()) {
    while (i < attributes.size() && (IsSpace(attributes[i]) || attributes[i] == '/')) ++i;
    std::string name;
    while (i < attributes.size() && !IsSpace(attributes[i]) && attributes[i] != '=' &&
           attributes[i] != '/')
      name += Lower(attributes[i++]);
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    std::string value;
    if (i < attributes.size() && attributes[i] == '=') {
      ++i;
      while (i < attributes.size() && IsSpace(attributes[i])) ++i;
      if (i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'')) {
        const char quote = attributes[i++];
        while (i < attributes.size() && attributes[i] != quote) value += attributes[i++];
        ++i;
      } else {
        while (i < attributes.size() && !IsSpace(attributes[i])) value += attributes[i++];
      }
    }
    if (!name.empty() && name == wanted) return value;
    if (name.empty() && value.empty()) ++i;  // a stray character: step over it
  }
  return std::nullopt;
}

// Decodes the entity at html[pos] == '&'; none when it is not one.
std::optional<char32_t> Entity(std::string_view html, std::size_t pos, std::size_t* length) {
  const std::size_t semicolon = html.find(';', pos);
  if (semicolon == std::string_view::npos || semicolon - pos > 10) return std::nullopt;
  const std::string_view name = html.substr(pos + 1, semicolon - pos - 1);
  *length = semicolon - pos + 1;
  if (name.size() > 1 && name[0] == '#') {
    char32_t value = 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return std::nullopt;
    for (const char c : digits) {
      int digit = -1;
      if (IsDigit(c))
        digit = c - '0';
      else if (hex && Lower(c) >= 'a' && Lower(c) <= 'f')
        digit = Lower(c) - 'a' + 10;
      if (digit < 0) return std::nullopt;
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      if (value > 0x10FFFF) return U'\uFFFD';
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return U'\uFFFD';
    return value;
  }
  static constexpr std::array<std::pair<std::string_view, char32_t>, 15> kNamed{{
      {"amp", U'&'},
      {"lt", U'<'},
      {"gt", U'>'},
      {"quot", U'"'},
      {"apos", U'\''},
      {"nbsp", U' '},
      {"copy", U'\u00A9'},
      {"reg", U'\u00AE'},
      {"middot", U'\u00B7'},
      {"hellip", U'\u2026'},
      {"mdash", U'\u2014'},
      {"ndash", U'\u2013'},
      {"laquo", U'\u00AB'},
      {"raquo", U'\u00BB'},
      {"times", U'\u00D7'},
  }};
  for (const auto& [entity, value] : kNamed)
    if (name == entity) return value;
  return std::nullopt;
}

bool IsBlock(std::string_view name) {
  static constexpr std::array<std::string_view, 16> kBlocks{
      "p",  "div", "li", "tr", "ul", "ol", "table", "blockquote",
      "h1", "h2",  "h3", "h4", "h5", "h6", "pre",   "center"};
  for (const std::string_view block : kBlocks)
    if (name == block) return true;
  return false;
}

bool IsSkipped(std::string_view name) {
  return name == "style" || name == "script" || name == "head" || name == "title";
}

// Collects text with HTML's white-space rule.
class TextOut {
 public:
  void Char(char32_t c) {
    if (pendingSpace_ && !atLineStart_) text_ += ' ';
    pendingSpace_ = false;
    text::AppendUtf8(text_, c);
    atLineStart_ = false;
  }
  void Byte(char c) {
    if (pendingSpace_ && !atLineStart_) text_ += ' ';
    pendingSpace_ = false;
    text_ += c;
    atLineStart_ = false;
  }
  // Markup of the link control, which holds no text of its own.
  void Markup(std::string_view markup) {
    if (pendingSpace_ && !atLineStart_) text_ += ' ';
    pendingSpace_ = false;
    text_ += markup;
  }
  void Space() { pendingSpace_ = true; }
  void Break() {
    text_ += "\r\n";
    pendingSpace_ = false;
    atLineStart_ = true;
  }
  // A break unless the line is empty so far: blocks do not stack blank lines.
  void SoftBreak() {
    if (!atLineStart_) Break();
  }
  std::string Take() {
    while (!text_.empty() && (text_.back() == '\n' || text_.back() == '\r')) text_.pop_back();
    return std::move(text_);
  }

 private:
  std::string text_;
  bool pendingSpace_ = false;
  bool atLineStart_ = true;
};

std::string Trim(std::string text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::string Render(std::string_view html, bool withLinks) {
  TextOut out;
  bool inLink = false;
  std::size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<') {
      if (html.substr(i, 4) == "<!--") {
        const std::size_t end = html.find("-->", i + 4);
        i = end == std::string_view::npos ? html.size() : end + 3;
        continue;
      }
      const std::optional<Tag> tag = ParseTag(html, i);
      if (!tag) {
        out.Byte(c);
        ++i;
        continue;
      }
      i = tag->end;
      if (withLinks && tag->name == "a") {
        const std::optional<std::string> address =
            tag->closing ? std::nullopt : Attribute(tag->attributes, "href");
        if (inLink && (tag->closing || address)) {
          out.Markup("</a>");
          inLink = false;
        }
        if (address) {
          // The control's markup has no way to write a quotation mark inside the value.
          std::string quoted;
          for (const char ch : *address)
            if (ch != '"') quoted += ch;
          out.Markup("<a href=\"" + quoted + "\">");
          inLink = true;
        }
      } else if (tag->name == "br") {
        out.Break();
      } else if (IsBlock(tag->name)) {
        out.SoftBreak();
      } else if (!tag->closing && IsSkipped(tag->name)) {
        // Everything up to the element's end tag goes, the end tag too.
        std::size_t end = i;
        for (;; ++end) {
          end = html.find('<', end);
          if (end == std::string_view::npos) break;
          if (StartsWithNoCase(html, end, "</" + tag->name)) break;
        }
        if (end == std::string_view::npos) break;
        const std::optional<Tag> endTag = ParseTag(html, end);
        i = endTag ? endTag->end : html.size();
      }
      continue;
    }
    if (c == '&') {
      std::size_t length = 0;
      if (const std::optional<char32_t> decoded = Entity(html, i, &length)) {
        out.Char(*decoded);
        i += length;
        continue;
      }
    }
    if (IsSpace(c)) {
      out.Space();
    } else {
      out.Byte(c);
    }
    ++i;
  }
  if (inLink) out.Markup("</a>");
  return out.Take();
}

}  // namespace

std::string HtmlToText(std::string_view html) { return Render(html, false); }

std::string HtmlToLinkMarkup(std::string_view html) { return Render(html, true); }

std::vector<HtmlLink> HtmlLinks(std::string_view html) {
  std::vector<HtmlLink> links;
  for (std::size_t i = html.find('<'); i != std::string_view::npos; i = html.find('<', i)) {
    const std::optional<Tag> tag = ParseTag(html, i);
    if (!tag) {
      ++i;
      continue;
    }
    i = tag->end;
    if (tag->name != "a" || tag->closing) continue;
    const std::optional<std::string> message = Attribute(tag->attributes, "msg");
    if (!message) continue;
    std::size_t end = i;
    while ((end = html.find('<', end)) != std::string_view::npos &&
           !StartsWithNoCase(html, end, "</a"))
      ++end;
    const std::string_view inner =
        html.substr(i, end == std::string_view::npos ? html.npos : end - i);
    links.push_back({Trim(HtmlToText(inner)), *message});
    if (end == std::string_view::npos) break;
    i = end;
  }
  return links;
}

}  // namespace lumora::ui
