// The main window's stored outline: a tab at the top centre, two slanted shoulders from row 26 and a
// rectangular body from row 37 down, as the banded rectangles of a region.
#pragma once

#include <cstdint>
#include <span>

#include "skin/run_scan.h"

namespace skin {

inline constexpr int MainWindowWidth = 813;
inline constexpr int MainWindowHeight = 553;
// The outline was taken from the Chinese background over these columns; column 812 is never inside.
inline constexpr int OutlineScanWidth = 812;
// Outside the outline the backgrounds are painted in this colour (0xRRGGBB: RGB 245, 255, 255).
inline constexpr std::uint32_t BackgroundMaskColour = 0xF5FFFF;

// 55 rectangles, sorted by top then left, right and bottom edges excluded.
std::span<const PixelRect> WindowOutline();

}  // namespace skin
