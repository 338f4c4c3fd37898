#pragma once
// Console programs as real child processes, their output read through a pipe.

#include <optional>
#include <string>
#include <string_view>

#include "platform/console_port.h"

namespace lumora::platform::win32 {

// The program a command line starts, as the full path handed to CreateProcessW: a bare
// name ("netsh", "control.exe") in the system folder, a full path as it stands. Windows
// would look for a bare name first beside the program and in the current folder, where
// anyone may have left a file of that name. Any other name (a relative path) is refused,
// reported, and gives nothing.
std::optional<std::wstring> StartedProgramPath(std::string_view commandLine);

class Win32Console final : public ConsolePort {
 public:
  std::string Run(std::string_view commandLine, const std::function<bool()>& keepGoing) override;
};

}  // namespace lumora::platform::win32
