// Our INI reader and writer against the system's private-profile functions on one real
// file: each side must read what the other wrote.

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_files.h"
#include "settings/settings.h"
#include "support/test_support.h"
#include "text/cp936.h"
#include "text/search.h"

namespace lumora::settings {
namespace {

// The system's side, through the A calls: every text in the ANSI code page 936.
class SystemProfile {
 public:
  explicit SystemProfile(std::string_view utf8Path) : path_(text::Cp936FromUtf8(utf8Path)) {}

  std::string Read(std::string_view section, std::string_view key,
                   std::optional<std::string_view> defaultValue = std::nullopt) {
    Forget();
    const std::string sectionA = text::Cp936FromUtf8(section);
    const std::string keyA = text::Cp936FromUtf8(key);
    const std::string defaultA = text::Cp936FromUtf8(defaultValue.value_or(""));
    std::string buffer(10240, '\0');
    const DWORD length = GetPrivateProfileStringA(
        sectionA.c_str(), keyA.c_str(), defaultValue ? defaultA.c_str() : nullptr, buffer.data(),
        static_cast<DWORD>(buffer.size()), path_.c_str());
    buffer.resize(length);
    return text::Utf8FromCp936(buffer);
  }

  void Write(std::string_view section, std::string_view key, std::string_view value) {
    Forget();
    EXPECT_TRUE(WritePrivateProfileStringA(text::Cp936FromUtf8(section).c_str(),
                                           text::Cp936FromUtf8(key).c_str(),
                                           text::Cp936FromUtf8(value).c_str(), path_.c_str()));
  }

 private:
  // The system may keep a parsed copy of the file; dropping it makes the next call see
  // what our writer put on the disk.
  void Forget() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str()); }

  std::string path_;
};

struct Entry {
  std::string_view section, key, value, reads;
};

// Values as the program writes them and as a user may type them.
const Entry kEntries[] = {
    {"user", "ssid", "mylove", "mylove"},
    {"user", "key", "  2468 013579 ", "2468 013579"},
    {"流量条", "是否开", "是", "是"},
    {"monitor", "monitor", "不监控", "不监控"},
    {"kdmc", "kdmc", "本地连接 2", "本地连接 2"},
    {"flowposition", "xy", "1734|962", "1734|962"},
    {"q", "double", "\"quoted value\"", "quoted value"},
    {"q", "single", "' x '", " x "},
    {"q", "mismatched", "\"a'", "\"a'"},
    {"q", "nested", "'\"a\"'", "\"a\""},
    {"q", "lone", "\"", "\""},
    {"q", "empty", "", ""},
    {"q", "equals", "a=b=c", "a=b=c"},
    {"q", "semicolon", ";no comment", ";no comment"},
    {"q", "tabs", "\tx\t", "x"},
};

class PrivateProfileCompat : public ::testing::Test {
 protected:
  PrivateProfileCompat()
      : path(platform::win32::Utf8(folder.Path().wstring()) + "\\设置.ini"),
        ours(files, path),
        system(path) {}

  // Both readers, each must give the expected text.
  void ExpectBothRead(std::string_view section, std::string_view key,
                      std::optional<std::string_view> defaultValue, std::string_view expected) {
    EXPECT_EQ(ours.ReadSetting(section, key, defaultValue), expected)
        << "ours: [" << section << "] " << key;
    EXPECT_EQ(system.Read(section, key, defaultValue), expected)
        << "system: [" << section << "] " << key;
  }

  void HandEdit(std::string_view cp936) {
    testing::WriteHostFile(folder.Path() / L"设置.ini", cp936);
  }

  testing::TempFolder folder;
  platform::win32::Win32Files files;
  std::string path;
  Settings ours;
  SystemProfile system;
};

TEST_F(PrivateProfileCompat, EachReadsWhatEitherWrote) {
  for (const bool systemWrites : {false, true}) {
    SCOPED_TRACE(systemWrites ? "written by the system" : "written by us");
    std::filesystem::remove(folder.Path() / L"设置.ini");
    for (const Entry& e : kEntries) {
      if (systemWrites) {
        system.Write(e.section, e.key, e.value);
      } else {
        ours.WriteSetting(e.section, e.key, e.value);
      }
    }
    for (const Entry& e : kEntries) ExpectBothRead(e.section, e.key, "dflt", e.reads);
  }
}

