#pragma once
// Values cut out of the site's update information: the text between a start marker and
// the next end marker. The text and the markers are bytes of code page 936, and so are
// positions and lengths.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora::text {

// The text between the first start marker at or after startPosition (1-based) and the
// first end marker after it; the empty text when either is missing. "#引号" in a marker
// stands for a double quotation mark. ASCII letters match either case unless
// caseSensitive. An empty marker is found at the search position when the text goes on
// there. A match begins only at the start of a character.
std::string TextBetween(std::string_view text, std::string_view startMarker,
                        std::string_view endMarker, std::size_t startPosition = 1,
                        bool caseSensitive = false);

// The decimal number a version text begins with: digits with an optional fraction
// after blanks ("5.01" is 5.01). A text without one, and the forms of infinity,
// not-a-number, hexadecimal or exponents, give 0 or the digits before them.
double LeadingVersionNumber(std::string_view text);

}  // namespace lumora::text
