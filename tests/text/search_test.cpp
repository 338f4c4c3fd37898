#include "text/search.h"

#include <gtest/gtest.h>

#include "text/cp936.h"

namespace lumora::text {
namespace {

constexpr auto npos = std::string_view::npos;

TEST(SearchIgnoringAsciiCase, FindsOnlyAtCharacterStartsAndFoldsOnlyAscii) {
  struct Case {
    std::string_view text, key;
    std::size_t from, expected;
  };
  const Case cases[] = {
      {"AA-BB-CC-DD-EE-FF+x", "aa-bb-cc", 0, 0},
      {"xx mac=0a-1b", "0A-1B", 0, 7},
      {"abc", "abcd", 0, npos},
      {"abcabc", "ABC", 1, 3},
      {"abc", "", 1, 1},
      {"abc", "", 3, npos},
      {"", "", 0, npos},
      {"Ä", "ä", 0, npos},  // only ASCII letters fold
      {"名字", "字", 0, 3},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindIgnoreAsciiCase(c.text, c.key, c.from), c.expected) << c.text << " / " << c.key;
}

TEST(SearchIgnoringAsciiCase, NeverMatchesInsideAnEscapedByte) {
  // The escaped form of a stray byte is a whole character: a key cannot start inside it.
  const std::string text = Utf8FromCp936("\x81") + "A";
  EXPECT_EQ(FindIgnoreAsciiCase(text, "a"), text.size() - 1);
}

TEST(SearchIgnoringAsciiCase, CountsNonOverlappingLiterals) {
  EXPECT_EQ(CountIgnoreAsciiCase("aaaa", "aa"), 2u);
  EXPECT_EQ(CountIgnoreAsciiCase("WLAN wlan Wlan", "wlan"), 3u);
  EXPECT_EQ(CountIgnoreAsciiCase("a.b*c", ".*"), 0u);  // a literal, never a pattern
  EXPECT_EQ(CountIgnoreAsciiCase("abc", ""), 0u);
  EXPECT_TRUE(EqualsIgnoreAsciiCase("User", "uSER"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("User", "Users"));
}

}  // namespace
}  // namespace lumora::text
