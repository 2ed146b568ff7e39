// Checks the committed pictures against the window outline and the button strip format.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/bmp_image.h"
#include "skin/frame_cut.h"
#include "skin/run_scan.h"
#include "skin/window_outline.h"

namespace skin {
namespace {

const std::string PictureDir = SKIN_PICTURE_DIR;

PixelImage Load(const std::string& name) {
  auto image = ReadBmp24File(PictureDir + "/" + name + ".bmp");
  if (!image) ADD_FAILURE() << name << ".bmp is missing or not a 24-bit BMP";
  return image.value_or(PixelImage{});
}

bool InsideOutline(int x, int y) {
  for (const PixelRect& r : WindowOutline()) {
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return true;
  }
  return false;
}

TEST(Pictures, ChineseBackgroundGivesExactlyTheStoredOutline) {
  const PixelImage chinese = Load("Bitmap_Chinese");
  ASSERT_EQ(chinese.Width, MainWindowWidth);
  ASSERT_EQ(chinese.Height, MainWindowHeight);
  std::vector<PixelRun> runs;
  ScanRunsWithKey(OutlineScanWidth, chinese.Height, BackgroundMaskColour,
                  [&](int x, int y) { return chinese.At(x, y); }, [&](const PixelRun& run) { runs.push_back(run); });
  const std::vector<PixelRect> bands = RunsToBands(runs);
  const auto outline = WindowOutline();
  EXPECT_EQ(bands, std::vector<PixelRect>(outline.begin(), outline.end()));
  for (int y = 0; y < chinese.Height; ++y) {
    ASSERT_EQ(chinese.At(MainWindowWidth - 1, y), BackgroundMaskColour) << "column 812, row " << y;
  }
}

TEST(Pictures, EnglishBackgroundSharesTheOutline) {
  const PixelImage english = Load("Bitmap_English");
  ASSERT_EQ(english.Width, MainWindowWidth);
  ASSERT_EQ(english.Height, MainWindowHeight);
  int maskInside = 0;
  int otherOutside = 0;
  for (int y = 0; y < english.Height; ++y) {
    for (int x = 0; x < english.Width; ++x) {
      const bool isMask = english.At(x, y) == BackgroundMaskColour;
      if (InsideOutline(x, y)) {
        maskInside += isMask;
      } else {
        otherOutside += !isMask;
      }
    }
  }
  // Inside the outline the mask colour would show as near-white specks: allow only a handful.
  EXPECT_LE(maskInside, 8);
  EXPECT_EQ(otherOutside, 0);
}

struct StripCase {
  std::string Name;
  int Width, Height;
};

class StripTest : public testing::TestWithParam<StripCase> {};

// Every frame starts with the black key and shows something besides it.
TEST_P(StripTest, FourFramesEachKeyedBlack) {
  const StripCase& c = GetParam();
  const PixelImage strip = Load(c.Name);
  ASSERT_EQ(strip.Width, c.Width);
  ASSERT_EQ(strip.Height, c.Height);
  for (int k = 0; k < 4; ++k) {
    const auto frame = FrameOfStrip(strip.Width, strip.Height, 4, k);
    ASSERT_TRUE(frame);
    EXPECT_EQ(strip.At(frame->SourceLeft, 0), 0x000000u) << "frame " << k;
    int shown = 0;
    for (int y = 0; y < frame->Height; ++y) {
      for (int x = 0; x < frame->Width; ++x) shown += strip.At(frame->SourceLeft + x, y) != 0;
    }
    EXPECT_GT(shown, frame->Width * frame->Height / 2) << "frame " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Strips, StripTest,
                         testing::Values(StripCase{"Bitmap_Cancel", 412, 34}, StripCase{"Bitmap_Cancel2", 412, 34},
                                         StripCase{"Bitmap_WebIcon", 937, 22}),
                         [](const testing::TestParamInfo<StripCase>& info) { return info.param.Name; });

}  // namespace
}  // namespace skin
