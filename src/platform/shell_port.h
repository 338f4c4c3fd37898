#pragma once
// The shell: opening an address in the default browser, starting a program.

#include <string_view>

namespace lumora::platform {

class ShellPort {
 public:
  virtual ~ShellPort() = default;
  // Opens the text with the shell, as a double click would; failures are not reported.
  virtual void OpenUrl(std::string_view url) = 0;
  // Starts the command line as a new process with its default window, without
  // waiting for it; a failure goes to the diagnostic log only.
  virtual void StartProgram(std::string_view commandLine) = 0;
};

}  // namespace lumora::platform
