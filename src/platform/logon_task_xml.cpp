#include "platform/logon_task_xml.h"

namespace lumora::platform {

namespace {

std::string XmlText(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

std::string LogonTaskXml(std::string_view userSid, std::string_view programPath) {
  // The trigger names the user: without one it would fire at every user's logon. The
  // command is the path alone, apart from any arguments, so Windows never has to guess
  // where a path with spaces ends.
  const std::string user = XmlText(userSid);
  return R"(<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">)"
         "<Triggers><LogonTrigger><Enabled>true</Enabled><UserId>" +
         user +
         "</UserId></LogonTrigger></Triggers>"
         R"(<Principals><Principal id="Author"><UserId>)" +
         user +
         "</UserId><LogonType>InteractiveToken</LogonType>"
         "<RunLevel>HighestAvailable</RunLevel></Principal></Principals>"
         "<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
         "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
         "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
         "<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Enabled>true</Enabled></Settings>"
         R"(<Actions Context="Author"><Exec><Command>)" +
         XmlText(programPath) + "</Command></Exec></Actions></Task>";
}

}  // namespace lumora::platform
