#include "forms/string_grid.h"

#include <windowsx.h>

#include <algorithm>
#include <numeric>
#include <optional>

namespace forms {

// ---- canvas

HDC Canvas::Handle() {
  SelectObject(dc_, font_);
  SetTextColor(dc_, ColorToRgb(FontColor));
  SetBkMode(dc_, TRANSPARENT);
  return dc_;
}

void Canvas::FillRect(const RECT& rect) {
  UniqueBrush brush(CreateSolidBrush(ColorToRgb(BrushColor)));
  ::FillRect(dc_, &rect, brush.get());
}

// ---- string grid

namespace {
constexpr wchar_t kGridClass[] = L"FormsStringGrid";
constexpr wchar_t kScrollBarClass[] = L"FormsSmoothScrollBar";

// Paints into a bitmap the size of the window, then copies it in one go.
class BufferedPaint {
 public:
  explicit BufferedPaint(HWND window) : paint_(window) {
    GetClientRect(window, &client_);
    buffer_.reset(CreateCompatibleDC(paint_.dc()));
    bitmap_.reset(CreateCompatibleBitmap(paint_.dc(), client_.right, client_.bottom));
    select_.emplace(buffer_.get(), bitmap_.get());
  }
  ~BufferedPaint() { BitBlt(paint_.dc(), 0, 0, client_.right, client_.bottom, buffer_.get(), 0, 0, SRCCOPY); }
  HDC dc() const { return buffer_.get(); }
  const RECT& client() const { return client_; }

