#include "text/command_line.h"

namespace lumora::text {

namespace {

constexpr std::string_view kBlanks = " \t";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program's name ends at any white space, not only at a blank.
bool IsWhiteSpace(char c) { return IsBlank(c) || (c >= '\n' && c <= '\r'); }

}  // namespace

std::string QuoteArgument(std::string_view text) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : text) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // A quote of the text needs the run before it doubled and one more backslash.
      if (c == '"') quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    quoted += c;
  }
  // The run before the closing quote, doubled, stays backslashes.
  quoted.append(backslashes, '\\');
  return quoted + '"';
}

ProgramAndArguments SplitProgramName(std::string_view line) {
  std::size_t end = 0;
  if (line.starts_with('"')) {
    end = line.find('"', 1);
    if (end == std::string_view::npos) return {std::string(line.substr(1)), {}};
    return {std::string(line.substr(1, end - 1)), line.substr(end + 1)};
  }
  while (end < line.size() && !IsWhiteSpace(line[end])) ++end;
  if (end == line.size()) return {std::string(line), {}};
  return {std::string(line.substr(0, end)), line.substr(end + 1)};
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
  std::vector<std::string> split;
  std::size_t pos = arguments.find_first_not_of(kBlanks);
  if (pos == std::string_view::npos) return split;
  std::string current;
  bool inQuotes = false;
  std::size_t backslashes = 0;  // the run just copied into current
  while (pos < arguments.size()) {
    const char c = arguments[pos];
    if (IsBlank(c) && !inQuotes) {
      split.push_back(std::move(current));
      current.clear();
      backslashes = 0;
      pos = arguments.find_first_not_of(kBlanks, pos);
      if (pos == std::string_view::npos) return split;
      continue;
    }
    ++pos;
    if (c == '\\') {
      current += c;
      ++backslashes;
      continue;
    }
    if (c != '"') {
      current += c;
      backslashes = 0;
      continue;
    }
    current.resize(current.size() - backslashes / 2);
    // Quotes counted in this run, the one that opened the quotes included.
    int quotes = inQuotes ? 1 : 0;
    if (backslashes % 2 == 1) {
      current.back() = '"';  // the odd backslash escapes this quote
    } else {
      ++quotes;
    }
    backslashes = 0;
    for (; pos < arguments.size() && arguments[pos] == '"'; ++pos) {
      if (++quotes == 3) {
        current += '"';
        quotes = 0;
      }
    }
    inQuotes = quotes == 1;
  }
  split.push_back(std::move(current));
  return split;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  if (line.empty()) return {};
  ProgramAndArguments parts = SplitProgramName(line);
  std::vector<std::string> split{std::move(parts.program)};
  for (std::string& argument : SplitArguments(parts.arguments))
    split.push_back(std::move(argument));
  return split;
}

}  // namespace lumora::text
