#include "clients/list_files.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/sim/simulated_drive.h"
#include "support/test_support.h"

namespace lumora::clients {
namespace {

// A list view that records its rows as the program's views would show them.
class RecordingView final : public ui::ListViewRows {
 public:
  std::size_t AppendRow() override {
    rows.emplace_back();
    return rows.size() - 1;
  }
  void SetCell(std::size_t row, int column, std::string_view text) override {
    rows[row][column] = std::string(text);
  }
  std::vector<std::map<int, std::string>> rows;
};

class ListFilesTest : public ::testing::Test {
 protected:
  testing::TempFolder folder;
  platform::sim::SimulatedDrive drive{folder.Path()};

  void WriteRaw(std::string_view bytes) {
    testing::WriteHostFile(drive.HostPath(kBlacklistPath), bytes);
  }
  std::string RawFile(std::string_view path) { return testing::ReadHostFile(drive.HostPath(path)); }
};

TEST(ListText, FindTextIgnoresAsciiCaseAndCountsCp936Bytes) {
  EXPECT_EQ(FindText("AA-BB-CC-DD-EE-FF+x", "aa-bb-cc-dd-ee-ff"), 1);
  EXPECT_EQ(FindText("手机 AA-BB", "aa-bb"), 6);  // after 4 bytes of Chinese and a blank
  EXPECT_EQ(FindText("x+AA-BB-CC-DD-EE-FF的手机", "的手机"), 20);
  EXPECT_EQ(FindText("abc", ""), 1);
  EXPECT_EQ(FindText("", ""), -1);
  EXPECT_EQ(FindText("abc", "abd"), -1);
}

TEST(ListText, SplitKeepsInnerEmptyPiecesButNoEmptyLastOne) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(SplitText("", "\r\n"), Pieces{});
  EXPECT_EQ(SplitText("a\r\nb", "\r\n"), (Pieces{"a", "b"}));
  EXPECT_EQ(SplitText("a\r\nb\r\n", "\r\n"), (Pieces{"a", "b"}));
  EXPECT_EQ(SplitText("\r\na", "\r\n"), (Pieces{"", "a"}));
  EXPECT_EQ(SplitText("a\r\n\r\nb", "\r\n"), (Pieces{"a", "", "b"}));
  EXPECT_EQ(SplitText("a+b+", "+"), (Pieces{"a", "b"}));
  EXPECT_EQ(SplitText("a\nb", "\r\n"), (Pieces{"a\nb"}));  // a bare LF is no line break
}

TEST(ListText, LineOperations) {
  const std::string text = "one\r\nTWO+x\r\nthree\r\n";
  EXPECT_EQ(FindLineContaining(text, "two"), 2);
  EXPECT_EQ(FindLineContaining(text, "x"), 2);  // anywhere in a line, names too
  EXPECT_EQ(FindLineContaining(text, "four"), 0);
  EXPECT_EQ(FindLineContaining(text, ""), 1);
  EXPECT_EQ(LineAt(text, 3), "three");
  EXPECT_EQ(LineAt(text, 0), "");
  EXPECT_EQ(LineAt(text, 4), "");
  EXPECT_EQ(ReplaceLine(text, 2, "2"), "one\r\n2\r\nthree");
  EXPECT_EQ(RemoveLine(text, 1), "TWO+x\r\nthree");
  EXPECT_EQ(RemoveLine(text, 9), "one\r\nTWO+x\r\nthree");
  EXPECT_EQ(RemoveLine("only\r\n", 1), "");
}

TEST(ListText, ParsesEntriesByFieldCount) {
  struct Case {
    std::string_view line, mac, name;
    bool hasName;
  };
  const Case cases[] = {
      {"AA-BB-CC-DD-EE-FF+手机", "AA-BB-CC-DD-EE-FF", "手机", true},
      {"AA-BB-CC-DD-EE-FF", "AA-BB-CC-DD-EE-FF", "", false},
      {"AA-BB-CC-DD-EE-FF+a+b", "AA-BB-CC-DD-EE-FF", "", false},
      {"AA-BB-CC-DD-EE-FF+", "AA-BB-CC-DD-EE-FF", "", false},
      {"+名字", "", "名字", true},
  };
  for (const Case& c : cases) {
    const ListEntry entry = ParseListEntry(c.line);
    EXPECT_EQ(entry.mac, c.mac) << c.line;
    EXPECT_EQ(entry.name, c.name) << c.line;
    EXPECT_EQ(entry.hasName, c.hasName) << c.line;
  }
}

TEST(ListText, DeviceNamesFollowTheFirst18Bytes) {
  const std::string file = "\r\nAA-BB-CC-DD-EE-FF+名+字\r\n11-22-33-44-55-66+\r\n临时+x";
  EXPECT_EQ(DeviceNameFor(file, "aa-bb-cc-dd-ee-ff"), "名+字");
  EXPECT_EQ(DeviceNameFor(file, "11-22-33-44-55-66"), "");
  EXPECT_EQ(DeviceNameFor(file, "77-77-77-77-77-77"), "");
  EXPECT_EQ(DeviceNameFor(file, ""), "");  // the placeholder line is shorter than 18 bytes
  EXPECT_EQ(DeviceNameOfLine("AA-BB-CC-DD-EE-FF+手机"), "手机");
}

TEST_F(ListFilesTest, LoadsRowsIntoTheMacAndNameColumns) {
  WriteRaw("AA-BB-CC-DD-EE-FF+\xCA\xD6\xBB\xFA\r\n"  // 手机 in CP936
           "11-22-33-44-55-66\r\n"
           "\r\n"
           "22-22-22-22-22-22+a+b");
  RecordingView view;
  LoadListFileIntoView(drive, kBlacklistPath, view, 1);
  ASSERT_EQ(view.rows.size(), 3u);  // the empty line is no device
  EXPECT_EQ(view.rows[0], (std::map<int, std::string>{{1, "AA-BB-CC-DD-EE-FF"}, {2, "手机"}}));
  EXPECT_EQ(view.rows[1], (std::map<int, std::string>{{1, "11-22-33-44-55-66"}}));
  EXPECT_EQ(view.rows[2], (std::map<int, std::string>{{1, "22-22-22-22-22-22"}}));

  RecordingView whitelist;
  LoadListFileIntoView(drive, kWhitelistPath, whitelist, 0);  // no file: no rows
  EXPECT_TRUE(whitelist.rows.empty());
}

TEST_F(ListFilesTest, LastLineLoadsTheSameWithOrWithoutLineBreak) {
  RecordingView withBreak, withoutBreak;
  WriteRaw("AA-BB-CC-DD-EE-FF+x\r\n");
  LoadListFileIntoView(drive, kBlacklistPath, withBreak, 1);
  WriteRaw("AA-BB-CC-DD-EE-FF+x");
  LoadListFileIntoView(drive, kBlacklistPath, withoutBreak, 1);
  EXPECT_EQ(withBreak.rows, withoutBreak.rows);
}

TEST_F(ListFilesTest, WritesCp936AndKeepsOtherLinesByteForByte) {
  WriteRaw("AA-BB-CC-DD-EE-FF+\xFE\x7F\r\n11-22-33-44-55-66+old");
  ChangeListText(drive, kBlacklistPath, [](const std::string& text) {
    return ReplaceLine(text, FindLineContaining(text, "11-22"), "11-22-33-44-55-66+新");
  });
  EXPECT_EQ(RawFile(kBlacklistPath), "AA-BB-CC-DD-EE-FF+\xFE\x7F\r\n11-22-33-44-55-66+\xD0\xC2");

  WriteListText(drive, kWhitelistPath, "");
  EXPECT_TRUE(std::filesystem::exists(drive.HostPath(kWhitelistPath)));
  EXPECT_EQ(RawFile(kWhitelistPath), "");
  EXPECT_EQ(ReadListText(drive, "c:\\missing.txt"), "");
}

}  // namespace
}  // namespace lumora::clients

