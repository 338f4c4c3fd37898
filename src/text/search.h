#pragma once
// Searches that treat the ASCII letters A-Z and a-z as equal to their other case and
// every other character exactly, and that only match at the start of a character.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora::text {

// Byte offset of the first occurrence of key in text at or after `from`, or npos.
// An empty key is found at `from` when the text has a character there.
std::size_t FindIgnoreAsciiCase(std::string_view text, std::string_view key,
                                std::size_t from = 0);

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// Number of non-overlapping occurrences of key in text; 0 for an empty key.
std::size_t CountIgnoreAsciiCase(std::string_view text, std::string_view key);

// A text prepared once for many searches: Find answers as FindIgnoreAsciiCase does, but
// with the library's fast search over a folded copy. Matches in UTF-8 can only begin
// at a character's start, and the search checks that too.
class FoldedText {
 public:
  explicit FoldedText(std::string_view text);
  std::size_t Find(std::string_view key, std::size_t from = 0) const;

 private:
  std::string folded_;
};

}  // namespace lumora::text
