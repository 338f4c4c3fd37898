#pragma once
// The list-view operations that turn the rows a real list shows into the model's rows.
// The real list keeps its items' selection and scroll position only across the
// operations it is given, so the edits touch no more than what changed: rows taken out
// of the middle leave as items, rows put in the middle come in as items, and of a row
// that stays only the cells that differ are set.

#include <cstddef>
#include <string>
#include <vector>

namespace lumora::ui {

using ListRows = std::vector<std::vector<std::string>>;

struct ListEdit {
  enum Kind {
    kDeleteRow,  // the item at row goes; the rows below move up
    kInsertRow,  // a new item at row, its first cell text and the others empty
    kSetCell,    // the cell at row, column shows text
  };
  Kind kind = kSetCell;
  std::size_t row = 0;
  std::size_t column = 0;
  std::string text;
  bool operator==(const ListEdit&) const = default;
};

// The edits, in the order they are to be applied, that make a list showing shown show
// wanted. A cell a row lacks is an empty cell.
std::vector<ListEdit> ListEdits(const ListRows& shown, const ListRows& wanted);

}  // namespace lumora::ui
