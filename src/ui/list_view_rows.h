#pragma once
// The part of a report-style list view that the loaders of the program fill: rows of
// text cells, appended at the end.

#include <cstddef>
#include <string_view>

namespace lumora::ui {

class ListViewRows {
 public:
  virtual ~ListViewRows() = default;
  // Appends an empty row and returns its index.
  virtual std::size_t AppendRow() = 0;
  virtual void SetCell(std::size_t row, int column, std::string_view text) = 0;
};

}  // namespace lumora::ui
