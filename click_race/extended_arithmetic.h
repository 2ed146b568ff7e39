// Timing arithmetic defined in x87 extended precision (64-bit significand), computed exactly with
// integers so that every compiler gives the same doubles, whatever its long double is.
#pragma once

#include <cstdint>

namespace click_race {

// counter × 1000 divided by frequency, the quotient rounded to a 64-bit significand and then
// stored as a double. The product is formed without overflow. A frequency that is not a
// positive finite number gives 0.
double CounterToMilliseconds(std::int64_t counter, double frequency);

// difference × 10 (exact in extended precision), truncated toward zero to a 32-bit integer k
// (saturating at the int32 range; NaN gives 0), then k × the extended constant 0.1, stored as
// a double. So 3.27 → 3.2, 0.07 → 0, and the double nearest 0.7 → 0.6.
double TruncateToTenths(double difference);

}  // namespace click_race
