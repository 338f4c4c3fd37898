// The codec runs on the system's own conversion (iconv natively, the Windows
// functions under Wine); these tests run in both builds so the two cannot drift.
#include "text/cp936.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"
#include "text/utf.h"

namespace lumora::text {
namespace {

TEST(Cp936Codec, ConvertsChineseBothWays) {
  struct Case {
    const char* utf8;
    const char* cp936;
  };
  const Case cases[] = {
      {"中文", "\xD6\xD0\xCE\xC4"},
      {"监控", "\xBC\xE0\xBF\xD8"},
      {"流量条", "\xC1\xF7\xC1\xBF\xCC\xF5"},
      {"WiFi名称：", "WiFi\xC3\xFB\xB3\xC6\xA3\xBA"},
      {"€", "\x80"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp936FromUtf8(c.utf8), c.cp936) << c.utf8;
    EXPECT_EQ(Utf8FromCp936(c.cp936), c.utf8) << c.utf8;
    EXPECT_EQ(Cp936Length(c.utf8), std::string_view(c.cp936).size()) << c.utf8;
  }
}

TEST(Cp936Codec, KeepsInvalidBytesThroughAReadChangeWrite) {
  // A lead byte with no valid trail, a lone trail-range byte, 0xFF, and a lead byte
  // at the very end: each must come back as the same byte.
  const std::string raw = "ok\x81\x20mid\xFF\xD6\xD0" "end\xD6";
  const std::string decoded = Utf8FromCp936(raw);
  EXPECT_EQ(Cp936FromUtf8(decoded), raw);
  // The valid character between the bad bytes is decoded as itself.
  EXPECT_NE(decoded.find("中"), std::string::npos);
  // Changing one line leaves the undecodable bytes of another intact.
  const std::string file = "name=\xFE\x7F\r\nkey=old\r\n";
  std::string text = Utf8FromCp936(file);
  text.replace(text.find("old"), 3, "new");
  EXPECT_EQ(Cp936FromUtf8(text), "name=\xFE\x7F\r\nkey=new\r\n");
}

TEST(Cp936Codec, RoundTripsRandomBytesLosslessly) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> length(0, 24);
  // Bias towards the high half, where the double-byte characters are.
  std::uniform_int_distribution<int> byte(0, 255);
  int mismatches = 0;
  for (int i = 0; i < 100000; ++i) {
    std::string raw(static_cast<std::size_t>(length(random)), '\0');
    for (char& c : raw) {
      const int b = byte(random);
      c = static_cast<char>(b < 64 ? b + 0x40 : b < 128 ? b + 0x80 : b);
    }
    if (Cp936FromUtf8(Utf8FromCp936(raw)) != raw) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Cp936Codec, UnencodableCharacterBecomesQuestionMark) {
  EXPECT_EQ(Cp936FromUtf8("a😀b"), "a?b");
  EXPECT_EQ(Cp936Length("a😀b"), 3u);
}

TEST(Cp936Codec, DecodesEveryRecordedConsoleText) {
  // What netsh prints reaches the program as CP936 with CR LF; decoding it must give
  // back the text Windows showed.
  for (const char* fixture : {"netsh/zh-CN/wlan-any.not-admin.txt",
                              "netsh/zh-CN/wlan-start-hostednetwork.bad-state.txt",
                              "netsh/zh-CN/interface-ipv4-show-addresses.txt",
                              "netsh/zh-CN/wlan-show-hostednetwork.txt"}) {
    EXPECT_EQ(Utf8FromCp936(testing::FixtureAsConsoleBytes(fixture)),
              testing::FixtureWithCrLf(fixture))
        << fixture;
  }
}

TEST(Cp936Codec, PrefixAndSuffixCountCp936Bytes) {
  // "名字ab": 4 bytes of Chinese, then 2 ASCII.
  EXPECT_EQ(Cp936Prefix("名字ab", 5), "名字a");
  EXPECT_EQ(Cp936Prefix("名字ab", 3), "名");  // never half a character
  EXPECT_EQ(Cp936Prefix("名字ab", 100), "名字ab");
  EXPECT_EQ(AfterCp936Bytes("AA-BB-CC-DD-EE-FF+名+字", 18), "名+字");
  EXPECT_EQ(AfterCp936Bytes("名字ab", 3), "ab");  // a cut inside a character drops it
  EXPECT_EQ(AfterCp936Bytes("short", 18), "");
}

TEST(Utf16, RoundTripsEscapedBytesAndSupplementaryCharacters) {
  const std::string text = Utf8FromCp936("\xFF") + "中😀x";
  const std::u16string wide = Utf16FromUtf8(text);
  EXPECT_EQ(wide.size(), 5u);  // escape, 中, surrogate pair, x
  EXPECT_EQ(Utf8FromUtf16(wide), text);
}

}  // namespace
}  // namespace lumora::text
