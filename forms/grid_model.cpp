#include "forms/grid_model.h"

namespace forms {

void GridModel::SetRowCount(int rows) {
  rows = std::max(rows, 1);
  cells_.resize(static_cast<std::size_t>(rows) * columnCount_);
  if (row_ >= rows) row_ = rows - 1;
  topRow_ = std::clamp(topRow_, 0, std::max(0, rows - visibleRows_));
  topRow_ = std::min(topRow_, row_);
}

const std::wstring& GridModel::Cell(int column, int row) const {
  static const std::wstring kEmpty;
  if (column < 0 || column >= columnCount_ || row < 0 || row >= RowCount()) return kEmpty;
  return cells_[static_cast<std::size_t>(row) * columnCount_ + column];
}

void GridModel::SetCell(int column, int row, std::wstring text) {
  if (column < 0 || column >= columnCount_ || row < 0 || row >= RowCount()) return;
  cells_[static_cast<std::size_t>(row) * columnCount_ + column] = std::move(text);
}

void GridModel::SetRow(int row) {
  row_ = std::clamp(row, 0, RowCount() - 1);
  ScrollIntoView();
}

void GridModel::ScrollIntoView() {
  if (row_ < topRow_) topRow_ = row_;
  if (row_ >= topRow_ + visibleRows_) topRow_ = row_ - visibleRows_ + 1;
}

bool ScrollRange::SetPosition(int position) {
  const int old = position_;
  position_ = std::clamp(position, min_, std::max(min_, max_));
  return position_ != old;
}

bool ScrollRange::SetMin(int min) {
  min_ = min;
  return Clamp();
}

bool ScrollRange::SetMax(int max) {
  max_ = max;
  return Clamp();
}

bool ScrollRange::Clamp() { return SetPosition(position_); }

}  // namespace forms
