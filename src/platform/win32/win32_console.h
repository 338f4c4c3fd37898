#pragma once
// Console programs as real child processes, their output read through a pipe.

#include "platform/console_port.h"

namespace lumora::platform::win32 {

class Win32Console final : public ConsolePort {
 public:
  std::string Run(std::string_view commandLine, const std::function<bool()>& keepGoing) override;
};

}  // namespace lumora::platform::win32
