// Frame arithmetic of a strip of equally wide frames lying side by side (no window system needed).
#pragma once

#include <optional>

namespace skin {

// Where frame k of a strip lies: the source columns [SourceLeft, SourceLeft + Width) of every row.
struct FrameArea {
  int Width = 0;
  int Height = 0;
  int SourceLeft = 0;

  bool operator==(const FrameArea&) const = default;
};

// Frames are stripWidth / frameCount wide (the remainder columns at the right belong to no frame).
// A frame count below 1, a frame index outside the strip or a negative size has no frame: nullopt.
std::optional<FrameArea> FrameOfStrip(int stripWidth, int stripHeight, int frameCount, int frameIndex);

}  // namespace skin
