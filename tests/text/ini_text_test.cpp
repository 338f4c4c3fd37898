#include "text/ini_text.h"

#include <gtest/gtest.h>

#include "text/cp936.h"

namespace lumora::text {
namespace {

TEST(IniTextRead, FindsValuesTheWayWindowsReadsThem) {
  struct Case {
    std::string_view text, section, key;
    std::optional<std::string_view> expected;
  };
  const Case cases[] = {
      {"[user]\r\nssid=mylove\r\nkey=1\r\n", "user", "ssid", "mylove"},
      {"[user]\nssid=mylove\n", "user", "ssid", "mylove"},
      {"[User]\r\nSSID=a\r\n", "uSER", "ssid", "a"},
      {"  [user]  \r\n \t ssid \t=  my love \t\v\r\n", "user", "ssid", "my love"},
      {"[ user\t]\nssid=a\n", "user", "ssid", "a"},
      {"[user\nssid=a\n", "user", "ssid", "a"},          // no closing bracket
      {"[user] note\nssid=a\n", "user", "ssid", "a"},    // text after "]"
      {"[user]ssid=a\n", "user", "ssid", std::nullopt},  // ... is not a key
      {"[a]b]\nk=1\n", "a", "k", "1"},                   // the name ends at "]"
      {"[user]\nssid=\n", "user", "ssid", ""},
      {"[user]\nssid=a=b\n", "user", "ssid", "a=b"},
      {"[user]\nmy key = v\n", "user", "my key", "v"},
      {"[s]\nk=\"a b\"\n", "s", "k", "a b"},
      {"[s]\nk='x'\n", "s", "k", "x"},
      {"[s]\nk= \" a \" \n", "s", "k", " a "},
      {"[s]\nk=\"\"\n", "s", "k", ""},
      {"[s]\nk=\"\n", "s", "k", "\""},
      {"[s]\nk=\"a'\n", "s", "k", "\"a'"},
      {"[s]\nk='\"a\"'\n", "s", "k", "\"a\""},  // one pair only
      {"[s]\nk=a\"\n", "s", "k", "a\""},
      {"[user]\nkey=1\n", "user", "ssid", std::nullopt},
      {"[other]\nssid=1\n", "user", "ssid", std::nullopt},
      {"", "user", "ssid", std::nullopt},
      {"ssid=top\n[user]\nkey=1\n", "user", "ssid", std::nullopt},  // before any section
      {"ssid=top\n[user]\n", "", "ssid", std::nullopt},
      {"[]\nssid=a\n", "", "ssid", "a"},
      {"[a]\n[b]\nk=1\n", "a", "k", std::nullopt},
      {"[s]\nk=1\nk=2\n", "s", "k", "1"},
      // Only the first section of a name is searched.
      {"[user]\nssid=a\n[x]\n[USER]\nssid=b\nkey=c\n", "user", "ssid", "a"},
      {"[user]\nssid=a\n[x]\n[USER]\nssid=b\nkey=c\n", "user", "key", std::nullopt},
      {"[s]\n;k=1\nk=2\n", "s", "k", "2"},  // comment line
      {"[s]\n;k=1\n", "s", ";k", std::nullopt},
      {"[s]\ngarbage line\nk=2\n", "s", "k", "2"},
      {"[s]\nk\n", "s", "k", std::nullopt},  // no "="
      {"[s]\r\nk=v\r", "s", "k", "v"},
      {"[user]\nssid=a\n", " user ", "  ssid ", "a"},
      {"[user]\nssid=a\n", "\tuser", "ssid", std::nullopt},  // only spaces are trimmed
      {"[流量条]\r\n是否开=是 \r\n", "流量条", "是否开", "是"},
      {"[名单]\r\nÄ=1\r\n", "名单", "ä", std::nullopt},  // only ASCII letters fold
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindIniValue(c.text, c.section, c.key), c.expected)
        << ::testing::PrintToString(c.text) << " [" << c.section << "] " << c.key;
  }
}

TEST(IniTextWrite, ReplacesInPlaceAppendsToSectionOrAddsSection) {
  struct Case {
    std::string_view before, section, key, value, after;
  };
  const Case cases[] = {
      {"", "user", "ssid", "x", "[user]\r\nssid=x\r\n"},
      {"[a]\r\nk1=1\r\nk2=2\r\nk3=3\r\n", "a", "k2", "new", "[a]\r\nk1=1\r\nk2=new\r\nk3=3\r\n"},
      // The file's spelling of the names stays, and the line keeps its LF.
      {"[A]\n  Ssid = old\nx=1\n", "a", "SSID", "new", "[A]\nSsid=new\nx=1\n"},
      {"[a]\r\nk=1", "a", "k", "2", "[a]\r\nk=2\r\n"},
      {"[a]\r\nk=1\r\n", "a", "k", "", "[a]\r\nk=\r\n"},
      // A new key follows the section's last line that is not blank.
      {"[a]\r\nk=1\r\n\r\n[b]\r\nm=2\r\n", "a", "n", "3",
       "[a]\r\nk=1\r\nn=3\r\n\r\n[b]\r\nm=2\r\n"},
      {"[a]\r\nk=1\r\n;note\r\n\r\n", "a", "n", "2", "[a]\r\nk=1\r\n;note\r\nn=2\r\n\r\n"},
      {"[a]\n\n[b]\n", "a", "n", "2", "[a]\nn=2\r\n\n[b]\n"},
      {"[a]", "a", "k", "v", "[a]\r\nk=v\r\n"},
      {"[a]\nk=1", "a", "n", "2", "[a]\nk=1\r\nn=2\r\n"},
      {"[a]\r\nk=1\r", "a", "n", "2", "[a]\r\nk=1\r\nn=2\r\n"},
      // A new section goes at the end of the file.
      {"[a]\r\nk=1\r\n", "b", "m", "2", "[a]\r\nk=1\r\n[b]\r\nm=2\r\n"},
      {"[a]\r\nk=1", "b", "m", "2", "[a]\r\nk=1\r\n[b]\r\nm=2\r\n"},
      {"[a]\nk=1\n\n", "b", "m", "2", "[a]\nk=1\n\n[b]\r\nm=2\r\n"},
      {"k=1\r\n", "a", "k", "2", "k=1\r\n[a]\r\nk=2\r\n"},
      {"", "  b  ", " m ", " v ", "[b]\r\nm= v \r\n"},
      // Only the first section of a name is written, as only it is read.
      {"[a]\nk=1\n[b]\n[A]\nm=2\n", "a", "m", "3", "[a]\nk=1\nm=3\r\n[b]\n[A]\nm=2\n"},
      {"[a]\n;k=1\n", "a", "k", "2", "[a]\n;k=1\nk=2\r\n"},
      // A value never adds a line.
      {"", "user", "ssid", "v1\r\n[evil]\r\nx=1", "[user]\r\nssid=v1\r\n"},
      {"[user]\r\nssid=a\r\n", "user", "ssid", "b\nc", "[user]\r\nssid=b\r\n"},
      {"[user]\r\nssid=a\r\n", "user", "ssid", "\rc", "[user]\r\nssid=\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetIniValue(c.before, c.section, c.key, c.value), c.after)
        << ::testing::PrintToString(c.before) << " [" << c.section << "] " << c.key;
  }
}

TEST(IniTextWrite, EveryValueWrittenReadsBack) {
  const std::string_view values[] = {"", "是", "a=b", "x y", "中文值"};
  std::string text = "[s]\r\nold=1\r\n\r\n[t]\r\n";
  for (const std::string_view value : values) {
    for (const std::string_view section : {"s", "T", "new"}) {
      text = SetIniValue(text, section, "k", value);
      EXPECT_EQ(FindIniValue(text, section, "K"), value) << text;
    }
  }
  EXPECT_EQ(FindIniValue(text, "s", "old"), "1");
}

TEST(IniTextWrite, KeepsUntouchedLinesByteForByte) {
  // CP936 bytes as a hand-edited file may hold them: a Chinese section and key, a
  // line with bytes that are no CP936 character, a line with a bare LF.
  const std::string before =
      "[\xC1\xF7\xC1\xBF\xCC\xF5]\r\n"         // [流量条]
      "\xCA\xC7\xB7\xF1\xBF\xAA=\xB7\xF1\r\n"  // 是否开=否
      "note=\xFF\x81\x7F\x80 end\n"
      "[user]\r\n"
      "ssid = \xD6\xD0 \r\n";
  const std::string decoded = text::Utf8FromCp936(before);
  ASSERT_EQ(FindIniValue(decoded, "流量条", "是否开"), "否");

  EXPECT_EQ(text::Cp936FromUtf8(SetIniValue(decoded, "流量条", "是否开", "是")),
            "[\xC1\xF7\xC1\xBF\xCC\xF5]\r\n"
            "\xCA\xC7\xB7\xF1\xBF\xAA=\xCA\xC7\r\n"
            "note=\xFF\x81\x7F\x80 end\n"
            "[user]\r\n"
            "ssid = \xD6\xD0 \r\n");
  EXPECT_EQ(text::Cp936FromUtf8(SetIniValue(decoded, "user", "key", "1")), before + "key=1\r\n");
}

}  // namespace
}  // namespace lumora::text
