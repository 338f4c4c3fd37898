#include "text/pattern_matcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "text/cp936.h"

namespace lumora::text {
namespace {

using Values = std::vector<std::string>;

Values AllValues(PatternMatcher& matcher) {
  Values values;
  for (int n = 1; n <= matcher.Count(); ++n) values.push_back(matcher.Value(n));
  return values;
}

// The escaped bytes make failures readable when a value holds CR or LF.
std::string Shown(const Values& values) {
  std::string out;
  for (const std::string& value : values) {
    out += '[';
    for (const char c : value) {
      if (c == '\r')
        out += "\\r";
      else if (c == '\n')
        out += "\\n";
      else
        out += c;
    }
    out += ']';
  }
  return out;
}

constexpr PatternMatcher::Options kDefault{};
constexpr PatternMatcher::Options kCaseSensitive{.caseSensitive = true};
constexpr PatternMatcher::Options kSingleLine{.multiline = false};
constexpr PatternMatcher::Options kFirstOnly{.global = false};
constexpr PatternMatcher::Options kQuotes{.quoteMarker = true};

struct MatchCase {
  std::string_view pattern, subject;
  PatternMatcher::Options options;
  Values expected;
};

void ExpectMatches(const MatchCase& c) {
  PatternMatcher matcher;
  ASSERT_TRUE(matcher.Match(c.pattern, c.subject, c.options)) << c.pattern;
  const Values values = AllValues(matcher);
  EXPECT_EQ(values, c.expected) << "pattern " << c.pattern << " got " << Shown(values);
}

TEST(PatternMatcherDialect, DotLinesAndAnchors) {
  const MatchCase cases[] = {
      {"a.c", "a\rc", kDefault, {"a\rc"}},  // "." takes a carriage return
      {"a.c", "a\nc", kDefault, {}},        // but never a line feed
      {".+", "ab\r\ncd", kDefault, {"ab\r", "cd"}},
      {"^\\w+", "ab\ncd", kDefault, {"ab", "cd"}},
      {"^\\w+", "ab\ncd", kSingleLine, {"ab"}},
      {"\\w+$", "ab\ncd", kSingleLine, {"cd"}},
      {"\\w+$", "ab\r\ncd", kDefault, {"cd"}},  // only "\n" ends a line, CR stays before it
      {"b.$", "ab\r\ncd", kDefault, {"b\r"}},
      {"^$", "a\n\nb", kDefault, {""}},
      {"^$", "a\n\nb", kSingleLine, {}},
      {"x$", "x\n", kSingleLine, {}},
      {"^.{4}$", "本地连接", kDefault, {"本地连接"}},  // a Chinese character is one "."
      {"本.连接", "本地连接 2", kDefault, {"本地连接"}},
      {"\\u672c\\x41", "本A", kDefault, {"本A"}},
  };
  for (const MatchCase& c : cases) ExpectMatches(c);
}

TEST(PatternMatcherDialect, IgnoreCaseFoldsOnlyAsciiLetters) {
  const MatchCase cases[] = {
      {"dhcp", "DHCP Dhcp", kDefault, {"DHCP", "Dhcp"}},
      {"dhcp", "DHCP Dhcp dhcp", kCaseSensitive, {"dhcp"}},
      {"ä", "Ä ä", kDefault, {"ä"}},
      {"Ｙ", "ｙ", kDefault, {}},  // full-width letters keep their case
      {"[a-z]+", "XYZ1", kDefault, {"XYZ"}},
      {"[^a-z]", "Q1", kDefault, {"1"}},
      {"[a-z]+", "XYZ1abc", kCaseSensitive, {"abc"}},
      {"(a)\\1", "aA", kDefault, {"aA"}},
      {"(a)\\1", "aA", kCaseSensitive, {}},
  };
  for (const MatchCase& c : cases) ExpectMatches(c);
}

TEST(PatternMatcherDialect, QuantifiersGreedyAndLazy) {
  const MatchCase cases[] = {
      {"<.+>", "<a><b>", kDefault, {"<a><b>"}},
      {"<.+?>", "<a><b>", kDefault, {"<a>", "<b>"}},
      {"<.*?>", "<><b>", kDefault, {"<>", "<b>"}},
      {"a{2,3}", "aaaaaaa", kDefault, {"aaa", "aaa"}},
      {"a{2,3}?", "aaaaaaa", kDefault, {"aa", "aa", "aa"}},
      {"a{2,}", "aaaaa", kDefault, {"aaaaa"}},
      {"a{2}", "aaaaa", kDefault, {"aa", "aa"}},
      {"(?:ab){2}", "abababab", kDefault, {"abab", "abab"}},
      {"(?:ab){1,2}?c", "ababc", kDefault, {"ababc"}},
      {"a{1,2}?b", "aaab", kDefault, {"aab"}},  // a lazy count still stops at its maximum
      {"(?:ab)+?", "abab", kDefault, {"ab", "ab"}},
      {"x??y", "xy", kDefault, {"xy"}},
      {"\\d+?$", "a123", kDefault, {"123"}},
      {"a.*b", "a本b本b", kDefault, {"a本b本b"}},  // gives back whole characters
      {"a.*?b", "a本b本b", kDefault, {"a本b"}},
      {"a{", "a{", kDefault, {"a{"}},  // a brace that opens no count is a character
      {"a{,2}", "a{,2}", kDefault, {"a{,2}"}},
      {"}]", "}]", kDefault, {"}]"}},
  };
  for (const MatchCase& c : cases) ExpectMatches(c);
}

TEST(PatternMatcherDialect, ClassesAndEscapes) {
  const MatchCase cases[] = {
      {"[0-9a-f]+", "zz0afx", kCaseSensitive, {"0af"}},
      {"[^\\s]+", "a b\tc", kDefault, {"a", "b", "c"}},
      {"[\\d.]+", "ip 10.1.2.3", kDefault, {"10.1.2.3"}},
      {"[a\\-z]", "b-", kDefault, {"-"}},
      {"[a-]", "b-a", kDefault, {"-", "a"}},
      {"[\\d-z]", "5-z", kDefault, {"5", "-", "z"}},
      {"[\\]]", "a]", kDefault, {"]"}},
      {"[.]", "a.b", kDefault, {"."}},
      {"[本地]+", "x本地y", kDefault, {"本地"}},
      {"[^本]", "本地", kDefault, {"地"}},
      {"[]", "ab", kDefault, {}},
      {"\\d+", "ab12c3", kDefault, {"12", "3"}},
      {"\\D+", "ab12c", kDefault, {"ab", "c"}},
      {"\\s+", "a \t\r\n\f\vb", kDefault, {" \t\r\n\f\v"}},
      {"\\S+", "a\u3000b", kDefault, {"a\u3000b"}},  // the ideographic space is no \s
      {"\\w+", "a_1-本", kDefault, {"a_1"}},
      {"\\W", "a-本", kDefault, {"-", "本"}},
      {"\\t\\.\\*\\(", "\t.*(", kDefault, {"\t.*("}},
      {"\\bcat\\b", "cat concat cat_ cat.", kDefault, {"cat", "cat"}},
      {"\\Bcat", "cat concat", kDefault, {"cat"}},
      {"\\w+(?=:)", "DHCP: yes", kDefault, {"DHCP"}},
      {"a(?!b)", "abac", kDefault, {"a"}},
      {"(\\w)\\1", "abccd", kDefault, {"cc"}},
  };
  for (const MatchCase& c : cases) ExpectMatches(c);
}

TEST(PatternMatcherDialect, AlternationGroupsAndEmptyMatches) {
  const MatchCase cases[] = {
      {"cat|category", "category", kDefault, {"cat"}},  // the first branch wins, not the longest
      {"a|b|c", "cab", kDefault, {"c", "a", "b"}},
      {"(a|b)+c", "abac", kDefault, {"abac"}},
      {"x(a|)y", "xy xay", kDefault, {"xy", "xay"}},
      {"a*", "baa", kDefault, {"", "aa", ""}},
      {"", "ab", kDefault, {"", "", ""}},
      {"x*", "本", kDefault, {"", ""}},  // an empty match steps a character, not a byte
      {"(a*)*b", "aab", kDefault, {"aab"}},
      {"(?:a?)+c", "ac", kDefault, {"ac"}},
      {"\\d", "a1b2", kFirstOnly, {"1"}},
      {"z", "abc", kFirstOnly, {}},
      {"name=#引号(\\w+)#引号", "name=\"wifi\"", kQuotes, {"name=\"wifi\""}},
      {"#引号", "#引号 \"", kDefault, {"#引号"}},
  };
  for (const MatchCase& c : cases) ExpectMatches(c);
}

TEST(PatternMatcherDialect, MalformedPatternsRunNot) {
  const std::string_view patterns[] = {
      "(",   ")",       "a)", "(a",  "((a)",   "[abc", "[z-a]",     "[\\",
      "a**", "*a",      "+",  "a|*", "a{3,1}", "{2}",  "x{1}{2}",   "\\",
      "a\\", "(?<x>a)", "(?", "^*",  "$+",     "\\b?", "a{100001}",
  };
  for (const std::string_view pattern : patterns) {
    PatternMatcher matcher;
    EXPECT_FALSE(matcher.Match(pattern, "a((a)))[abc*+{2}\\")) << pattern;
    EXPECT_EQ(matcher.Count(), 0) << pattern;
  }
}

TEST(PatternMatcherDialect, FailedRunKeepsNothingFromTheRunBefore) {
  PatternMatcher matcher;
  ASSERT_TRUE(matcher.Match("a", "aaa"));
  ASSERT_EQ(matcher.Count(), 3);
  EXPECT_FALSE(matcher.Match("(", "aaa"));
  EXPECT_EQ(matcher.Count(), 0);
  EXPECT_EQ(matcher.Value(1), "");
  EXPECT_EQ(matcher.Replace("x"), "aaa");
}

TEST(PatternMatcherLimits, CostlyPatternsEndQuicklyAndRunNot) {
  const std::string longA(5000, 'a');
  struct Case {
    std::string pattern, subject;
  };
  const Case cases[] = {
      {"(a*)*b", longA},
      {"(a|aa)*c", std::string(60, 'a')},
      {"(?:a+)+$", longA + "!"},
      {".*x.*y", std::string(100000, 'x')},
      {"(?:a|b)*c", std::string(1000000, 'a')},  // more pending alternatives than allowed
      {std::string(100000, '(') + "a" + std::string(100000, ')'), "a"},
      {"(?:(?:){1000}){1000}", "a"},
      {"(?:ab|cd){50000}(?:ef|gh){50000}", "ab"},
  };
  for (const Case& c : cases) {
    PatternMatcher matcher;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(matcher.Match(c.pattern, c.subject)) << c.pattern.substr(0, 40);
    EXPECT_EQ(matcher.Count(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5))
        << c.pattern.substr(0, 40);
  }
}

TEST(PatternMatcherLimits, LongLinesNeedNoStackPerCharacter) {
  // Far more characters than a call per character could stand.
  const std::string line(2000000, 'x');
  PatternMatcher matcher;
  ASSERT_TRUE(matcher.Match("^.*$", line));
  ASSERT_EQ(matcher.Count(), 1);
  EXPECT_EQ(matcher.Value(1).size(), line.size());

  ASSERT_TRUE(matcher.Match("x.*?y", std::string(500000, 'x') + "y"));
  EXPECT_EQ(matcher.Count(), 1);
  ASSERT_TRUE(matcher.Match("[^y]*y", std::string(1000000, 'x') + "y"));
  EXPECT_EQ(matcher.Value(1).size(), 1000001u);
}

TEST(PatternMatcherReplace, SubstitutesMatchesAndGroups) {
  struct Case {
    std::string_view pattern, subject, replacement;
    PatternMatcher::Options options;
    std::string_view expected;
  };
  const Case cases[] = {
      {"(\\w+)@(\\w+)", "me@host you@there", "$2:$1", kDefault, "host:me there:you"},
      {"o", "foo", "[$&]", kDefault, "f[o][o]"},
      {"o", "foo", "$$", kDefault, "f$$"},
      {"o", "foo", "0", kFirstOnly, "f0o"},
      {"(o)", "foo", "$2$", kDefault, "f$2$$2$"},  // no group 2: written as it stands
      {"(a)|b", "ab", "[$1]", kDefault, "[a][]"},
      {"x", "abc", "y", kDefault, "abc"},
      {"", "ab", "-", kDefault, "-a-b-"},
      {"本", "本地本", "这", kDefault, "这地这"},
  };
  for (const Case& c : cases) {
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Match(c.pattern, c.subject, c.options)) << c.pattern;
    EXPECT_EQ(matcher.Replace(c.replacement), c.expected) << c.pattern << " / " << c.replacement;
  }
}

TEST(PatternMatcherReplace, DeletesBlankLinesOfCrLfText) {
  // The error texts of netsh, once their leading and trailing line break is dropped.
  struct Case {
    std::string_view text, expected;
  };
  const Case cases[] = {
      {"无法启动承载网络。\r\n\r\n   \r\n组或资源的状态不正确。\r\n",
       "无法启动承载网络。\r\n组或资源的状态不正确。\r\n"},
      {"a\r\n\r\n\r\n\r\nb", "a\r\nb"},
      {"a\r\n \t \r\nb\r\n\r\nc", "a\r\nb\r\nc"},
      {"a\r\nb", "a\r\nb"},
  };
  for (const Case& c : cases) {
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Match("\\n\\s*\\r", c.text));
    EXPECT_EQ(matcher.Replace(""), c.expected) << Shown({std::string(c.text)});
  }

