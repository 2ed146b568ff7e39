#include "skin/frame_cut.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace skin {
namespace {

struct FrameCase {
  std::string Name;
  int StripWidth, StripHeight, Count, Index;
  std::optional<FrameArea> Expected;
};

class FrameOfStripTest : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameOfStripTest, GivesTheFrameColumns) {
  const FrameCase& c = GetParam();
  EXPECT_EQ(FrameOfStrip(c.StripWidth, c.StripHeight, c.Count, c.Index), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameOfStripTest,
    testing::Values(
        // 412 / 4 = 103: frame 2 is columns 206..308.
        FrameCase{"ExitStripPressedFrame", 412, 34, 4, 2, FrameArea{103, 34, 206}},
        FrameCase{"ExitStripNormalFrame", 412, 34, 4, 0, FrameArea{103, 34, 0}},
        // 937 / 4 = 234: the last frame ends at column 935, column 936 belongs to no frame.
        FrameCase{"WebStripDisabledFrameStopsBeforeColumn936", 937, 22, 4, 3, FrameArea{234, 22, 702}},
        FrameCase{"StripNarrowerThanItsFrameCount", 3, 5, 4, 1, FrameArea{0, 5, 0}},
        FrameCase{"NoFrames", 412, 34, 0, 0, std::nullopt},
        FrameCase{"NegativeFrameCount", 412, 34, -4, 0, std::nullopt},
        FrameCase{"IndexPastTheLastFrame", 412, 34, 4, 4, std::nullopt},
        FrameCase{"NegativeIndex", 412, 34, 4, -1, std::nullopt},
        FrameCase{"NegativeWidth", -412, 34, 4, 0, std::nullopt}),
    [](const testing::TestParamInfo<FrameCase>& info) { return info.param.Name; });

}  // namespace
}  // namespace skin