TEST_F(PrivateProfileCompat, AlternatingWritersReplaceAppendAndAddSections) {
  struct Step {
    bool systemWrites;
    std::string_view section, key, value;
  };
  const Step steps[] = {
      {false, "user", "ssid", "a"},
      {true, "user", "key", "b"},
      {false, "skin", "color", "310"},
      {true, "xzk2", "xz", "1"},
      // Replaced in the middle of the file, the names in another case.
      {true, "USER", "SSID", "c"},
      {false, "User", "Key", "d"},
      // New keys in a section that is not the last.
      {false, "skin", "new", "1"},
      {true, "skin", "newer", "2"},
      // A new section, then its value replaced.
      {false, "流量条", "是否开", "否"},
      {true, "流量条", "是否开", "是"},
      {false, "skin", "color", ""},
      {true, "xzk2", "xz", ""},
  };
  std::vector<Entry> expected;
  for (const Step& step : steps) {
    if (step.systemWrites) {
      system.Write(step.section, step.key, step.value);
    } else {
      ours.WriteSetting(step.section, step.key, step.value);
    }
    bool replaced = false;
    for (Entry& e : expected) {
      if (text::EqualsIgnoreAsciiCase(e.section, step.section) &&
          text::EqualsIgnoreAsciiCase(e.key, step.key)) {
        e.reads = step.value;
        replaced = true;
      }
    }
    if (!replaced) expected.push_back({step.section, step.key, step.value, step.value});
    for (const Entry& e : expected) ExpectBothRead(e.section, e.key, std::nullopt, e.reads);
  }
  ExpectBothRead("USER", "ssid", std::nullopt, "c");
  ExpectBothRead("user", "missing", "缺省", "缺省");
  ExpectBothRead("nosection", "ssid", "mylove", "mylove");
}

TEST_F(PrivateProfileCompat, HandEditedFileReadsAlikeAndTakesWritesFromEither) {
  HandEdit(
      "top=before any section\r\n"
      "  [User]  \r\n"
      "  SSID  =  my love  \r\n"
      "ssid=second\r\n"
      "; ssid=comment\n"
      "noequals\n"
      "\r\n"
      "[\xC1\xF7\xC1\xBF\xCC\xF5]\n"              // [流量条], LF lines
      "\xCA\xC7\xB7\xF1\xBF\xAA\t=\t\xCA\xC7 \n"  // 是否开 = 是
      "[user]\r\n"                                // a second [user] is never read
      "ssid=third\r\n"
      "other=x\r\n"
      "[ last\t]\r\n"  // blanks inside the brackets
      "k='quoted'");   // no final line break
  ExpectBothRead("user", "ssid", std::nullopt, "my love");
  ExpectBothRead("user", "other", "dflt", "dflt");
  ExpectBothRead("user", "top", "dflt", "dflt");
  ExpectBothRead("user", "noequals", "dflt", "dflt");
  ExpectBothRead("流量条", "是否开", std::nullopt, "是");
  ExpectBothRead("last", "k", std::nullopt, "quoted");
  ExpectBothRead("last", "missing", "dflt  ", "dflt");
  ExpectBothRead("none", "k", std::nullopt, "");

  ours.WriteSetting("last", "ours", "1");
  system.Write("last", "system", "2");
  ours.WriteSetting("user", "added", "3");
  system.Write("流量条", "是否开", "否");
  ours.WriteSetting("user", "ssid", "new");
  ExpectBothRead("last", "k", std::nullopt, "quoted");
  ExpectBothRead("last", "ours", std::nullopt, "1");
  ExpectBothRead("last", "system", std::nullopt, "2");
  ExpectBothRead("user", "added", std::nullopt, "3");
  ExpectBothRead("user", "ssid", std::nullopt, "new");
  ExpectBothRead("流量条", "是否开", std::nullopt, "否");
}

TEST_F(PrivateProfileCompat, LongValuesAndMissingFileAlike) {
  ExpectBothRead("skin", "color", "310", "310");
  ExpectBothRead("skin", "color", std::nullopt, "");
  const std::string longValue(12000, 'a');
  system.Write("long", "v", longValue);
  ExpectBothRead("long", "v", std::nullopt, longValue.substr(0, kMaxValueBytes));
}

}  // namespace
}  // namespace lumora::settings
