// The list files and the device-name file: any text splits, searches and changes line
// by line without fault; the prepared search gives the plain search's answers; a line
// replaced or removed changes that line alone.

#include "clients/list_files.h"
#include "fuzz_input.h"
#include "memory_files.h"
#include "text/cp936.h"
#include "text/search.h"
#include "text/utf.h"

using namespace lumora;

namespace {

// A view that keeps the rows it is given.
class Rows final : public ui::ListViewRows {
 public:
  std::size_t AppendRow() override {
    cells.emplace_back();
    return cells.size() - 1;
  }
  void SetCell(std::size_t row, int column, std::string_view text) override {
    auto& line = cells.at(row);
    if (line.size() <= static_cast<std::size_t>(column)) line.resize(column + 1);
    line[column] = std::string(text);
  }
  std::vector<std::vector<std::string>> cells;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 3);
  // The files hold CP936; the program searches them with keys it read from them, from
  // the neighbour table or from a list view.
  const std::string listText = text::Utf8FromCp936(pieces[0]);
  const std::string key = text::Utf8FromCp936(pieces[1]);
  const std::string newLine = text::Utf8FromCp936(pieces[2]);

  const std::vector<std::string> lines = clients::SplitLines(listText);
  const int found = clients::FindText(listText, key);
  fuzz::Check((found == -1) == (text::FindIgnoreAsciiCase(listText, key) == std::string::npos),
              "FindText finds what the search finds");
  const text::FoldedText folded(listText);
  fuzz::Check(folded.Find(key) == text::FindIgnoreAsciiCase(listText, key),
              "the folded search finds what the search finds");
  if (const std::size_t first = text::FindIgnoreAsciiCase(listText, key); first < listText.size()) {
    const std::size_t next = first + text::Utf8CharLength(listText, first);
    fuzz::Check(folded.Find(key, next) == text::FindIgnoreAsciiCase(listText, key, next),
                "the folded search goes on where the search goes on");
  }
  const clients::SearchableListText searchable(listText);
  fuzz::Check(searchable.Contains(key) == (found != -1), "the prepared search finds the same");
  fuzz::Check(searchable.DeviceNameFor(key) == clients::DeviceNameFor(listText, key),
              "the prepared search names the same device");

  const int n = clients::FindLineContaining(listText, key);
  fuzz::Check(n == 0 || clients::FindText(clients::LineAt(listText, n), key) != -1,
              "the line found holds the key");
  for (const std::string& line : lines) {
    clients::ParseListEntry(line);
    clients::DeviceNameOfLine(line);
  }

  if (newLine.find("\r\n") == std::string::npos && !lines.empty()) {
    const int at = static_cast<int>(pieces[2].size() % lines.size()) + 1;
    std::vector<std::string> replaced = lines;
    replaced[at - 1] = newLine;
    const std::vector<std::string> afterReplace =
        clients::SplitLines(clients::ReplaceLine(listText, at, newLine));
    // An empty last line is no line of the text.
    if (!replaced.back().empty())
      fuzz::Check(afterReplace == replaced, "a replaced line changes that line alone");
    std::vector<std::string> removed = lines;
    removed.erase(removed.begin() + (at - 1));
    if (removed.empty() || !removed.back().empty())
      fuzz::Check(clients::SplitLines(clients::RemoveLine(listText, at)) == removed,
                  "a removed line takes that line alone");
  }

  fuzz::MemoryFiles files;
  files.ReplaceWholeFile(clients::kBlacklistPath, pieces[0]);
  Rows rows;
  clients::LoadListFileIntoView(files, clients::kBlacklistPath, rows, 1);
  fuzz::Check(clients::ReadListText(files, clients::kBlacklistPath) == listText,
              "a list file reads as its decoded text");
  clients::ChangeListText(files, clients::kBlacklistPath,
                          [](const std::string& text) { return text; });
  fuzz::Check(files.ReadWholeFile(clients::kBlacklistPath) == pieces[0],
              "an unchanged list file keeps its bytes");
  return 0;
}
