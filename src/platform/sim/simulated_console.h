#pragma once
// The simulated PC's console: programs are routines that answer a command line with
// the text a real program would print. Their answers leave in code page 936, as a
// real console's do.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/console_port.h"

namespace lumora::platform::sim {

class SimulatedConsole final : public ConsolePort {
 public:
  // The rest of the line after the program's name (as Windows finds the name,
  // text/command_line.h), for the program to split, and the port's keepGoing; returns
  // what the program prints, in UTF-8. A program that runs long polls keepGoing and stops
  // when it answers false.
  using Program = std::function<std::string(std::string_view arguments,
                                            const std::function<bool()>& keepGoing)>;

  // Installs a program under its name (matched ignoring ASCII case, ".exe" optional).
  void Install(std::string name, Program program);

  std::string Run(std::string_view commandLine, const std::function<bool()>& keepGoing) override;

  // Every command line run so far, in order.
  std::vector<std::string> History() const;

 private:
  mutable std::mutex lock_;
  std::map<std::string, Program> programs_;
  std::vector<std::string> history_;
};

}  // namespace lumora::platform::sim
