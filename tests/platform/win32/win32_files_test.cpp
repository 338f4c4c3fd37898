#include "platform/win32/win32_files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "platform/win32/scoped_win.h"

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
