#pragma once
// Regular expressions in the dialect the program's netsh readings are written in:
// "." matches any character but a line feed (so it does match a carriage return), \s
// \d \w and their capitals, character classes, groups, alternation, greedy and lazy
// quantifiers, ^ and $ at every line when multiline is on, ASCII case folding when
// case is ignored. Texts are UTF-8 and are matched character by character. This is
// the program's own engine, the same in both builds.

#include <string>
#include <string_view>
#include <vector>

namespace lumora::text {

class PatternMatcher {
 public:
  struct Options {
    bool caseSensitive = false;
    bool multiline = true;
    bool global = true;  // every match, not only the first
    bool quoteMarker = false;  // "#引号" in the pattern stands for a double quote
  };

  // Runs the pattern over the subject and keeps the matches; false when the pattern is
  // malformed or too costly to run (the matches are then empty).
  bool Match(std::string_view pattern, std::string_view subject, Options options);
  bool Match(std::string_view pattern, std::string_view subject) {
    return Match(pattern, subject, Options{});
  }

  // The number of matches of the last Match.
  int Count() const { return static_cast<int>(matches_.size()); }
  // The text of match n, counted from 1; empty when there is none.
  std::string Value(int n) const;
  // The subject of the last Match with every match replaced (only the first when not
  // global). In the replacement, $& is the match, $1 to $9 its groups and $$ a "$".
  std::string Replace(std::string_view replacement) const;

 private:
  struct Found {
    std::size_t begin = 0, end = 0;
    std::vector<std::string> groups;
  };
  std::string subject_;
  std::vector<Found> matches_;
};

// The literal as a pattern that matches exactly it: every character the engine gives
// a meaning is escaped.
std::string EscapeForPattern(std::string_view literal);

}  // namespace lumora::text
