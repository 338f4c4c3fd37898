// The logon task's XML: the settings that make it start the program at logon with
// administrator rights, and the program's path as XML text.
#include "platform/logon_task_xml.h"

#include <gtest/gtest.h>

namespace lumora::platform {
namespace {

std::size_t Count(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size()))
    ++count;
  return count;
}

TEST(LogonTaskXml, StartsTheProgramAtThisUsersLogonWithTheHighestPrivileges) {
  const std::string xml = LogonTaskXml("S-1-5-21-7-1001", "C:\\Program Files\\Lumora\\L.exe");
  EXPECT_TRUE(xml.starts_with(
      R"(<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">)"))
      << xml;
  EXPECT_TRUE(xml.ends_with("</Task>")) << xml;
  for (const std::string_view part : {
           std::string_view("<LogonTrigger><Enabled>true</Enabled><UserId>S-1-5-21-7-1001"
                            "</UserId></LogonTrigger>"),
           std::string_view("<UserId>S-1-5-21-7-1001</UserId><LogonType>InteractiveToken"
                            "</LogonType><RunLevel>HighestAvailable</RunLevel>"),
           std::string_view("<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"),
           std::string_view("<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"),
           std::string_view("<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"),
           std::string_view("<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>"),
           std::string_view("<Exec><Command>C:\\Program Files\\Lumora\\L.exe</Command></Exec>"),
       }) {
    EXPECT_EQ(Count(xml, part), 1u) << part << " in " << xml;
  }
  EXPECT_EQ(Count(xml, "Trigger>"), 2u) << "one trigger only: " << xml;
  EXPECT_EQ(Count(xml, "<Arguments>"), 0u) << xml;
}

TEST(LogonTaskXml, PathsAndUsersAreXmlText) {
  struct Case {
    std::string_view path, command;
  };
  for (const Case& c : {Case{"D:\\工具 & 其他\\L.exe", "D:\\工具 &amp; 其他\\L.exe"},
                        Case{"C:\\a<b>\\L.exe", "C:\\a&lt;b&gt;\\L.exe"},
                        Case{"C:\\&amp;\\L.exe", "C:\\&amp;amp;\\L.exe"},
                        Case{"C:\\\"q'\\L.exe", "C:\\\"q'\\L.exe"}}) {
    const std::string xml = LogonTaskXml("S-1-5-21-1", c.path);
    EXPECT_NE(xml.find("<Command>" + std::string(c.command) + "</Command>"), std::string::npos)
        << c.path << ": " << xml;
  }
  const std::string xml = LogonTaskXml("<&>", "C:\\L.exe");
  EXPECT_EQ(Count(xml, "<UserId>&lt;&amp;&gt;</UserId>"), 2u) << xml;
}

}  // namespace
}  // namespace lumora::platform
