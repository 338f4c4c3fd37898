// The settings file: any file content reads without fault, and a value written under a
// section and key reads back as the value (in the form the reader gives every value),
// while every other key of the program keeps what it read before.

#include <array>

#include "fuzz_input.h"
#include "memory_files.h"
#include "settings/settings.h"
#include "text/cp936.h"
#include "text/ini_text.h"

using namespace lumora;

namespace {

constexpr std::array kProgramKeys = {
    settings::kSkinColor,          settings::kMonitorMode,
    settings::kSpeedBarShown,      settings::kShowPassPhrase,
    settings::kNetworkName,        settings::kPassPhrase,
    settings::kRememberConnection, settings::kRememberedConnection,
    settings::kAutoStart,          settings::kSpeedBarPosition,
    settings::kHostedNameOverride, settings::kHostedNameOverrideName,
};

bool IsFileBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\r'; }

std::string_view TrimFileBlanks(std::string_view s) {
  while (!s.empty() && IsFileBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsFileBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Whether the codec keeps the text as it stands in the file: a character the file
// cannot hold, or a stray byte that joins its neighbour there, reads back as another.
bool KeptInFile(std::string_view line) {
  return text::Utf8FromCp936(text::Cp936FromUtf8(line)) == line;
}

// Names a line of the file can carry: no line break, no blanks around them, nothing that
// the reader takes as the end of a section name or of a key, or as a comment.
bool IsSectionName(std::string_view name) {
  return !name.empty() && static_cast<unsigned char>(name.front()) > 32 &&
         !IsFileBlank(name.back()) && name.find_first_of("\r\n]") == std::string_view::npos &&
         KeptInFile("[" + std::string(name) + "]");
}

bool IsKeyName(std::string_view name) {
  return !name.empty() && static_cast<unsigned char>(name.front()) > 32 &&
         !IsFileBlank(name.back()) && name.front() != ';' && name.front() != '[' &&
         name.find_first_of("\r\n=") == std::string_view::npos &&
         KeptInFile(std::string(name) + "=");
}

// What the reader gives for a written value: the value up to its line break, without
// surrounding blanks or one pair of enclosing quotes, cut to the longest value read.
std::string AsRead(std::string_view value) {
  value = TrimFileBlanks(value.substr(0, value.find_first_of("\r\n")));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(text::Cp936Prefix(value, settings::kMaxValueBytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 4);
  fuzz::MemoryFiles files;
  files.ReplaceWholeFile(settings::kSettingsPath, pieces[0]);
  settings::Settings store(files);

  std::array<std::string, kProgramKeys.size()> before;
  for (std::size_t i = 0; i < kProgramKeys.size(); ++i) before[i] = store.Read(kProgramKeys[i]);

  const std::string section = text::Utf8FromCp936(pieces[1]);
  const std::string key = text::Utf8FromCp936(pieces[2]);
  const std::string value = text::Utf8FromCp936(pieces[3]);
  store.ReadSetting(section, key);
  const std::string content = text::Utf8FromCp936(pieces[0]);
  text::FindIniValue(content, section, key);
  text::SetIniValue(content, section, key, value);
  if (!IsSectionName(section) || !IsKeyName(key) ||
      !KeptInFile("=" + value.substr(0, value.find_first_of("\r\n")) + "\r"))
    return 0;

  store.WriteSetting(section, key, value);
  fuzz::Check(store.ReadSetting(section, key, "default") == AsRead(value),
              "a written value reads back");
  for (std::size_t i = 0; i < kProgramKeys.size(); ++i) {
    const settings::SettingKey& other = kProgramKeys[i];
    if (text::FindIniValue("[" + section + "]\r\n" + key + "=", other.section, other.key))
      continue;  // the same key, spelt in another case
    fuzz::Check(store.Read(other) == before[i], "a write leaves the other keys alone");
  }
  return 0;
}
