#pragma once
// Starting the program with Windows: its value under the machine-wide Run key, which
// holds the option, and beside it a logon task, which really starts the program while
// User Account Control keeps the Run key from starting a program that asks for
// administrator rights.

#include <string_view>

#include "platform/logon_registry_port.h"
#include "platform/logon_task_port.h"

namespace lumora::app {

inline constexpr std::string_view kRunValuePath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr std::string_view kRunValueName = "lmrawifiqd";
inline constexpr std::string_view kLogonTaskName = "lmrawifiqd";

enum class RunAtLogonMode { Test, Delete, Write };

// The value named by the last part of kRunValuePath + name, in one of three modes. Test:
// 1 when the value exists, whatever its data; else 0. Delete: deletes the value, or a
// subkey of that name when there is no such value. Write: sets the value to data as a
// string. The last two give 0.
int RunAtLogon(platform::LogonRegistryPort& registry, std::string_view name, std::string_view data,
               RunAtLogonMode mode);

// Whether the program starts with Windows: the Run value exists (whatever its data) and
// so does the logon task (whatever program it starts).
bool StartsWithWindows(platform::LogonRegistryPort& registry, platform::LogonTaskPort& tasks);

// What the box shows at start-up: whether the Run value exists, as it always has. A value
// without its task (an older version wrote only the value) is reported, since Windows does
// not start the program from it while User Account Control is on; ticking the box again
// registers the task. Writes nothing.
bool RunValueAtStartup(platform::LogonRegistryPort& registry, platform::LogonTaskPort& tasks);

// Ticking (on) registers the task for the program's full path and then writes the Run
// value with it; clearing deletes the value and then the task. What cannot be done is
// undone where that keeps the value and the task together, and reported. Answers
// StartsWithWindows afterwards.
bool SetStartWithWindows(platform::LogonRegistryPort& registry, platform::LogonTaskPort& tasks,
                         std::string_view programPath, bool on);

}  // namespace lumora::app