  std::string output = text::Utf8FromCp936(
      testing::FixtureAsConsoleBytes("netsh/zh-CN/wlan-start-hostednetwork.bad-state.txt"));
  PatternMatcher matcher;
  ASSERT_TRUE(matcher.Match("\\n\\s*\\r", output));
  EXPECT_EQ(matcher.Replace(""),
            "无法启动承载网络。\r\n组或资源的状态不是执行请求操作的正确状态。\r\n");
}

// The start sequence asks whether DHCP is on for the hosted connection: its name, then
// anything up to the end of the next line that mentions DHCP.
struct DhcpCase {
  std::string_view fixture, name;
  bool found;
  std::string_view answer;  // what the first match holds
};

TEST(PatternMatcherNetsh, FindsTheDhcpLineOfTheHostedConnection) {
  const DhcpCase cases[] = {
      {"netsh/zh-CN/interface-ipv4-show-addresses.txt", "本地连接 2", true, "是"},
      {"netsh/zh-CN/interface-ipv4-show-addresses.txt", "Loopback Pseudo-Interface 1", true, "否"},
      {"netsh/zh-CN/interface-ipv4-show-addresses.txt", "无线网络连接", false, ""},
      {"netsh/en-US/interface-ipv4-show-addresses.txt", "Wireless Network Connection", true, "Yes"},
      {"netsh/en-US/interface-ipv4-show-addresses.txt", "local area connection", true, "Yes"},
  };
  for (const DhcpCase& c : cases) {
    const std::string output = text::Utf8FromCp936(testing::FixtureAsConsoleBytes(c.fixture));
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Match(EscapeForPattern(c.name) + ".*\\n.*DHCP.*", output)) << c.name;
    ASSERT_EQ(matcher.Count() > 0, c.found) << c.name;
    if (!c.found) continue;
    const std::string first = matcher.Value(1);
    EXPECT_NE(first.find(c.answer), std::string::npos) << c.name << ": " << Shown({first});
    EXPECT_EQ(first.find("InterfaceMetric"), std::string::npos) << c.name;
    EXPECT_EQ(first.back(), '\r') << c.name;  // "." runs on to the line's CR
  }
}

