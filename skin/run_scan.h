// Scan of a picture into runs of non-key pixels, and runs into the banded rectangles of a region.
// Works on any pixel source: a callable (x, y) -> colour, colours compared as whole values.
#pragma once

#include <compare>
#include <cstdint>
#include <vector>

namespace skin {

// Columns [Start, End) of row Y.
struct PixelRun {
  int Y = 0;
  int Start = 0;
  int End = 0;

  bool operator==(const PixelRun&) const = default;
};

// Right and bottom edges excluded, like a Win32 RECT.
struct PixelRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  auto operator<=>(const PixelRect&) const = default;
};

// Calls onRun(PixelRun) for every maximal run of pixels that differ from key, row by row, left to right.
// Rows of key pixels only give nothing; a row without key pixels gives one run 0..width.
template <typename PixelAt, typename OnRun>
void ScanRunsWithKey(int width, int height, std::uint32_t key, PixelAt&& pixelAt, OnRun&& onRun) {
  for (int y = 0; y < height; ++y) {
    int x = 0;
    while (x < width) {
      while (x < width && pixelAt(x, y) == key) ++x;
      const int start = x;
      while (x < width && pixelAt(x, y) != key) ++x;
      if (x > start) onRun(PixelRun{y, start, x});
    }
  }
}

// The key is the top-left pixel; an empty picture has no key and no runs.
template <typename PixelAt, typename OnRun>
void ScanRuns(int width, int height, PixelAt&& pixelAt, OnRun&& onRun) {
  if (width <= 0 || height <= 0) return;
  const std::uint32_t key = pixelAt(0, 0);
  ScanRunsWithKey(width, height, key, pixelAt, onRun);
}

// Runs in scan order (rows ascending, runs left to right) to rectangles: consecutive rows with the
// same runs merge into one band, as a region stores them. Output sorted by top, then left.
std::vector<PixelRect> RunsToBands(const std::vector<PixelRun>& runs);

}  // namespace skin
