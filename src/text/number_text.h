#pragma once
// Numbers as the windows show them and read them back. None of these depends on the
// locale: the point is always ".", and there is never any digit grouping.

#include <string>
#include <string_view>

namespace lumora::text {

// Two digits after the point, rounded half away from zero: the value times 100, plus
// 0.000000000001 so that a product such as 1.4999999999999998 counts as the half it
// stands for (5 gives "5.00", 12.3 "12.30", 0.015 "0.02").
std::string FixedTwoDecimals(double value);

// Up to 13 significant digits, no trailing zeros and no point for whole numbers, as
// printf's "%.13g" writes them in the C locale (4.5 gives "4.5", 0 gives "0").
std::string PlainNumber(double value);

// The decimal number the text begins with, after blanks: an optional sign, digits with
// an optional point, an optional exponent ("12.34 MB" gives 12.34, " -1.5e2x" -150).
// Hexadecimal, infinity and not-a-number forms are not numbers; text without a number
// gives 0. A number too large for a double gives an infinity of its sign, one too small
// gives a zero of its sign.
double LeadingNumber(std::string_view text);

}  // namespace lumora::text
