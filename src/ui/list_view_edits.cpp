#include "ui/list_view_edits.h"

#include <algorithm>

namespace lumora::ui {

namespace {

const std::string& CellOf(const std::vector<std::string>& row, std::size_t column) {
  static const std::string kEmpty;
  return column < row.size() ? row[column] : kEmpty;
}

void SetChangedCells(std::size_t row, const std::vector<std::string>& from,
                     const std::vector<std::string>& to, std::vector<ListEdit>& edits) {
  // A row that has lost cells shows them empty, not with what they held before.
  const std::size_t columns = std::max(from.size(), to.size());
  for (std::size_t column = 0; column < columns; ++column)
    if (CellOf(from, column) != CellOf(to, column))
      edits.push_back({ListEdit::kSetCell, row, column, CellOf(to, column)});
}

}  // namespace

std::vector<ListEdit> ListEdits(const ListRows& shown, const ListRows& wanted) {
  // The rows that stay the same at the top and at the bottom are left alone; what lies
  // between them changes in place, and what is left over goes or comes there.
  const std::size_t common = std::min(shown.size(), wanted.size());
  std::size_t top = 0;
  while (top < common && shown[top] == wanted[top]) ++top;
  std::size_t bottom = 0;
  while (top + bottom < common &&
         shown[shown.size() - 1 - bottom] == wanted[wanted.size() - 1 - bottom])
    ++bottom;
  const std::size_t shownMiddle = shown.size() - top - bottom;
  const std::size_t wantedMiddle = wanted.size() - top - bottom;
  const std::size_t changed = std::min(shownMiddle, wantedMiddle);

  std::vector<ListEdit> edits;
  for (std::size_t row = top; row < top + changed; ++row)
    SetChangedCells(row, shown[row], wanted[row], edits);
  const std::size_t at = top + changed;
  for (std::size_t k = changed; k < shownMiddle; ++k) edits.push_back({ListEdit::kDeleteRow, at});
  for (std::size_t row = at; row < top + wantedMiddle; ++row) {
    edits.push_back({ListEdit::kInsertRow, row, 0, CellOf(wanted[row], 0)});
    SetChangedCells(row, {CellOf(wanted[row], 0)}, wanted[row], edits);
  }
  return edits;
}

}  // namespace lumora::ui
