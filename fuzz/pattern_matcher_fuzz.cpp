// The pattern matcher: any pattern runs over any subject without fault (or is refused
// as malformed or too costly), and a literal escaped as a pattern matches exactly itself.

#include "fuzz_input.h"
#include "text/cp936.h"
#include "text/pattern_matcher.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const auto pieces = fuzz::Pieces(data + 1, size - 1, 3);
  text::PatternMatcher::Options options;
  options.caseSensitive = flags & 1;
  options.multiline = flags & 2;
  options.global = flags & 4;
  options.quoteMarker = flags & 8;

  text::PatternMatcher matcher;
  if (matcher.Match(pieces[0], pieces[1], options)) {
    for (int n = 1; n <= matcher.Count(); ++n) matcher.Value(n);
    matcher.Replace(pieces[2]);
  } else {
    fuzz::Check(matcher.Count() == 0, "a refused pattern has no matches");
  }

  // The subject as the program has its texts: valid UTF-8.
  const std::string literal = text::Utf8FromCp936(pieces[1]);
  options.global = false;
  if (!literal.empty() && matcher.Match(text::EscapeForPattern(literal), literal, options))
    fuzz::Check(matcher.Count() == 1 && matcher.Value(1) == literal,
                "an escaped literal matches itself");
  return 0;
}
