#include "forms/grid_model.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(GridModel, StartsWithOneEmptyRowAndKeepsCellsWhenGrowing) {
  GridModel grid(3, 7);
  EXPECT_EQ(grid.RowCount(), 1);
  EXPECT_EQ(grid.Cell(2, 0), L"");
  grid.SetCell(0, 0, L"1");
  grid.SetRowCount(1);  // the single row stays and keeps its text
  EXPECT_EQ(grid.Cell(0, 0), L"1");
  grid.SetRowCount(3);
  grid.SetCell(1, 2, L"B");
  EXPECT_EQ(grid.Cell(0, 0), L"1");
  EXPECT_EQ(grid.Cell(1, 2), L"B");
  grid.SetRowCount(0);  // never fewer than one row
  EXPECT_EQ(grid.RowCount(), 1);
}

TEST(GridModel, OutOfRangeCellsReadEmptyAndIgnoreWrites) {
  GridModel grid(3, 7);
  for (auto [column, row] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 1}}) {
    grid.SetCell(column, row, L"x");
    EXPECT_EQ(grid.Cell(column, row), L"") << column << "," << row;
  }
}

TEST(GridModel, CurrentRowIsClampedAndScrolledIntoView) {
  GridModel grid(3, 7);
  grid.SetRowCount(20);
  const struct {
    int set, row, top;
  } steps[] = {{6, 6, 0}, {7, 7, 1}, {19, 19, 13}, {25, 19, 13}, {14, 14, 13}, {3, 3, 3}, {-4, 0, 0}};
  for (const auto& s : steps) {
    grid.SetRow(s.set);
    EXPECT_EQ(grid.Row(), s.row) << s.set;
    EXPECT_EQ(grid.TopRow(), s.top) << s.set;
  }
  grid.SetRow(19);
  grid.SetRowCount(1);  // shrinking pulls the current and the top row back
  EXPECT_EQ(grid.Row(), 0);
  EXPECT_EQ(grid.TopRow(), 0);
}

TEST(ScrollRange, PositionIsClampedAndReportsChanges) {
  ScrollRange range;
  EXPECT_FALSE(range.SetMax(7));  // position 0 stays inside
  EXPECT_FALSE(range.SetPosition(0));
  EXPECT_TRUE(range.SetPosition(9));
  EXPECT_EQ(range.Position(), 7);
  EXPECT_FALSE(range.SetPosition(7));
  EXPECT_TRUE(range.SetMax(3));  // narrowing the range moves the position along
  EXPECT_EQ(range.Position(), 3);
  EXPECT_TRUE(range.SetPosition(-2));
  EXPECT_EQ(range.Position(), 0);
}

}  // namespace
}  // namespace forms
