#include "settings/settings.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "exec/file_unit.h"
#include "text/cp936.h"
#include "text/ini_text.h"

namespace lumora::settings {

namespace {

std::string_view SkipControlPrefix(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  return s;
}

// Windows hands out a default without its trailing spaces (only spaces: a trailing
// tab stays).
std::string_view DefaultAsRead(std::optional<std::string_view> defaultValue) {
  std::string_view value = defaultValue.value_or(std::string_view());
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  return value;
}

}  // namespace

Settings::Settings(platform::FilePort& files, std::string path)
    : files_(files), path_(std::move(path)) {}

std::string Settings::ReadSetting(std::string_view section, std::string_view key,
                                  std::optional<std::string_view> defaultValue) const {
  section = SkipControlPrefix(section);
  key = SkipControlPrefix(key);
  if (section.empty() || key.empty()) return {};

  std::optional<std::string> value;
  if (const std::optional<std::string> bytes = exec::ReadFileAsUnit(files_, path_)) {
    value = text::FindIniValue(text::Utf8FromCp936(*bytes), section, key);
  }
  const std::string_view result = value ? std::string_view(*value) : DefaultAsRead(defaultValue);
  return std::string(text::Cp936Prefix(result, kMaxValueBytes));
}

void Settings::WriteSetting(std::string_view section, std::string_view key,
                            std::string_view value) {
  // The change runs under the file's lock, so a write from another thread can never
  // fall between this read and this replace and be lost.
  exec::ChangeFileAsUnit(
      files_, path_, [&](const std::optional<std::string>& bytes) -> std::optional<std::string> {
        std::string next = text::Cp936FromUtf8(text::SetIniValue(
            text::Utf8FromCp936(bytes.value_or(std::string())), section, key, value));
        // The speed bar writes its place on every move, mostly unchanged: spare the disk.
        if (bytes && *bytes == next) return std::nullopt;
        return next;
      });
}

int ParseDecimalInteger(std::string_view text) {
  std::size_t pos = 0;
  // Leading white space, a sign, then digits: the numeric prefix a C reader takes.
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // Counted one past INT_MAX so that INT_MIN stays reachable; beyond that it clamps.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    magnitude = std::min(magnitude * 10 + (text[pos] - '0'), kLimit);
  }
  if (negative) return static_cast<int>(-magnitude);
  return static_cast<int>(std::min<std::int64_t>(magnitude, kLimit - 1));
}

std::optional<std::pair<int, int>> ParsePoint(std::string_view text) {
  const std::size_t bar = text.find('|');
  if (bar == std::string_view::npos || text.find('|', bar + 1) != std::string_view::npos) {
    return std::nullopt;
  }
  return std::pair{ParseDecimalInteger(text.substr(0, bar)),
                   ParseDecimalInteger(text.substr(bar + 1))};
}

std::string FormatPoint(int left, int top) {
  return std::to_string(left) + "|" + std::to_string(top);
}

std::string SpeedBarPositionDefault(int screenWidth, int screenHeight) {
  return FormatPoint(screenWidth - 186, screenHeight - 118);
}

}  // namespace lumora::settings
