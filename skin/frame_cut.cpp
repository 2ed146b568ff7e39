#include "skin/frame_cut.h"

namespace skin {

std::optional<FrameArea> FrameOfStrip(int stripWidth, int stripHeight, int frameCount, int frameIndex) {
  if (frameCount < 1 || frameIndex < 0 || frameIndex >= frameCount || stripWidth < 0 || stripHeight < 0) {
    return std::nullopt;
  }
  const int width = stripWidth / frameCount;
  // frameIndex < frameCount and width * frameCount <= stripWidth, so this cannot overflow.
  return FrameArea{width, stripHeight, frameIndex * width};
}

}  // namespace skin
