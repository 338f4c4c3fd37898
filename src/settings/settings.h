#pragma once
// The settings file "c:\lmrawifi.ini": private-profile text in code page 936. There is
// no cache: each read goes to the file, each write goes through at once. One INI
// reader and writer of our own serves both builds (see ini_text.h); every read and
// write holds the file's lock, and a write replaces the file atomically.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_port.h"

namespace lumora::settings {

inline constexpr std::string_view kSettingsPath = "c:\\lmrawifi.ini";

// The longest value a read returns, in CP936 bytes.
inline constexpr std::size_t kMaxValueBytes = 10239;

// A key of the settings file with the default its reader passes (none: a missing key
// reads as the empty text).
struct SettingKey {
  std::string_view section;
  std::string_view key;
  std::optional<std::string_view> defaultValue;
};

// Every key the program keeps.
inline constexpr SettingKey kSkinColor{"skin", "color", "310"};
inline constexpr SettingKey kMonitorMode{"monitor", "monitor", "监控"};
inline constexpr SettingKey kSpeedBarShown{"流量条", "是否开", "否"};
inline constexpr SettingKey kShowPassPhrase{"xsmm", "mm", std::nullopt};
inline constexpr SettingKey kNetworkName{"user", "ssid", "mylove"};
inline constexpr SettingKey kPassPhrase{"user", "key", "2468013579"};
inline constexpr SettingKey kRememberConnection{"xzk2", "xz", std::nullopt};
inline constexpr SettingKey kRememberedConnection{"kdmc", "kdmc", std::nullopt};
inline constexpr SettingKey kAutoStart{"qidong", "qidong", std::nullopt};
// Its default depends on the screen: see SpeedBarPositionDefault.
inline constexpr SettingKey kSpeedBarPosition{"flowposition", "xy", std::nullopt};
inline constexpr SettingKey kHostedNameOverride{"1", "1", std::nullopt};
inline constexpr SettingKey kHostedNameOverrideName{"1", "2", std::nullopt};
// Whether the tray icon tells of devices that join or are cut off: kYes or kNo.
inline constexpr SettingKey kJoinNotices{"notice", "newdevice", "是"};

// The texts of the flag pairs, compared as whole texts, byte for byte.
inline constexpr std::string_view kMonitorBlacklist = "监控";
inline constexpr std::string_view kMonitorWhitelist = "不监控";
inline constexpr std::string_view kYes = "是";
inline constexpr std::string_view kNo = "否";
inline constexpr std::string_view kShowPlain = "1";
inline constexpr std::string_view kShowMasked = "2";
inline constexpr std::string_view kRemember = "1";
inline constexpr std::string_view kDoNotRemember = "2";
inline constexpr std::string_view kAutoStartOn = "y";
inline constexpr std::string_view kAutoStartOff = "n";
inline constexpr std::string_view kOverrideOn = "1";
inline constexpr std::string_view kDefaultSkinColor = "310";

class Settings {
 public:
  explicit Settings(platform::FilePort& files, std::string path = std::string(kSettingsPath));

  // The stored value, surrounding blanks and one pair of enclosing quotes removed,
  // cut to kMaxValueBytes; the default when the file, section or key is missing (the
  // empty text without a default). Leading characters up to code 32 of section and
  // key are skipped first; if either is then empty, the result is the empty text.
  std::string ReadSetting(std::string_view section, std::string_view key,
                          std::optional<std::string_view> defaultValue = std::nullopt) const;

  // Creates the file, section and key as needed or replaces the value where the key
  // stands; every other line stays byte for byte. A value is written up to its first
  // line break, so it can never add a line of its own. A failed write is ignored.
  void WriteSetting(std::string_view section, std::string_view key, std::string_view value);

  std::string Read(const SettingKey& key) const {
    return ReadSetting(key.section, key.key, key.defaultValue);
  }
  void Write(const SettingKey& key, std::string_view value) {
    WriteSetting(key.section, key.key, value);
  }

 private:
  platform::FilePort& files_;
  std::string path_;
};

// A decimal integer as stored (`color`): its leading numeric part, fraction cut
// toward zero; text that is not a number gives 0.
int ParseDecimalInteger(std::string_view text);

// A point as stored (`xy`): left and top joined by "|". Only a text of exactly two
// pieces is a point; each piece reads as ParseDecimalInteger.
std::optional<std::pair<int, int>> ParsePoint(std::string_view text);
std::string FormatPoint(int left, int top);

// The speed bar's place when `xy` is missing: 186 pixels left of the right edge of
// the primary screen and 118 above its bottom edge.
std::string SpeedBarPositionDefault(int screenWidth, int screenHeight);

}  // namespace lumora::settings
