#pragma once
// The logon task as the Task Scheduler's own XML (task schema 1.2, from Windows Vista).

#include <string>
#include <string_view>

namespace lumora::platform {

// A task that at the logon of the user with that SID starts the program (a full path, no
// arguments) under that user's interactive token with the highest privileges, without a
// time limit, on battery too, and not again while it runs. UTF-8.
std::string LogonTaskXml(std::string_view userSid, std::string_view programPath);

}  // namespace lumora::platform