namespace lumora::clients {
namespace {

TEST(ListText, ASearchableTextAnswersAsTheSearchesItStandsFor) {
  const std::string text =
      "\r\nAA-BB-CC-DD-EE-01+手机\r\naa-bb-cc-dd-ee-02+名+字\r\n"
      "AA-BB-CC-DD-EE-09+和AA-BB-CC-DD-EE-03的平板\r\nAA-BB-CC-DD-EE-03+\r\n临时+x";
  const SearchableListText searchable(text);
  for (const char* key : {"AA-BB-CC-DD-EE-01", "AA-BB-CC-DD-EE-02", "aa-bb-cc-dd-ee-03",
                          "AA-BB-CC-DD-EE-04", "", "临时", "名+字", "\r\n", "EE-09+和"}) {
    EXPECT_EQ(searchable.Contains(key), FindText(text, key) != -1) << key;
    EXPECT_EQ(searchable.DeviceNameFor(key), DeviceNameFor(text, key)) << key;
  }
  EXPECT_FALSE(SearchableListText("").Contains(""));
}

TEST(ListText, ASearchableTextNamesADeviceOnlyByAKeyThatStandsWithinALine) {
  // A line of a hand-edited file may hold a CR of its own; a key that ends in one, or
  // starts with an LF, also occurs across a line break, where no line holds it.
  const std::string text =
      "AA-BB-CC-DD-EE-05\r\nAA-BB-CC-DD-EE-05\r+平板\r\nx\r\n\nAA-BB-CC-DD-EE-06+手机";
  const SearchableListText searchable(text);
  for (const char* key : {"AA-BB-CC-DD-EE-05\r", "\nAA-BB-CC-DD-EE-06", "x\r", "\n"}) {
    EXPECT_EQ(searchable.DeviceNameFor(key), DeviceNameFor(text, key)) << key;
  }
  EXPECT_EQ(searchable.DeviceNameFor("AA-BB-CC-DD-EE-05\r"), "+平板");
}

}  // namespace
}  // namespace lumora::clients
