#pragma once
// The three list files: one entry per CR LF line, MAC text + "+" + device name, in
// code page 936 on disk and UTF-8 here. There is no model of a file in memory: every
// action reads the whole file, changes the text and writes it back, as one unit under
// the file's lock (ChangeListText).
//
// Positions and lengths are those of the CP936 form, as the files hold it. Searches
// treat ASCII letters as equal to their other case and match only at the start of a
// character.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_port.h"
#include "text/search.h"
#include "ui/list_view_rows.h"

namespace lumora::clients {

inline constexpr std::string_view kBlacklistPath = "c:\\wifiblack.txt";
inline constexpr std::string_view kWhitelistPath = "c:\\wifiwhite.txt";
inline constexpr std::string_view kDeviceNamePath = "c:\\wifiname.txt";

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::string_view kFieldSeparator = "+";

// Stand-ins for an empty MAC cell: an empty key would match every line.
inline constexpr std::string_view kBlacklistRemovalPlaceholder = "我爱你";
inline constexpr std::string_view kWhitelistPlaceholder = "填充";
inline constexpr std::string_view kDeviceNamePlaceholder = "临时";

// The bytes of a device-name line before the name: the 17-character MAC and "+".
inline constexpr std::size_t kDeviceNameOffset = 18;

// The whole file, decoded; the empty text when it is missing or unreadable.
std::string ReadListText(platform::FilePort& files, std::string_view path);

// Replaces the file's whole content with text (encoded), adding nothing; failures
// are ignored.
void WriteListText(platform::FilePort& files, std::string_view path, std::string_view text);

// One read-change-write unit: change gets the current text and returns the new text,
// or nullopt to leave the file alone.
void ChangeListText(platform::FilePort& files, std::string_view path,
                    const std::function<std::optional<std::string>(const std::string&)>& change);

// 1-based position of the first occurrence of key, or -1. An empty key is found at 1
// in any non-empty text.
int FindText(std::string_view text, std::string_view key);

// The pieces between separators; see the rules in list_files.cpp.
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);

// The lines of a text: SplitText at CR LF.
std::vector<std::string> SplitLines(std::string_view text);

// 1-based number of the first line containing key, 0 when none does.
int FindLineContaining(std::string_view text, std::string_view key);

// Line n (1-based), or the empty text when there is no such line.
std::string LineAt(std::string_view text, int n);

// The lines with line n replaced (or dropped), joined by CR LF with nothing after the
// last. ReplaceLine needs 1 <= n <= line count; RemoveLine rejoins the lines unchanged
// when n is out of range.
std::string ReplaceLine(std::string_view text, int n, std::string_view newLine);
std::string RemoveLine(std::string_view text, int n);

struct ListEntry {
  std::string mac;
  std::string name;
  bool hasName = false;  // exactly two fields: the name stands in the line
};

// Exactly two "+" fields: MAC and name. One, or three and more: the first field as MAC,
// no name.
ListEntry ParseListEntry(std::string_view line);

// Appends one row per non-empty line of the file to the view: the MAC in macColumn
// and, for a line of exactly two fields, the name in the column after it.
void LoadListFileIntoView(platform::FilePort& files, std::string_view path, ui::ListViewRows& view,
                          int macColumn);

// The device name a line of the device-name file holds: everything after its first
// 18 bytes; empty for a shorter line.
std::string DeviceNameOfLine(std::string_view line);

// The name the device-name file holds for a MAC, by the first line that contains it
// (the placeholder stands for an empty MAC); empty when none.
std::string DeviceNameFor(std::string_view deviceNameText, std::string_view mac);

// A list file's text read once and searched for many keys (a scan looks up every
// device): the same answers as FindText and DeviceNameFor.
class SearchableListText {
 public:
  explicit SearchableListText(std::string text);
  bool Contains(std::string_view key) const { return folded_.Find(key) != std::string::npos; }
  std::string DeviceNameFor(std::string_view mac) const;

 private:
  std::string text_;
  text::FoldedText folded_;
};

}  // namespace lumora::clients