TEST(PatternMatcherNetsh, EscapedNamesMatchOnlyThemselves) {
  struct Case {
    std::string_view name, decoy;  // the decoy matches the name read as a pattern
  };
  const Case cases[] = {
      {"本地连接* 12", "本地连 12"},
      {"Wi-Fi (2)", "Wi-Fi 2"},
      {"网卡[1]", "网卡1"},
      {"a.b", "axb"},
      {"a+b?", "aa"},
      {"x{2}", "xx"},
      {"^$|\\", ""},
      {"{1}", "{"},
      {"#引号", "\""},
  };
  for (const Case& c : cases) {
    const std::string pattern = EscapeForPattern(c.name);
    for (const PatternMatcher::Options options : {kDefault, kQuotes}) {
      PatternMatcher matcher;
      const std::string subject = "前 " + std::string(c.name) + " 后";
      ASSERT_TRUE(matcher.Match(pattern, subject, options)) << c.name;
      EXPECT_EQ(AllValues(matcher), Values{std::string(c.name)}) << c.name;
      ASSERT_TRUE(matcher.Match(pattern, c.decoy, options)) << c.name;
      EXPECT_EQ(matcher.Count(), 0) << c.name;
    }
  }

  // The hosted connection renamed to something that holds pattern characters.
  std::string output = text::Utf8FromCp936(
      testing::FixtureAsConsoleBytes("netsh/zh-CN/interface-ipv4-show-addresses.txt"));
  const std::string oldName = "本地连接 2", newName = "本地连接* (12)";
  output.replace(output.find(oldName), oldName.size(), newName);
  PatternMatcher matcher;
  ASSERT_TRUE(matcher.Match(EscapeForPattern(newName) + ".*\\n.*DHCP.*", output));
  ASSERT_EQ(matcher.Count(), 1);
  EXPECT_NE(matcher.Value(1).find("是"), std::string::npos);
}

}  // namespace
}  // namespace lumora::text
