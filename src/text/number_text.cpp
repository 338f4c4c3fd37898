#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace lumora::text {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string Written(double value, std::chars_format format, int precision) {
  char buffer[400];  // the widest fixed form of a double has 309 digits
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string FixedTwoDecimals(double value) {
  if (!std::isfinite(value)) return Written(value, std::chars_format::general, 13);
  const double hundredths = std::floor(std::fabs(value) * 100 + 0.000000000001 + 0.5);
  // The rounded number of hundredths is a whole double: its digits are exact, and the
  // point goes in before the last two.
  std::string digits = Written(hundredths, std::chars_format::fixed, 0);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  digits.insert(digits.size() - 2, 1, '.');
  if (value < 0 && hundredths > 0) digits.insert(0, 1, '-');
  return digits;
}

std::string PlainNumber(double value) { return Written(value, std::chars_format::general, 13); }

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t begin = i;

  // Where the first significant digit stands decides, with the exponent, whether a
  // number out of a double's range is too large or too small.
  int magnitude = 0;
  bool significant = false;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    if (significant) ++magnitude;
    if (text[i] != '0') significant = true;
    ++digits, ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      if (!significant) --magnitude;
      if (text[i] != '0') significant = true;
      ++digits, ++i;
    }
  }
  if (digits == 0) return 0;

  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j)
        if (exponent < 1000000) exponent = exponent * 10 + (text[j] - '0');
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }

  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data() + begin, text.data() + i, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    value = significant && magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace lumora::text
