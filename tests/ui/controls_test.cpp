// The list view of the window model, as the program fills it again and again.
#include "ui/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora::ui {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Selection = std::vector<std::size_t>;

// Counts the selection changes the view would mirror.
struct SelectionChanges : ModelObserver {
  int count = 0;
  void OnControlChanged(Control&, Change change) override {
    if (change == Change::RowSelection) ++count;
  }
  void OnWindowChanged(WindowModel&, WindowChange) override {}
};

TEST(ListView, ARefillKeepsSelectedTheRowsStillListedByTheirKey) {
  struct Case {
    const char* what;
    Rows before;
    Selection selected;
    Rows after;
    Selection kept;
  };
  const Rows three = {{"1", "a"}, {"2", "b"}, {"3", "c"}};
  for (const Case& c : {
           Case{"the same rows", three, {1}, three, {1}},
           Case{"moved down, the other text changed",
                three,
                {0, 2},
                {{"1", "new"}, {"2", "a"}, {"9", "b"}, {"4", "c"}},
                {1, 3}},
           Case{"one of them gone", three, {0, 1}, {{"1", "b"}, {"2", "c"}}, {0}},
           Case{"none selected", three, {}, three, {}},
           Case{"emptied", three, {2}, {}, {}},
           // One selected row of two with the same key stands for one row after.
           Case{"a key twice", {{"1", "a"}, {"2", "a"}}, {1}, {{"1", "a"}, {"2", "a"}}, {0}},
       }) {
    WindowModel window("test", {}, "");
    ListView list(window, "list", Place::Window(), {}, {{"n", 20}, {"key", 100}});
    list.SetRows(c.before);
    list.SelectRows(c.selected);
    SelectionChanges changes;
    window.AddObserver(&changes);
    list.RefillRows(c.after, 1);
    window.RemoveObserver(&changes);
    EXPECT_EQ(list.Rows(), c.after) << c.what;
    EXPECT_EQ(list.SelectedRows(), c.kept) << c.what;
    // The view hears of the selection only when it changed.
    EXPECT_EQ(changes.count, c.kept == c.selected ? 0 : 1) << c.what;
  }
}

TEST(ListView, KeysNameEachRowOnceAndAMissingKeyNone) {
  WindowModel window("test", {}, "");
  ListView list(window, "list", Place::Window(), {}, {{"key", 100}});
  list.SetRows({{"a"}, {"b"}, {"a"}, {""}});
  list.SelectRows({0, 2, 3});
  EXPECT_EQ(list.SelectedKeys(0), (std::vector<std::string>{"a", "a", ""}));
  EXPECT_EQ(list.RowsOfKeys(0, {"a", "a", ""}), (Selection{0, 2, 3}));
  EXPECT_EQ(list.RowsOfKeys(0, {"b", "z"}), (Selection{1}));
  EXPECT_EQ(list.RowsOfKeys(0, {"a", "a", "a"}), (Selection{0, 2}));
  EXPECT_EQ(list.RowsOfKeys(0, {}), Selection{});
}

}  // namespace
}  // namespace lumora::ui
