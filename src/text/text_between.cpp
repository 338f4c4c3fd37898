#include "text/text_between.h"

#include <charconv>

#include "text/cp936.h"

namespace lumora::text {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A lead byte of a double-byte character of code page 936; its trail byte may look like
// an ASCII letter or bracket, which must not start a match.
bool IsLeadByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x81 && byte <= 0xFE;
}

std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view key, bool caseSensitive) {
  for (std::size_t i = 0; i < key.size(); ++i) {
    const char a = text[pos + i];
    const char b = key[i];
    if (caseSensitive ? a != b : FoldAscii(a) != FoldAscii(b)) return false;
  }
  return true;
}

std::size_t Find(std::string_view text, std::string_view key, std::size_t from,
                 bool caseSensitive) {
  // From the beginning, so that the walk stays on character boundaries.
  for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
    if (pos < from) continue;
    if (text.size() - pos < key.size()) break;
    if (MatchesAt(text, pos, key, caseSensitive)) return pos;
  }
  return std::string_view::npos;
}

std::string WithQuotes(std::string_view marker) {
  static const std::string kQuoteWord = Cp936FromUtf8("#引号");
  std::string result;
  for (std::size_t pos = 0; pos < marker.size();) {
    if (marker.substr(pos).starts_with(kQuoteWord)) {
      result += '"';
      pos += kQuoteWord.size();
    } else {
      result += marker[pos++];
    }
  }
  return result;
}

}  // namespace

std::string TextBetween(std::string_view text, std::string_view startMarker,
                        std::string_view endMarker, std::size_t startPosition, bool caseSensitive) {
  const std::string start = WithQuotes(startMarker);
  const std::string end = WithQuotes(endMarker);
  const std::size_t from = startPosition > 0 ? startPosition - 1 : 0;
  const std::size_t startAt = Find(text, start, from, caseSensitive);
  const std::size_t valueAt =
      startAt == std::string_view::npos ? std::string_view::npos : startAt + start.size();
  const std::size_t endAt =
      Find(text, end, valueAt == std::string_view::npos ? 0 : valueAt, caseSensitive);
  if (valueAt == std::string_view::npos || endAt == std::string_view::npos || endAt <= valueAt)
    return {};
  return std::string(text.substr(valueAt, endAt - valueAt));
}

double LeadingVersionNumber(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  std::size_t end = begin;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end == begin) return 0;
  if (end + 1 < text.size() && text[end] == '.' && text[end + 1] >= '0' && text[end + 1] <= '9') {
    ++end;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  }
  double value = 0;
  std::from_chars(text.data() + begin, text.data() + end, value, std::chars_format::fixed);
  return value;
}

}  // namespace lumora::text
