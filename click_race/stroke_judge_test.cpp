#include "click_race/stroke_judge.h"

#include <gtest/gtest.h>

namespace click_race {
namespace {

struct JudgeCase {
  const char* name;
  double leftMs, rightMs;
  bool collided;
  StrokeVerdict verdict;
  double difference;
};
void PrintTo(const JudgeCase& c, std::ostream* os) { *os << c.name; }


class JudgeStrokeTest : public testing::TestWithParam<JudgeCase> {};

TEST_P(JudgeStrokeTest, GivesVerdictAndTruncatedMargin) {
  const JudgeCase& c = GetParam();
  const StrokeJudgement j = JudgeStroke(c.leftMs, c.rightMs, c.collided);
  EXPECT_EQ(j.verdict, c.verdict);
  EXPECT_EQ(j.difference, c.difference);  // exact: these are the doubles the table shows
}

INSTANTIATE_TEST_SUITE_P(
    Strokes, JudgeStrokeTest,
    testing::Values(
        JudgeCase{"LeftFirstBy3_27", 1000.0, 1003.27, true, StrokeVerdict::LeftFaster, 3.2},
        JudgeCase{"RightFirstBy3_27", 1003.27, 1000.0, true, StrokeVerdict::RightFaster, 3.2},
        JudgeCase{"EqualStampsAreLeftBy0_1", 500.0, 500.0, true, StrokeVerdict::LeftFaster, 0.1},
        JudgeCase{"GapBelowATenthIsZero", 10.0, 10.07, true, StrokeVerdict::LeftFaster, 0.0},
        JudgeCase{"NotCollidedFailsWhateverTheStamps", 0.0, 123456.789, false, StrokeVerdict::CollisionFailed, 123456.7},
        JudgeCase{"NotCollidedEqual", 7.0, 7.0, false, StrokeVerdict::CollisionFailed, 0.1},
        JudgeCase{"JustBelowATenthBoundary", 0.0, 12.2999999999, true, StrokeVerdict::LeftFaster, 12.2},
        JudgeCase{"JustAboveATenthBoundary", 12.3000000001, 0.0, true, StrokeVerdict::RightFaster, 12.3},
        JudgeCase{"DoubleNearest0_7", 0.0, 0.7, true, StrokeVerdict::LeftFaster, 0.6},
        JudgeCase{"WholeNumberOfMs", 40.0, 30.0, true, StrokeVerdict::RightFaster, 10.0}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace click_race
