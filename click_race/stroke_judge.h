// The verdict of one stroke and its margin, from the two button-down times of a run.
#pragma once

namespace click_race {

enum class StrokeVerdict { LeftFaster, RightFaster, CollisionFailed };

struct StrokeJudgement {
  StrokeVerdict verdict;
  double difference;  // milliseconds, truncated toward zero to whole tenths
};

// Equal stamps count as LeftFaster with a margin of 0.1 ms; without a collision the verdict is
// CollisionFailed whatever the stamps (the margin is then computed but never shown).
StrokeJudgement JudgeStroke(double leftMs, double rightMs, bool collided);

}  // namespace click_race
