// Numbers as the windows write and read them.
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumora::text {
namespace {

TEST(NumberText, FixedTwoDecimalsRoundsHalfAwayFromZero) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : {Case{5, "5.00"}, Case{12.3, "12.30"}, Case{0, "0.00"}, Case{1.5, "1.50"},
                        Case{4.5 * 0.3, "1.35"}, Case{0.05 * 0.3, "0.02"}, Case{0.004999, "0.00"},
                        Case{0.125, "0.13"}, Case{2.675, "2.68"}, Case{-0.125, "-0.13"},
                        Case{-0.001, "0.00"}, Case{17592186044416.0, "17592186044416.00"},
                        // Halves that binary holds a hair below: 100.49999999999999 and
                        // 14.499999999999998 hundredths.
                        Case{1.005, "1.01"}, Case{0.145, "0.15"}, Case{-1.005, "-1.01"}}) {
    EXPECT_EQ(FixedTwoDecimals(c.value), c.text) << c.value;
  }
}

TEST(NumberText, PlainNumberWritesUpToThirteenSignificantDigits) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : {Case{4.5, "4.5"}, Case{0, "0"}, Case{10, "10"}, Case{1.5 + 3.0, "4.5"},
                        Case{0.1 + 0.2, "0.3"}, Case{1234567890123.0, "1234567890123"},
                        Case{12345678901234.0, "1.234567890123e+13"}, Case{0.0001, "0.0001"},
                        Case{0.00001, "1e-05"}}) {
    EXPECT_EQ(PlainNumber(c.value), c.text) << c.value;
  }
}

TEST(NumberText, LeadingNumberReadsOnlyADecimalNumber) {
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c :
       {Case{"12.34 MB", 12.34}, Case{" \t-1.5e2x", -150}, Case{"+3", 3}, Case{"1.", 1},
        Case{".5", 0.5}, Case{"0.5", 0.5}, Case{"1e", 1}, Case{"2e+x", 2}, Case{"", 0},
        Case{"MB", 0}, Case{".", 0}, Case{"-", 0}, Case{"0x10", 0}, Case{"inf", 0}, Case{"nan", 0},
        Case{"infinity", 0}, Case{"1,5", 1}, Case{"1e-400", 0}, Case{"0.000e999999999999", 0}}) {
    EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
  }
  // Beyond a double's range: an infinity of the number's sign, also when the exponent
  // itself is longer than any integer.
  EXPECT_EQ(LeadingNumber("1e400"), INFINITY);
  EXPECT_EQ(LeadingNumber("-1e400"), -INFINITY);
  EXPECT_EQ(LeadingNumber("0.001e99999999999999999999"), INFINITY);
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), INFINITY);
}

}  // namespace
}  // namespace lumora::text
