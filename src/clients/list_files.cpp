#include "clients/list_files.h"

#include <algorithm>

#include "exec/file_unit.h"
#include "text/cp936.h"
#include "text/search.h"

namespace lumora::clients {

std::string ReadListText(platform::FilePort& files, std::string_view path) {
  return text::Utf8FromCp936(exec::ReadFileAsUnit(files, path).value_or(std::string{}));
}

void WriteListText(platform::FilePort& files, std::string_view path, std::string_view text) {
  ChangeListText(files, path, [&](const std::string&) { return std::string(text); });
}

void ChangeListText(platform::FilePort& files, std::string_view path,
                    const std::function<std::optional<std::string>(const std::string&)>& change) {
  exec::ChangeFileAsUnit(
      files, path, [&](const std::optional<std::string>& bytes) -> std::optional<std::string> {
        auto next = change(text::Utf8FromCp936(bytes.value_or(std::string{})));
        if (!next) return std::nullopt;
        return text::Cp936FromUtf8(*next);
      });
}

int FindText(std::string_view text, std::string_view key) {
  if (key.empty()) return text.empty() ? -1 : 1;
  const std::size_t pos = text::FindIgnoreAsciiCase(text, key);
  if (pos == std::string_view::npos) return -1;
  return static_cast<int>(text::Cp936Length(text.substr(0, pos))) + 1;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
  // Each separator ends a piece, even an empty one; what follows the last separator
  // is a piece only when it is not empty. Separators match exactly, at character
  // starts (a UTF-8 text has no other place a whole character could match).
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  for (std::size_t found = text.find(separator); found != std::string_view::npos;
       found = text.find(separator, start)) {
    pieces.emplace_back(text.substr(start, found - start));
    start = found + separator.size();
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

std::vector<std::string> SplitLines(std::string_view text) { return SplitText(text, kLineBreak); }

int FindLineContaining(std::string_view text, std::string_view key) {
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t n = 0; n < lines.size(); ++n)
    if (FindText(lines[n], key) != -1) return static_cast<int>(n) + 1;
  return 0;
}

std::string LineAt(std::string_view text, int n) {
  const std::vector<std::string> lines = SplitLines(text);
  if (n < 1 || static_cast<std::size_t>(n) > lines.size()) return {};
  return lines[static_cast<std::size_t>(n) - 1];
}

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += kLineBreak;
    joined += lines[i];
  }
  return joined;
}

}  // namespace

std::string ReplaceLine(std::string_view text, int n, std::string_view newLine) {
  std::vector<std::string> lines = SplitLines(text);
  if (n >= 1 && static_cast<std::size_t>(n) <= lines.size())
    lines[static_cast<std::size_t>(n) - 1] = std::string(newLine);
  return JoinLines(lines);
}

std::string RemoveLine(std::string_view text, int n) {
  std::vector<std::string> lines = SplitLines(text);
  if (n >= 1 && static_cast<std::size_t>(n) <= lines.size()) lines.erase(lines.begin() + (n - 1));
  return JoinLines(lines);
}

ListEntry ParseListEntry(std::string_view line) {
  const std::vector<std::string> fields = SplitText(line, kFieldSeparator);
  ListEntry entry;
  if (!fields.empty()) entry.mac = fields[0];
  if (fields.size() == 2) {
    entry.name = fields[1];
    entry.hasName = true;
  }
  return entry;
}

void LoadListFileIntoView(platform::FilePort& files, std::string_view path, ui::ListViewRows& view,
                          int macColumn) {
  for (const std::string& line : SplitLines(ReadListText(files, path))) {
    // The program never writes an empty line; one typed by hand is no device.
    if (line.empty()) continue;
    const ListEntry entry = ParseListEntry(line);
    const std::size_t row = view.AppendRow();
    view.SetCell(row, macColumn, entry.mac);
    if (entry.hasName) view.SetCell(row, macColumn + 1, entry.name);
  }
}

std::string DeviceNameOfLine(std::string_view line) {
  return std::string(text::AfterCp936Bytes(line, kDeviceNameOffset));
}

std::string DeviceNameFor(std::string_view deviceNameText, std::string_view mac) {
  const std::string_view key = mac.empty() ? kDeviceNamePlaceholder : mac;
  const int n = FindLineContaining(deviceNameText, key);
  return n == 0 ? std::string{} : DeviceNameOfLine(LineAt(deviceNameText, n));
}

SearchableListText::SearchableListText(std::string text) : text_(std::move(text)), folded_(text_) {}

std::string SearchableListText::DeviceNameFor(std::string_view mac) const {
  const std::string_view key = mac.empty() ? kDeviceNamePlaceholder : mac;
  // No line holds a line break.
  if (key.find(kLineBreak) != std::string_view::npos) return {};
  // The first occurrence within a line lies in the first line that holds the key. A key
  // that ends in a CR or starts with an LF also occurs across a line break, in no line.
  const std::string_view text = text_;
  for (std::size_t found = folded_.Find(key); found != std::string::npos;
       found = folded_.Find(key, found + 1)) {
    const std::size_t before = text.rfind(kLineBreak, found);
    const std::size_t start = before == std::string_view::npos ? 0 : before + kLineBreak.size();
    const std::size_t end = std::min(text.find(kLineBreak, found), text.size());
    if (start <= found && found + key.size() <= end)
      return DeviceNameOfLine(text.substr(start, end - start));
  }
  return {};
}

}  // namespace lumora::clients
