// The string grid's data and navigation, without drawing: rows of cells, the current cell and
// the first visible row. Appending a row or moving the current row costs the same at any size.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace forms {

class GridModel {
 public:
  GridModel(int columnCount, int visibleRows) : columnCount_(columnCount), visibleRows_(std::max(1, visibleRows)) {
    SetRowCount(1);
  }

  int ColumnCount() const { return columnCount_; }
  int RowCount() const { return static_cast<int>(cells_.size() / columnCount_); }
  // Rows added are empty; the current row and the first visible row stay inside the rows.
  void SetRowCount(int rows);

  // Out-of-range cells read as empty and ignore writes.
  const std::wstring& Cell(int column, int row) const;
  void SetCell(int column, int row, std::wstring text);

  int Row() const { return row_; }
  int Column() const { return column_; }
  int TopRow() const { return topRow_; }
  int VisibleRows() const { return visibleRows_; }
  // Clamped to the rows and columns; the row is brought into view.
  void SetRow(int row);
  void SetColumn(int column) { column_ = std::clamp(column, 0, columnCount_ - 1); }

 private:
  void ScrollIntoView();

  int columnCount_;
  int visibleRows_;
  std::vector<std::wstring> cells_;  // row-major
  int row_ = 0, column_ = 0, topRow_ = 0;
};

// Minimum, maximum and a position always inside them.
class ScrollRange {
 public:
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  // Each returns true when the position changed (it is clamped to the range).
  bool SetPosition(int position);
  bool SetMin(int min);
  bool SetMax(int max);

 private:
  bool Clamp();
  int min_ = 0, max_ = 100, position_ = 0;
};

}  // namespace forms
