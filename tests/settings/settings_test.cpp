#include "settings/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

#include "platform/sim/simulated_drive.h"
#include "support/test_support.h"

namespace lumora::settings {
namespace {

// Counts the reads that reach the drive.
class CountingFiles final : public platform::FilePort {
 public:
  explicit CountingFiles(platform::FilePort& inner) : inner_(inner) {}
  std::optional<std::string> ReadWholeFile(std::string_view path) override {
    ++reads;
    return inner_.ReadWholeFile(path);
  }
  bool ReplaceWholeFile(std::string_view path, std::string_view bytes) override {
    return inner_.ReplaceWholeFile(path, bytes);
  }
  bool FileExists(std::string_view path) override { return inner_.FileExists(path); }
  int reads = 0;

 private:
  platform::FilePort& inner_;
};

class SettingsTest : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return drive.HostPath(kSettingsPath); }
  void HandEdit(std::string_view cp936) { testing::WriteHostFile(File(), cp936); }

  testing::TempFolder folder;
  platform::sim::SimulatedDrive drive{folder.Path()};
  Settings settings{drive};
};

TEST_F(SettingsTest, WithoutAFileEveryKeyReadsItsDefault) {
  const std::pair<SettingKey, std::string_view> cases[] = {
      {kSkinColor, "310"},       {kMonitorMode, "监控"},      {kSpeedBarShown, "否"},
      {kShowPassPhrase, ""},     {kNetworkName, "mylove"},    {kPassPhrase, "2468013579"},
      {kRememberConnection, ""}, {kRememberedConnection, ""}, {kAutoStart, ""},
      {kSpeedBarPosition, ""},   {kHostedNameOverride, ""},   {kHostedNameOverrideName, ""},
  };
  for (const auto& [key, expected] : cases) EXPECT_EQ(settings.Read(key), expected) << key.key;
  EXPECT_EQ(settings.ReadSetting("flowposition", "xy", SpeedBarPositionDefault(1920, 1080)),
            "1734|962");
  EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(SettingsTest, FirstWriteCreatesTheFileInCodePage936) {
  settings.Write(kSpeedBarPosition, FormatPoint(1734, 962));
  EXPECT_EQ(testing::ReadHostFile(File()), "[flowposition]\r\nxy=1734|962\r\n");

  settings.Write(kSpeedBarShown, kYes);
  EXPECT_EQ(testing::ReadHostFile(File()),
            "[flowposition]\r\nxy=1734|962\r\n"
            "[\xC1\xF7\xC1\xBF\xCC\xF5]\r\n\xCA\xC7\xB7\xF1\xBF\xAA=\xCA\xC7\r\n");
  EXPECT_EQ(settings.Read(kSpeedBarShown), kYes);
  EXPECT_EQ(settings.Read(kSpeedBarPosition), "1734|962");
}

TEST_F(SettingsTest, HandEditedValuesReadAsTheirReadersExpect) {
  HandEdit(
      "[skin]\r\ncolor=150.9\r\n"
      "[\xC1\xF7\xC1\xBF\xCC\xF5]\r\n\xCA\xC7\xB7\xF1\xBF\xAA=\xCA\xC7 \r\n"  // "是 "
      "[monitor]\r\nmonitor=\r\n"
      "[flowposition]\r\nxy=100|abc\r\n");
  EXPECT_EQ(settings.Read(kSpeedBarShown), kYes);
  EXPECT_EQ(ParseDecimalInteger(settings.Read(kSkinColor)), 150);
  EXPECT_EQ(settings.Read(kMonitorMode), "");  // present but empty: no default
  EXPECT_EQ(ParsePoint(settings.Read(kSpeedBarPosition)), std::pair(100, 0));
  EXPECT_EQ(settings.ReadSetting("\t skin", "\001color", "0"), "150.9");
}

TEST_F(SettingsTest, NamesEmptyAfterControlCharactersReadEmptyWithoutTheFile) {
  HandEdit("[user]\r\nssid=x\r\n");
  CountingFiles counting(drive);
  Settings counted(counting);
  EXPECT_EQ(counted.ReadSetting(" \t\r\n", "ssid", "dflt"), "");
  EXPECT_EQ(counted.ReadSetting("user", "\x1F ", "dflt"), "");
  EXPECT_EQ(counted.ReadSetting("", "", "dflt"), "");
  EXPECT_EQ(counting.reads, 0);
  EXPECT_EQ(counted.ReadSetting(" user", "ssid", "dflt"), "x");
  EXPECT_EQ(counting.reads, 1);
}

TEST_F(SettingsTest, LongValuesAreCutToWholeCharactersOf10239Bytes) {
  const std::string ascii(10300, 'a');
  std::string chinese;  // 6000 characters, two bytes each
  for (int i = 0; i < 6000; ++i) chinese += "中";
  settings.WriteSetting("long", "ascii", ascii);
  settings.WriteSetting("long", "chinese", chinese);
  settings.WriteSetting("long", "odd", "a" + chinese);

  EXPECT_EQ(settings.ReadSetting("long", "ascii"), ascii.substr(0, 10239));
  // 5119 characters make 10238 bytes; a 5120th would not fit.
  EXPECT_EQ(settings.ReadSetting("long", "chinese"), chinese.substr(0, 5119 * 3));
  EXPECT_EQ(settings.ReadSetting("long", "odd"), "a" + chinese.substr(0, 5119 * 3));
  EXPECT_EQ(settings.ReadSetting("long", "missing", ascii), ascii.substr(0, 10239));
}

TEST_F(SettingsTest, DefaultLosesTrailingSpacesOnly) {
  EXPECT_EQ(settings.ReadSetting("s", "k", " a b  "), " a b");
  EXPECT_EQ(settings.ReadSetting("s", "k", "a\t"), "a\t");
}

TEST_F(SettingsTest, AFailedWriteChangesNothingAndIsReported) {
  testing::ExpectedFailureReports reports;
  Settings offDrive(drive, "d:\\lmrawifi.ini");
  offDrive.Write(kNetworkName, "other");
  EXPECT_EQ(offDrive.Read(kNetworkName), "mylove");
  EXPECT_EQ(reports.Lines(), std::vector<std::string>{
                                 "d:\\lmrawifi.ini: the file cannot be replaced; it keeps its old text"});
}

TEST_F(SettingsTest, ConcurrentWritesOfDifferentKeysLoseNone) {
  constexpr int kThreads = 4;
  constexpr int kKeysEach = 15;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      for (int k = 0; k < kKeysEach; ++k) {
        settings.WriteSetting("s" + std::to_string(k % 3),
                              std::to_string(t) + "-" + std::to_string(k),
                              "值" + std::to_string(t * 100 + k));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    for (int k = 0; k < kKeysEach; ++k) {
      EXPECT_EQ(settings.ReadSetting("s" + std::to_string(k % 3),
                                     std::to_string(t) + "-" + std::to_string(k)),
                "值" + std::to_string(t * 100 + k));
    }
  }
}

TEST(SettingsValues, DecimalIntegerTakesTheLeadingNumber) {
  const std::pair<std::string_view, int> cases[] = {
      {"310", 310},
      {"150.9", 150},
      {"-5", -5},
      {"-5.9", -5},
      {"abc", 0},
      {"", 0},
      {" 12", 12},
      {"\t+7", 7},
      {"12abc", 12},
      {"- 5", 0},
      {"0x10", 0},
      {"2147483647", INT_MAX},
      {"99999999999", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-99999999999", INT_MIN},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseDecimalInteger(text), expected) << text;
}

TEST(SettingsValues, PointNeedsExactlyTwoPieces) {
  using Point = std::optional<std::pair<int, int>>;
  const std::pair<std::string_view, Point> cases[] = {
      {"1734|962", std::pair(1734, 962)},
      {"-10|20", std::pair(-10, 20)},
      {"100|abc", std::pair(100, 0)},
      {"|", std::pair(0, 0)},
      {"1|2|3", std::nullopt},
      {"100", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParsePoint(text), expected) << text;
  EXPECT_EQ(FormatPoint(-3, 0), "-3|0");
  EXPECT_EQ(SpeedBarPositionDefault(1366, 768), "1180|650");
}

}  // namespace
}  // namespace lumora::settings
