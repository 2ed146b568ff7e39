#include "click_race/stroke_judge.h"

#include "click_race/extended_arithmetic.h"

namespace click_race {

StrokeJudgement JudgeStroke(double leftMs, double rightMs, bool collided) {
  StrokeVerdict verdict = leftMs <= rightMs ? StrokeVerdict::LeftFaster : StrokeVerdict::RightFaster;
  if (!collided) verdict = StrokeVerdict::CollisionFailed;

  double raw = 0.1;
  if (leftMs > rightMs) raw = leftMs - rightMs;
  else if (leftMs < rightMs) raw = rightMs - leftMs;

  return {verdict, TruncateToTenths(raw)};
}

}  // namespace click_race
