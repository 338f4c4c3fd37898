#pragma once
// Private-profile text, read and changed the way Windows' private-profile functions
// do it, on the decoded (UTF-8) content of a file. Section and key names are compared
// ignoring ASCII letter case.

#include <optional>
#include <string>
#include <string_view>

namespace lumora::text {

// The value of key in section: the text after the first "=" with surrounding blanks
// and one pair of enclosing quotes (" or ') removed; nullopt when the section or the
// key is missing.
std::optional<std::string> FindIniValue(std::string_view iniText, std::string_view section,
                                        std::string_view key);

// The text with key set to value: replaced where the key stands, else appended at
// the end of its section, else in a new section at the end. Every other line stays
// as it was, byte for byte. New lines end in CR LF.
std::string SetIniValue(std::string_view iniText, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace lumora::text
