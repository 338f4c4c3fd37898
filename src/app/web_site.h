#pragma once
// The program's web site: the addresses of its four pages, and the one way the program
// hands an address to the shell.

#include <string>
#include <string_view>

#include "platform/shell_port.h"

namespace lumora::app {

// The site this build names, and its pages below it.
std::string_view SiteAddress();
std::string UpdateInformationUrl();
std::string AnnouncementPageUrl();
std::string HelpTextUrl();
std::string StatisticsPageUrl();

// Whether the text is a web address that may go to the shell: it begins with http://
// or https:// (either case) and holds no control character and no blank. Anything else
// could name a local program, a file: path or a share, which the shell would run.
bool IsWebAddress(std::string_view address);

// Opens a web address in the default browser; any other text opens nothing.
void OpenWebAddress(platform::ShellPort& shell, std::string_view address);

}  // namespace lumora::app