 private:
  PaintGuard paint_;
  RECT client_{};
  UniqueDc buffer_;
  UniqueBitmap bitmap_;
  std::optional<SelectionGuard> select_;
};

void FillSolid(HDC dc, const RECT& rect, Color color) {
  UniqueBrush brush(CreateSolidBrush(ColorToRgb(color)));
  FillRect(dc, &rect, brush.get());
}
}  // namespace

StringGrid::StringGrid(Form& owner, int left, int top, int width, int height, std::vector<int> columnWidths, int rowHeight)
    : WinControl(owner),
      model_(static_cast<int>(columnWidths.size()), height / rowHeight),
      columnWidths_(std::move(columnWidths)),
      rowHeight_(rowHeight) {
  Left = left, Top = top, Width = width, Height = height;
  RegisterWindowClass(kGridClass);
  CreateHandle(kGridClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, owner.Handle());
}

void StringGrid::SetFont(const FontSpec& font) {
  font_ = font;
  fontHandle_ = CreateFontFor(font_);
  Invalidate();
}

void StringGrid::SetRowCount(int rows) {
  model_.SetRowCount(rows);
  Invalidate();
}

void StringGrid::SetCell(int column, int row, std::wstring text) {
  model_.SetCell(column, row, std::move(text));
  if (row >= model_.TopRow() && row < model_.TopRow() + model_.VisibleRows() + 1) Invalidate();
}

void StringGrid::SetRow(int row) {
  model_.SetRow(row);
  Invalidate();
}

void StringGrid::SetColumn(int column) {
  model_.SetColumn(column);
  Invalidate();
}

RECT StringGrid::CellRect(int column, int row) const {
  const int left = std::accumulate(columnWidths_.begin(), columnWidths_.begin() + std::clamp<int>(column, 0, columnWidths_.size()), 0);
  const int top = (row - model_.TopRow()) * rowHeight_;
  const int width = column >= 0 && column < static_cast<int>(columnWidths_.size()) ? columnWidths_[column] : 0;
  // Each cell gives its last column and row of pixels to the grid lines.
  return {left, top, left + width - 1, top + rowHeight_ - 1};
}

void StringGrid::Paint() {
  BufferedPaint paint(Handle());
  const HDC dc = paint.dc();
  FillSolid(dc, paint.client(), BackgroundColor);
  if (!fontHandle_) fontHandle_ = CreateFontFor(font_);
  const int lastRow = std::min(model_.RowCount(), model_.TopRow() + model_.VisibleRows() + 1);
  const UniqueBrush gridLines(CreateSolidBrush(ColorToRgb(GridLineColor)));
  for (int row = model_.TopRow(); row < lastRow; ++row) {
    for (int column = 0; column < model_.ColumnCount(); ++column) {
      const RECT cell = CellRect(column, row);
      const RECT withLines{cell.left, cell.top, cell.right + 1, cell.bottom + 1};
      FillRect(dc, &withLines, gridLines.get());
      // The grid prepares the canvas of every cell; the selected cell looks like any other.
      Canvas canvas(dc, fontHandle_.get(), font_.FontColor, CellColor);
      canvas_ = &canvas;
      if (OnDrawCell) {
        OnDrawCell(column, row, cell);
      } else {
        canvas.FillRect(cell);
        RECT text = cell;
        const std::wstring& value = model_.Cell(column, row);
        DrawTextW(canvas.Handle(), value.c_str(), static_cast<int>(value.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      }
      canvas_ = nullptr;
    }
  }
}

void StringGrid::Wheel(int delta) {
  wheelRemainder_ += delta;
  while (wheelRemainder_ <= -WHEEL_DELTA || wheelRemainder_ >= WHEEL_DELTA) {
    const bool down = wheelRemainder_ < 0;
    wheelRemainder_ += down ? WHEEL_DELTA : -WHEEL_DELTA;
    bool handled = false;
    if (down && OnMouseWheelDown) OnMouseWheelDown(handled);
    if (!down && OnMouseWheelUp) OnMouseWheelUp(handled);
    if (!handled) SetRow(Row() + (down ? 1 : -1));
  }
}

void StringGrid::KeyDown(WPARAM key) {
  const int page = std::max(1, model_.VisibleRows() - 1);
  switch (key) {
    case VK_UP: SetRow(Row() - 1); break;
    case VK_DOWN: SetRow(Row() + 1); break;
    case VK_PRIOR: SetRow(Row() - page); break;
    case VK_NEXT: SetRow(Row() + page); break;
    case VK_HOME: SetRow(0); break;
    case VK_END: SetRow(RowCount() - 1); break;
    case VK_LEFT: SetColumn(Column() - 1); break;
    case VK_RIGHT: SetColumn(Column() + 1); break;
  }
}

void StringGrid::WndProc(Message& message) {
  if (HandleOwnPainting(message)) return;
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;
      return;
    case WM_KEYDOWN:
      KeyDown(message.WParam);
      return;
    case WM_MOUSEWHEEL:
      Wheel(GET_WHEEL_DELTA_WPARAM(message.WParam));
      return;
    case WM_LBUTTONDOWN: {
      ::SetFocus(Handle());
      const int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
      for (int column = 0, left = 0; column < static_cast<int>(columnWidths_.size()); left += columnWidths_[column++]) {
        if (x >= left && x < left + columnWidths_[column]) SetColumn(column);
      }
      SetRow(model_.TopRow() + y / rowHeight_);
      return;
    }
  }
  WinControl::WndProc(message);
}

// ---- smooth scroll bar

SmoothScrollBar::SmoothScrollBar(Form& owner, int left, int top, int width, int height, int max, int pageSize, int largeChange)
    : WinControl(owner), PageSize(pageSize), LargeChange(largeChange) {
  Left = left, Top = top, Width = width, Height = height;
  range_.SetMax(max);
  RegisterWindowClass(kScrollBarClass);
  CreateHandle(kScrollBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, owner.Handle());
}

void SmoothScrollBar::SetThumbPicture(HBITMAP picture) {
  thumb_.reset(picture);
  BITMAP info{};
  if (GetObjectW(picture, sizeof info, &info)) thumbSize_ = {info.bmWidth, info.bmHeight};
  InvalidateRect(Handle(), nullptr, FALSE);
}

RECT SmoothScrollBar::ThumbRect() const {
  const int travel = std::max(0, Height - static_cast<int>(thumbSize_.cy));
  const int span = Max() - Min();
  const int top = span > 0 ? static_cast<int>((static_cast<long long>(Position() - Min()) * travel + span / 2) / span) : 0;
  const int left = (Width - thumbSize_.cx) / 2;
  return {left, top, left + thumbSize_.cx, top + thumbSize_.cy};
}

int SmoothScrollBar::PositionAt(int thumbTop) const {
  const int travel = std::max(1, Height - static_cast<int>(thumbSize_.cy));
  const long long span = Max() - Min();
  return Min() + static_cast<int>((std::clamp(thumbTop, 0, travel) * span + travel / 2) / travel);
}

void SmoothScrollBar::Changed(bool positionChanged, bool rangeChanged) {
  if (positionChanged || rangeChanged) InvalidateOnce();
  if (positionChanged && OnPositionChanged) OnPositionChanged(Position());
}

void SmoothScrollBar::Paint() {
  BufferedPaint paint(Handle());
  // The track is transparent: the form's picture shows through it.
  RECT area = BoundsRect();
  Owner().PaintBackground(paint.dc(), area);
  if (!thumb_) return;
  UniqueDc source(CreateCompatibleDC(paint.dc()));
  SelectionGuard select(source.get(), thumb_.get());
  const RECT thumb = ThumbRect();
  BitBlt(paint.dc(), thumb.left, thumb.top, thumbSize_.cx, thumbSize_.cy, source.get(), 0, 0, SRCCOPY);
}

void SmoothScrollBar::WndProc(Message& message) {
  if (HandleOwnPainting(message)) return;
  switch (message.Msg) {
    case WM_LBUTTONDOWN: {
      const int y = GET_Y_LPARAM(message.LParam);
      const RECT thumb = ThumbRect();
      if (y >= thumb.top && y < thumb.bottom) {
        dragOffset_ = y - thumb.top;
        SetCapture(Handle());
      } else {
        SetPosition(Position() + (y < thumb.top ? -LargeChange : LargeChange));
      }
      return;
    }
    case WM_MOUSEMOVE:
      if (dragOffset_ >= 0) SetPosition(PositionAt(GET_Y_LPARAM(message.LParam) - dragOffset_));
      return;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragOffset_ >= 0) {
        dragOffset_ = -1;
        if (message.Msg == WM_LBUTTONUP) ReleaseCapture();
      }
      return;
  }
  WinControl::WndProc(message);
}

}  // namespace forms
