#include "platform/win32/win32_files.h"

#include <gtest/gtest.h>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_diagnostics.h"
#include "support/test_support.h"

namespace lumora::platform::win32 {
namespace {

TEST(Win32Files, ReplacesWholeFilesAtomicallyAndReadsThemBack) {
  testing::TempFolder folder;
  Win32Files files;
  const std::string path = Utf8(folder.Path().wstring()) + "\\名单.txt";
  EXPECT_EQ(files.ReadWholeFile(path), std::nullopt);
  ASSERT_TRUE(files.ReplaceWholeFile(path, std::string("first\r\n\0x", 9)));
  EXPECT_EQ(files.ReadWholeFile(path), std::string("first\r\n\0x", 9));
  ASSERT_TRUE(files.ReplaceWholeFile(path, ""));
  EXPECT_EQ(files.ReadWholeFile(path), "");
  // Only the file itself is left: no temporary file beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_FALSE(files.ReplaceWholeFile(Utf8(folder.Path().wstring()) + "\\no\\such\\dir.txt", "x"));
}

}  // namespace
}  // namespace lumora::platform::win32

namespace lumora::platform::win32 {
namespace {

TEST(Win32DiagnosticLog, WritesEachReportAsAStampedLineInTheLocalAppDataFolder) {
  Win32DiagnosticLog log;
  ASSERT_FALSE(log.Path().empty());
  EXPECT_NE(log.Path().find("\\LumoraWiFi\\diagnostics.log"), std::string::npos);
  Win32Files files;
  const std::size_t before = files.ReadWholeFile(log.Path()).value_or("").size();
  log.Write("GetIpNetTable: 拒绝访问。");
  const std::string after = files.ReadWholeFile(log.Path()).value_or("");
  ASSERT_GT(after.size(), before);
  const std::string added = after.substr(before);
  // "2026-12-10 12:00:00 " and the line, in UTF-8.
  EXPECT_EQ(added.size(), 20 + std::string("GetIpNetTable: 拒绝访问。\r\n").size()) << added;
  EXPECT_TRUE(added.ends_with(" GetIpNetTable: 拒绝访问。\r\n")) << added;
}

}  // namespace
}  // namespace lumora::platform::win32
