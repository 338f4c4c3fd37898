#include "text/ini_text.h"

#include <cstddef>
#include <vector>

#include "text/search.h"

namespace lumora::text {

namespace {

// Blanks as Windows' reader strips them from the lines of a file: space, tab and
// vertical tab. A CR is stripped too, so that a CR without its LF at the very end of
// a file does not end up in a value.
bool IsFileBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\r'; }

std::string_view TrimFileBlanks(std::string_view s) {
  while (!s.empty() && IsFileBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsFileBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The names a caller passes lose only their surrounding spaces: Windows finds no key
// for a name that starts with a tab, and writes "[sec]" for "  sec  ".
std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

struct Line {
  std::string_view content;  // without its line break
  std::string_view ending;   // "\r\n", "\n", or empty for a last line without one
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    if (lf == std::string_view::npos) {
      lines.push_back({text, {}});
      break;
    }
    const std::size_t contentEnd = (lf > 0 && text[lf - 1] == '\r') ? lf - 1 : lf;
    lines.push_back({text.substr(0, contentEnd), text.substr(contentEnd, lf + 1 - contentEnd)});
    text.remove_prefix(lf + 1);
  }
  return lines;
}

// The name of a section line: the text after "[" up to the first "]" or the end of
// the line, blanks around it removed. nullopt for every other line.
std::optional<std::string_view> SectionName(std::string_view content) {
  const std::string_view trimmed = TrimFileBlanks(content);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  std::string_view name = trimmed.substr(1);
  name = name.substr(0, name.find(']'));
  return TrimFileBlanks(name);
}

struct KeyLine {
  std::string_view name;
  std::string_view value;  // blanks removed, quotes still on
};

// A key line splits at its first "=". A name that starts with ";" makes the line a
// comment, as it is for Windows.
std::optional<KeyLine> ParseKeyLine(std::string_view content) {
  const std::size_t eq = content.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view name = TrimFileBlanks(content.substr(0, eq));
  if (!name.empty() && name.front() == ';') return std::nullopt;
  return KeyLine{name, TrimFileBlanks(content.substr(eq + 1))};
}

std::string_view StripOneQuotePair(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool IsBlankLine(const Line& line) { return TrimFileBlanks(line.content).empty(); }

// Gives the last line of out its line break before a line is added after it.
void EndOpenLine(std::string& out) {
  if (out.empty() || out.back() == '\n') return;
  out += out.back() == '\r' ? "\n" : "\r\n";
}

// Where a key stands in the text. Only the first section of a name counts, as for
// Windows: a second section of the same name is never searched or written.
struct KeyPlace {
  std::optional<std::size_t> sectionLine;
  std::optional<std::size_t> keyLine;
  std::size_t lastFilledLine = 0;  // last non-blank line of the section
};

KeyPlace LocateKey(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  KeyPlace place;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string_view> name = SectionName(lines[i].content);
    if (place.sectionLine) {
      if (name) break;
      if (IsBlankLine(lines[i])) continue;
      place.lastFilledLine = i;
      if (!place.keyLine) {
        const std::optional<KeyLine> keyLine = ParseKeyLine(lines[i].content);
        if (keyLine && text::EqualsIgnoreAsciiCase(keyLine->name, key)) place.keyLine = i;
      }
    } else if (name && text::EqualsIgnoreAsciiCase(*name, section)) {
      place.sectionLine = i;
      place.lastFilledLine = i;
    }
  }
  return place;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view iniText, std::string_view section,
                                        std::string_view key) {
  const std::vector<Line> lines = SplitLines(iniText);
  const KeyPlace place = LocateKey(lines, TrimSpaces(section), TrimSpaces(key));
  if (!place.keyLine) return std::nullopt;
  return std::string(StripOneQuotePair(ParseKeyLine(lines[*place.keyLine].content)->value));
}

std::string SetIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                        std::string_view value) {
  // A value never reaches past its line: what follows a line break is dropped.
  value = value.substr(0, value.find_first_of("\r\n"));
  section = TrimSpaces(section);
  key = TrimSpaces(key);

  const std::vector<Line> lines = SplitLines(iniText);
  const KeyPlace place = LocateKey(lines, section, key);

  std::string out;
  out.reserve(iniText.size() + section.size() + key.size() + value.size() + 8);
  auto appendLine = [&out](const Line& line) {
    out += line.content;
    out += line.ending;
  };

  if (!place.sectionLine) {
    out += iniText;
    EndOpenLine(out);
    out += '[';
    out += section;
    out += "]\r\n";
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
    return out;
  }

  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (place.keyLine && i == *place.keyLine) {
      // The file's spelling of the key stays; a last line without a break gets one,
      // as Windows writes it.
      out += ParseKeyLine(lines[i].content)->name;
      out += '=';
      out += value;
      out += lines[i].ending.empty() ? std::string_view("\r\n") : lines[i].ending;
      continue;
    }
    appendLine(lines[i]);
    if (!place.keyLine && i == place.lastFilledLine) {
      EndOpenLine(out);
      out += key;
      out += '=';
      out += value;
      out += "\r\n";
    }
  }
  return out;
}

}  // namespace lumora::text
