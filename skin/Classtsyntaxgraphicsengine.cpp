#include "skin/Classtsyntaxgraphicsengine.h"

#include <cstring>

#include "skin/frame_cut.h"
#include "skin/run_scan.h"

namespace skin {

classTSyntaxGraphicsEngine::classTSyntaxGraphicsEngine()
    : ShapeRegion(CreateRectRgn(0, 0, 0, 0)), RunRegion(CreateRectRgn(0, 0, 0, 0)) {}

bool classTSyntaxGraphicsEngine::CutFrame(SkinBitmap& target, const SkinBitmap& strip, int frameCount,
                                          int frameIndex) {
  const auto frame = FrameOfStrip(strip.Width(), strip.Height(), frameCount, frameIndex);
  if (!frame || !target.IsValid() || !strip.IsValid()) return false;
  if (target.Width() != frame->Width || target.Height() != frame->Height) {
    if (!target.SetSize(frame->Width, frame->Height)) return false;
  }
  return frame->Width == 0 || frame->Height == 0 ||
         BitBlt(target.Dc(), 0, 0, frame->Width, frame->Height, strip.Dc(), frame->SourceLeft, 0, SRCCOPY);
}

void classTSyntaxGraphicsEngine::BuildShape(const SkinBitmap& canvas, RegionBuild build) {
  SetRectRgn(ShapeRegion.get(), 0, 0, 0, 0);
  SetRectRgn(RunRegion.get(), 0, 0, 0, 0);
  const RECT clip = canvas.ClipRect();
  const int width = clip.right - clip.left;
  const int height = clip.bottom - clip.top;
  GdiFlush();  // pending drawing must have reached the pixels before they are read
  const auto pixelAt = [&](int x, int y) { return canvas.Pixel(x, y); };

  const auto buildRunByRun = [&] {
    ScanRuns(width, height, pixelAt, [&](const PixelRun& run) {
      SetRectRgn(RunRegion.get(), run.Start, run.Y, run.End, run.Y + 1);
      CombineRgn(ShapeRegion.get(), ShapeRegion.get(), RunRegion.get(), RGN_OR);
    });
  };
  if (build == RegionBuild::RunByRun) {
    buildRunByRun();
    return;
  }

  runs_.clear();
  ScanRuns(width, height, pixelAt,
           [&](const PixelRun& run) { runs_.push_back(RECT{run.Start, run.Y, run.End, run.Y + 1}); });
  if (runs_.empty()) return;
  const std::size_t rectBytes = runs_.size() * sizeof(RECT);
  regionData_.resize(sizeof(RGNDATAHEADER) + rectBytes);
  RGNDATAHEADER header{};
  header.dwSize = sizeof(RGNDATAHEADER);
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(runs_.size());
  header.nRgnSize = static_cast<DWORD>(rectBytes);
  header.rcBound = RECT{0, 0, width, height};
  std::memcpy(regionData_.data(), &header, sizeof(header));
  std::memcpy(regionData_.data() + sizeof(header), runs_.data(), rectBytes);
  forms::UniqueRegion built(ExtCreateRegion(nullptr, static_cast<DWORD>(regionData_.size()),
                                            reinterpret_cast<const RGNDATA*>(regionData_.data())));
  // Should the system refuse the data, an empty shape must not be taken for the picture's shape.
  if (!built || CombineRgn(ShapeRegion.get(), built.get(), nullptr, RGN_COPY) == ERROR) buildRunByRun();
}

void classTSyntaxGraphicsEngine::ApplyRegionFromCanvas(HWND window, HRGN appliedRegion, const SkinBitmap& canvas) {
  if (!ShapeRegion || !RunRegion || !appliedRegion) return;
  BuildShape(canvas, Build);
  if (EqualRgn(ShapeRegion.get(), appliedRegion)) return;

  forms::UniqueRegion copy(CreateRectRgn(0, 0, 0, 0));
  if (!copy) return;
  CombineRgn(copy.get(), copy.get(), ShapeRegion.get(), RGN_OR);
  SetRectRgn(appliedRegion, 0, 0, 0, 0);
  CombineRgn(appliedRegion, appliedRegion, copy.get(), RGN_OR);
  // Once set, the region belongs to the system; when setting fails it is still ours to delete.
  if (SetWindowRgn(window, copy.get(), TRUE)) static_cast<void>(copy.release());
}

}  // namespace skin
