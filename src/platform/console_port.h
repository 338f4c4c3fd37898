#pragma once
// Console programs run with no window and their output captured.

#include <functional>
#include <string>
#include <string_view>

namespace lumora::platform {

class ConsolePort {
 public:
  virtual ~ConsolePort() = default;

  // Runs the command line (UTF-8) as it stands, with no command interpreter in front.
  // Returns every byte the program wrote to standard output and standard error, in
  // the order it wrote them, in the console code page; the empty text when it could
  // not be started. While the program runs, keepGoing is called about every 10 ms;
  // when it answers false the program is terminated and what it printed so far is
  // returned.
  virtual std::string Run(std::string_view commandLine,
                          const std::function<bool()>& keepGoing) = 0;
};

}  // namespace lumora::platform
