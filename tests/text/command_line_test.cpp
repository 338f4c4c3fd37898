// Quoting arguments and splitting command lines by the rules Windows programs read
// their command lines by.
#include "text/command_line.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace lumora::text {
namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLine, SplitsAsWindowsProgramsDo) {
  struct Case {
    std::string_view line;
    Arguments expected;
  };
  const Case cases[] = {
      {"netsh  wlan\tset ", {"netsh", "wlan", "set"}},
      {"netsh", {"netsh"}},
      {"", {}},
      // The program's name knows no escapes; it ends at its closing quote.
      {"\"C:\\Program Files\\x.exe\" a", {"C:\\Program Files\\x.exe", "a"}},
      {"\"C:\\dir\\\"x y", {"C:\\dir\\", "x", "y"}},
      {"C:\\dir\\x.exe\ta", {"C:\\dir\\x.exe", "a"}},
      {" x", {"", "x"}},
      // Backslashes count only before a quote.
      {"p a\\\\b \\", {"p", "a\\\\b", "\\"}},
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"p key=\"abc\\\" ssid=x", {"p", "key=abc\" ssid=x"}},
      {"p key=\"abc\\\\\" ssid=x", {"p", "key=abc\\", "ssid=x"}},
      // Quotes open and close anywhere in an argument; runs of them count in threes.
      {"p ssid=\"my net\"x \"\"", {"p", "ssid=my netx", ""}},
      {"p \"a\"\"b\"", {"p", "a\"b"}},
      {"p \"\"\"\"", {"p", "\""}},
      {"p \"\"\"x\"\" y", {"p", "\"x", "y"}},
      {"p \"unclosed  two", {"p", "unclosed  two"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.line;
}

TEST(CommandLine, AQuotedArgumentComesBackWhateverItHolds) {
  // The forms of the rule itself: runs before a quote doubled, and one more for it.
  EXPECT_EQ(QuoteArgument("a\\"), "\"a\\\\\"");
  EXPECT_EQ(QuoteArgument("a\\\"b"), "\"a\\\\\\\"b\"");
  EXPECT_EQ(QuoteArgument("a\\b"), "\"a\\b\"");
  EXPECT_EQ(QuoteArgument(""), "\"\"");
  for (const std::string& text : testing::HostileTexts()) {
    SCOPED_TRACE(text);
    EXPECT_EQ(SplitArguments(QuoteArgument(text)), Arguments{text});
    // As the value of a tag, next to another, the way netsh's arguments are written.
    const std::string line = "netsh ssid=" + QuoteArgument(text) +
                             " key=" + QuoteArgument(text + text) + " " + QuoteArgument(text);
    EXPECT_EQ(SplitCommandLine(line),
              (Arguments{"netsh", "ssid=" + text, "key=" + text + text, text}));
  }
}

}  // namespace
}  // namespace lumora::text
