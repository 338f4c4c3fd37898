#pragma once
// The Task Scheduler's tasks that start a program when the user logs on. Windows starts
// a program that asks for administrator rights from such a task, never from the Run key
// while User Account Control is on.

#include <optional>
#include <string>
#include <string_view>

namespace lumora::platform {

class LogonTaskPort {
 public:
  virtual ~LogonTaskPort() = default;
  // Registers the task of that name, replacing one already there: at the logon of the
  // user this program runs as, it starts the program (a full path, no arguments) with
  // the highest privileges in the user's session, without a time limit, on battery too,
  // and not a second time while it runs. false when that cannot be done.
  virtual bool Register(std::string_view taskName, std::string_view programPath) = 0;
  // The program the task of that name starts; nullopt when there is no such task.
  virtual std::optional<std::string> RegisteredProgram(std::string_view taskName) = 0;
  // Deletes the task of that name; true when it is not there afterwards.
  virtual bool Delete(std::string_view taskName) = 0;
};

}  // namespace lumora::platform
