#include "text/search.h"

#include "text/utf.h"

namespace lumora::text {

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view key) {
  for (std::size_t i = 0; i < key.size(); ++i)
    if (FoldAscii(text[pos + i]) != FoldAscii(key[i])) return false;
  return true;
}

}  // namespace

std::size_t FindIgnoreAsciiCase(std::string_view text, std::string_view key, std::size_t from) {
  for (std::size_t pos = from; pos < text.size(); pos += Utf8CharLength(text, pos)) {
    if (text.size() - pos < key.size()) break;
    if (MatchesAt(text, pos, key)) return pos;
  }
  return std::string_view::npos;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && MatchesAt(a, 0, b);
}

std::size_t CountIgnoreAsciiCase(std::string_view text, std::string_view key) {
  if (key.empty()) return 0;
  std::size_t count = 0;
  for (std::size_t pos = FindIgnoreAsciiCase(text, key); pos != std::string_view::npos;
       pos = FindIgnoreAsciiCase(text, key, pos + key.size())) {
    ++count;
  }
  return count;
}

FoldedText::FoldedText(std::string_view text) : folded_(text) {
  for (char& c : folded_) c = FoldAscii(c);
}

std::size_t FoldedText::Find(std::string_view key, std::size_t from) const {
  if (key.empty()) return from < folded_.size() ? from : std::string_view::npos;
  std::string foldedKey(key);
  for (char& c : foldedKey) c = FoldAscii(c);
  for (std::size_t pos = folded_.find(foldedKey, from); pos != std::string::npos;
       pos = folded_.find(foldedKey, pos + 1)) {
    const auto byte = static_cast<unsigned char>(folded_[pos]);
    if (byte < 0x80 || byte >= 0xC0) return pos;
  }
  return std::string_view::npos;
}

}  // namespace lumora::text
