#include "text/text_between.h"

#include <gtest/gtest.h>

#include "text/cp936.h"

namespace lumora::text {
namespace {

TEST(TextBetween, CutsTheFirstValueBetweenItsMarkers) {
  struct Case {
    const char* text;
    const char* start;
    const char* end;
    std::size_t from;
    bool caseSensitive;
    const char* value;
  };
  const Case cases[] = {
      {"[up1]1[up2]", "[up1]", "[up2]", 1, false, "1"},
      {"[UP1]1[UP2]", "[up1]", "[up2]", 1, false, "1"},
      {"[UP1]1[UP2]", "[up1]", "[up2]", 1, true, ""},
      {"[up1] 1[up2]", "[up1]", "[up2]", 1, false, " 1"},
      {"x[version1]5.1[version2][version1]6[version2]", "[version1]", "[version2]", 1, false,
       "5.1"},
      // The end marker counts only after the start marker.
      {"[version2]a[version1]5[version2]", "[version1]", "[version2]", 1, false, "5"},
      {"[up1]1", "[up1]", "[up2]", 1, false, ""},
      {"text[up1]", "[up1]", "[up2]", 1, false, ""},
      {"[up1][up2]", "[up1]", "[up2]", 1, false, ""},
      {"abc[up2]", "", "[up2]", 1, false, "abc"},
      {"[up1]abc", "[up1]", "", 1, false, ""},
      {"", "", "", 1, false, ""},
      {"[a]1[b][a]2[b]", "[a]", "[b]", 2, false, "2"},
      {"[a]1[b]", "[a]", "[b]", 100, false, ""},
      {"say \"hi\" now", "#引号", "#引号", 1, false, "hi"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8FromCp936(TextBetween(Cp936FromUtf8(c.text), Cp936FromUtf8(c.start),
                                        Cp936FromUtf8(c.end), c.from, c.caseSensitive)),
              c.value)
        << c.text << " " << c.start << " " << c.end;
  }
}

TEST(TextBetween, CountsPositionsInBytesAndMatchesOnlyWholeCharacters) {
  // "中" is two bytes of code page 936: the value after it starts at byte 3.
  EXPECT_EQ(TextBetween(Cp936FromUtf8("中[a]1[b][a]2[b]"), "[a]", "[b]", 3), "1");
  EXPECT_EQ(TextBetween(Cp936FromUtf8("中[a]1[b][a]2[b]"), "[a]", "[b]", 4), "2");
  // 0xA1 0x5B is one character whose second byte is "[": no marker starts there.
  const std::string text = std::string("\xA1[a]x[b]") + "[a]y[b]";
  EXPECT_EQ(TextBetween(text, "[a]", "[b]"), "y");
  // The value comes back as the bytes that were fetched.
  EXPECT_EQ(TextBetween(Cp936FromUtf8("[c]更新\r\n内容[d]"), "[c]", "[d]"),
            Cp936FromUtf8("更新\r\n内容"));
}

TEST(LeadingVersionNumber, ReadsDigitsWithAnOptionalFractionAndNothingElse) {
  const std::pair<const char*, double> cases[] = {
      {"5.0", 5.0}, {"5.01", 5.01}, {"4.9", 4.9}, {" 5.1", 5.1}, {"6", 6},        {"5.1beta", 5.1},
      {"5.", 5},    {"V5.1", 0},    {"inf", 0},   {"nan", 0},    {"infinity", 0}, {"0x10", 0},
      {"1e9", 1},   {"-6", 0},      {"+6", 0},    {"", 0},       {".5", 0},
  };
  for (const auto& [text, number] : cases)
    EXPECT_DOUBLE_EQ(LeadingVersionNumber(text), number) << text;
}

}  // namespace
}  // namespace lumora::text
