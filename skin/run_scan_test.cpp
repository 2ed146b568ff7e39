#include "skin/run_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skin {
namespace {

// A picture drawn as text: '.' is the key colour wherever it stands, every other letter its own colour.
struct TextPicture {
  std::vector<std::string> Rows;
  int Width() const { return Rows.empty() ? 0 : static_cast<int>(Rows[0].size()); }
  int Height() const { return static_cast<int>(Rows.size()); }
  std::uint32_t operator()(int x, int y) const { return static_cast<unsigned char>(Rows[y][x]); }
};

std::vector<PixelRun> Scan(const TextPicture& picture) {
  std::vector<PixelRun> runs;
  ScanRuns(picture.Width(), picture.Height(), picture, [&](const PixelRun& run) { runs.push_back(run); });
  return runs;
}

struct ScanCase {
  std::string Name;
  TextPicture Picture;
  std::vector<PixelRun> Runs;
  std::vector<PixelRect> Bands;
};

class ScanRunsTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanRunsTest, FindsTheRunsAndTheirBands) {
  const ScanCase& c = GetParam();
  const std::vector<PixelRun> runs = Scan(c.Picture);
  EXPECT_EQ(runs, c.Runs);
  EXPECT_EQ(RunsToBands(runs), c.Bands);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanRunsTest,
    testing::Values(
        ScanCase{"HoleInsideTheShape",
                 {{".....",
                   ".aaa.",
                   ".a.a.",
                   ".aaa."}},
                 {{1, 1, 4}, {2, 1, 2}, {2, 3, 4}, {3, 1, 4}},
                 {{1, 1, 4, 2}, {1, 2, 2, 3}, {3, 2, 4, 3}, {1, 3, 4, 4}}},
        // Colours differ from one another but all differ from the key: one run.
        ScanCase{"RowWithoutKeyPixelIsOneFullRun",
                 {{"....",
                   "abcd"}},
                 {{1, 0, 4}},
                 {{0, 1, 4, 2}}},
        ScanCase{"RowsOfKeyOnlyAddNothingAndSplitBands",
                 {{".ab.",
                   "....",
                   ".ab."}},
                 {{0, 1, 3}, {2, 1, 3}},
                 {{1, 0, 3, 1}, {1, 2, 3, 3}}},
        ScanCase{"KeyPixelsAtBothEndsAndBetweenRuns",
                 {{"..a..bb.",
                   "..a..bb."}},
                 {{0, 2, 3}, {0, 5, 7}, {1, 2, 3}, {1, 5, 7}},
                 {{2, 0, 3, 2}, {5, 0, 7, 2}}},
        ScanCase{"BandsMergeOnlyWhenEveryRunMatches",
                 {{".a.b",
                   ".a.b",
                   ".a..",
                   ".a.."}},
                 {{0, 1, 2}, {0, 3, 4}, {1, 1, 2}, {1, 3, 4}, {2, 1, 2}, {3, 1, 2}},
                 {{1, 0, 2, 2}, {3, 0, 4, 2}, {1, 2, 2, 4}}},
        // The key is whatever the top-left pixel holds, here 'x'.
        ScanCase{"KeyIsTheTopLeftColour",
                 {{"x.x",
                   ".x."}},
                 {{0, 1, 2}, {1, 0, 1}, {1, 2, 3}},
                 {{1, 0, 2, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}},
        ScanCase{"AllKeyPictureGivesNothing", {{"...", "..."}}, {}, {}},
        ScanCase{"EmptyPictureGivesNothing", {}, {}, {}}),
    [](const testing::TestParamInfo<ScanCase>& info) { return info.param.Name; });

TEST(ScanRunsWithKey, UsesTheGivenKeyNotTheTopLeftPixel) {
  const TextPicture picture{{"ab", "ba"}};
  std::vector<PixelRun> runs;
  ScanRunsWithKey(2, 2, static_cast<std::uint32_t>('b'), picture, [&](const PixelRun& run) { runs.push_back(run); });
  EXPECT_EQ(runs, (std::vector<PixelRun>{{0, 0, 1}, {1, 1, 2}}));
}

}  // namespace
}  // namespace skin
