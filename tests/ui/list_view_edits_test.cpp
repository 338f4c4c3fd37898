// Which list-view operations the view gives a real list to show the model's rows.
#include "ui/list_view_edits.h"

#include <gtest/gtest.h>

#include <random>

namespace lumora::ui {
namespace {

// A report-style list as the real one behaves: items of a fixed number of columns.
constexpr std::size_t kColumns = 4;

ListRows Applied(ListRows list, const std::vector<ListEdit>& edits) {
  for (auto& row : list) row.resize(kColumns);
  for (const ListEdit& edit : edits) {
    if (edit.kind == ListEdit::kDeleteRow) {
      if (edit.row >= list.size())
        ADD_FAILURE() << "delete past the end: " << edit.row;
      else
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(edit.row));
    } else if (edit.kind == ListEdit::kInsertRow) {
      if (edit.row > list.size())
        ADD_FAILURE() << "insert past the end: " << edit.row;
      else
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(edit.row), {edit.text, "", "", ""});
    } else if (edit.row >= list.size()) {
      ADD_FAILURE() << "cell of no row: " << edit.row;
    } else {
      list[edit.row][edit.column] = edit.text;
    }
  }
  return list;
}

ListRows Padded(ListRows rows) {
  for (auto& row : rows) row.resize(kColumns);
  return rows;
}

TEST(ListViewEdits, OnlyWhatChangedIsTouched) {
  const ListRows three{
      {"1", "192.168.137.10", "AA"}, {"2", "192.168.137.11", "BB"}, {"3", "192.168.137.12", "CC"}};
  using E = ListEdit;
  const struct {
    const char* what;
    ListRows shown, wanted;
    std::vector<ListEdit> edits;
  } cases[] = {
      {"nothing changed", three, three, {}},
      {"a row taken out of the middle leaves as an item",
       three,
       {three[0], three[2]},
       {{E::kDeleteRow, 1}}},
      {"two rows taken from the top", three, {three[2]}, {{E::kDeleteRow, 0}, {E::kDeleteRow, 0}}},
      {"a row appended comes in with its cells",
       {three[0]},
       {three[0], three[1]},
       {{E::kInsertRow, 1, 0, "2"},
        {E::kSetCell, 1, 1, "192.168.137.11"},
        {E::kSetCell, 1, 2, "BB"}}},
      {"a row put in the middle",
       {three[0], three[2]},
       three,
       {{E::kInsertRow, 1, 0, "2"},
        {E::kSetCell, 1, 1, "192.168.137.11"},
        {E::kSetCell, 1, 2, "BB"}}},
      {"one cell changed",
       three,
       {three[0], {"2", "192.168.137.11", "BB", "小米手机"}, three[2]},
       {{E::kSetCell, 1, 3, "小米手机"}}},
      {"a row that lost cells shows them empty",
       {{"1", "192.168.137.10", "AA", "小米手机"}},
       {{"1", "192.168.137.10"}},
       {{E::kSetCell, 0, 2, ""}, {E::kSetCell, 0, 3, ""}}},
      {"removed and changed at once: changed in place, the rest goes",
       three,
       {{"1", "192.168.137.20", "DD"}},
       {{E::kSetCell, 0, 1, "192.168.137.20"},
        {E::kSetCell, 0, 2, "DD"},
        {E::kDeleteRow, 1},
        {E::kDeleteRow, 1}}},
      {"all rows gone", three, {}, {{E::kDeleteRow, 0}, {E::kDeleteRow, 0}, {E::kDeleteRow, 0}}},
      {"an empty row appended",
       three,
       {three[0], three[1], three[2], {}},
       {{E::kInsertRow, 3, 0, ""}}},
  };
  for (const auto& c : cases) {
    const std::vector<ListEdit> edits = ListEdits(c.shown, c.wanted);
    EXPECT_EQ(edits, c.edits) << c.what;
    EXPECT_EQ(Applied(c.shown, edits), Padded(c.wanted)) << c.what;
  }
}

TEST(ListViewEdits, AnyRowsBecomeTheWantedRows) {
  // Rows drawn from a few values, so that equal rows and equal cells are common.
  std::mt19937 random(7);
  const auto rows = [&random] {
    ListRows made(random() % 6);
    for (auto& row : made) {
      row.resize(random() % (kColumns + 1));
      for (auto& cell : row) cell = std::string(1, static_cast<char>('a' + random() % 3));
    }
    return made;
  };
  for (int i = 0; i < 2000; ++i) {
    const ListRows shown = rows(), wanted = rows();
    ASSERT_EQ(Applied(shown, ListEdits(shown, wanted)), Padded(wanted)) << i;
  }
}

}  // namespace
}  // namespace lumora::ui
