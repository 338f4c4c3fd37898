#pragma once
// Starting the program with Windows: its value under the machine-wide Run key.

#include <string_view>

#include "platform/logon_registry_port.h"

namespace lumora::app {

inline constexpr std::string_view kRunValuePath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr std::string_view kRunValueName = "lmrawifiqd";

enum class RunAtLogonMode { Test, Delete, Write };

// The value named by the last part of kRunValuePath + name, in one of three modes. Test:
// 1 when the value exists, whatever its data; else 0. Delete: deletes the value, or a
// subkey of that name when there is no such value. Write: sets the value to data as a
// string. The last two give 0.
int RunAtLogon(platform::LogonRegistryPort& registry, std::string_view name, std::string_view data,
               RunAtLogonMode mode);

}  // namespace lumora::app
