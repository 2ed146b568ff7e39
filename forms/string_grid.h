// A string grid window: fixed row height, no header rows, grid lines, the current row kept in
// view. Only visible rows are painted, so a long table costs no more to draw than a short one.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "forms/canvas.h"
#include "forms/forms.h"
#include "forms/grid_model.h"

namespace forms {

class StringGrid : public WinControl {
 public:
  StringGrid(Form& owner, int left, int top, int width, int height, std::vector<int> columnWidths, int rowHeight);

  int RowCount() const { return model_.RowCount(); }
  void SetRowCount(int rows);
  const std::wstring& Cell(int column, int row) const { return model_.Cell(column, row); }
  void SetCell(int column, int row, std::wstring text);
  int Row() const { return model_.Row(); }
  void SetRow(int row);
  int Column() const { return model_.Column(); }
  void SetColumn(int column);
  int TopRow() const { return model_.TopRow(); }
  // The rectangle of a cell inside its grid lines, in the grid's client coordinates.
  RECT CellRect(int column, int row) const;

  Color BackgroundColor = 0x464547;
  Color CellColor = clBlack;
  Color GridLineColor = 0x434343;
  void SetFont(const FontSpec& font);

  // The canvas of the cell being drawn: valid inside OnDrawCell only.
  Canvas* DrawingCanvas() const { return canvas_; }
  std::function<void(int column, int row, const RECT& rect)> OnDrawCell;
  // Called before the grid moves its current row one step for a wheel notch; set handled to
  // keep the grid from moving.
  std::function<void(bool& handled)> OnMouseWheelDown;
  std::function<void(bool& handled)> OnMouseWheelUp;

 protected:
  void WndProc(Message& message) override;
  void Paint() override;

 private:
  void Wheel(int delta);
  void KeyDown(WPARAM key);
  void Invalidate() { InvalidateOnce(); }

  GridModel model_;
  std::vector<int> columnWidths_;
  int rowHeight_;
  FontSpec font_;
  UniqueFont fontHandle_;
  Canvas* canvas_ = nullptr;
  int wheelRemainder_ = 0;
};

// A slim vertical scroll bar whose track shows the form beneath it and whose thumb is a picture.
// The position stays inside [Min, Max]; OnPositionChanged fires on every change, also when the
// program sets it.
class SmoothScrollBar : public WinControl {
 public:
  SmoothScrollBar(Form& owner, int left, int top, int width, int height, int max, int pageSize, int largeChange);

  int Min() const { return range_.Min(); }
  int Max() const { return range_.Max(); }
  int Position() const { return range_.Position(); }
  void SetMin(int min) { Changed(range_.SetMin(min), true); }
  void SetMax(int max) { Changed(range_.SetMax(max), true); }
  void SetPosition(int position) { Changed(range_.SetPosition(position), false); }
  int PageSize, LargeChange;

  // Takes ownership of the thumb picture.
  void SetThumbPicture(HBITMAP picture);
  std::function<void(int position)> OnPositionChanged;
  // The thumb's rectangle in client coordinates.
  RECT ThumbRect() const;

 protected:
  void WndProc(Message& message) override;
  void Paint() override;

 private:
  void Changed(bool positionChanged, bool rangeChanged);
  int PositionAt(int thumbTop) const;

  ScrollRange range_;
  UniqueBitmap thumb_;
  SIZE thumbSize_{10, 28};
  int dragOffset_ = -1;  // cursor's offset into the thumb while dragging
};

}  // namespace forms
