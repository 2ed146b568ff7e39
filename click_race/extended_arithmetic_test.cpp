// Checks the integer emulation of extended precision against the x87 80-bit long double itself.
#include "click_race/extended_arithmetic.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace click_race {
namespace {

struct CounterCase {
  const char* name;
  std::int64_t counter;
  double frequency;
  double ms;
};
void PrintTo(const CounterCase& c, std::ostream* os) { *os << c.name; }


class CounterToMillisecondsTest : public testing::TestWithParam<CounterCase> {};

TEST_P(CounterToMillisecondsTest, ConvertsExactly) {
  EXPECT_EQ(CounterToMilliseconds(GetParam().counter, GetParam().frequency), GetParam().ms);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CounterToMillisecondsTest,
    testing::Values(CounterCase{"Zero", 0, 1e7, 0.0}, CounterCase{"OneTick", 1, 1e7, 0.0001},
                    CounterCase{"OneSecond", 10'000'000, 1e7, 1000.0},
                    CounterCase{"WineUptime", 123'456'789'012, 1e7, 12'345'678.9012},
                    CounterCase{"AcpiTimer", 3'579'545, 3'579'545.0, 1000.0},
                    CounterCase{"Negative", -25, 1e4, -2.5},
                    // beyond the 64-bit range of counter × 1000: no wrap-around
                    CounterCase{"ProductPast64Bits", std::numeric_limits<std::int64_t>::max(), 1e9, 9223372036854.775807},
                    CounterCase{"ZeroFrequency", 5, 0.0, 0.0}, CounterCase{"NegativeFrequency", 5, -1.0, 0.0},
                    CounterCase{"NaNFrequency", 5, NAN, 0.0}),
    [](const auto& info) { return info.param.name; });

struct TruncateCase {
  const char* name;
  double in, out;
};
void PrintTo(const TruncateCase& c, std::ostream* os) { *os << c.name; }


class TruncateToTenthsTest : public testing::TestWithParam<TruncateCase> {};

TEST_P(TruncateToTenthsTest, TruncatesInExtendedPrecision) {
  EXPECT_EQ(TruncateToTenths(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TruncateToTenthsTest,
    testing::Values(TruncateCase{"Zero", 0.0, 0.0}, TruncateCase{"ThreePoint27", 3.27, 3.2},
                    TruncateCase{"ZeroPoint07", 0.07, 0.0}, TruncateCase{"Nearest0_7", 0.7, 0.6},
                    TruncateCase{"Nearest0_1", 0.1, 0.1}, TruncateCase{"Below12_3", 12.2999999999, 12.2},
                    TruncateCase{"Above12_3", 12.3000000001, 12.3}, TruncateCase{"Tiny", 1e-300, 0.0},
                    // k saturates at the 32-bit range instead of wrapping
                    TruncateCase{"Huge", 1e300, 214748364.7}, TruncateCase{"Infinite", INFINITY, 214748364.7},
                    TruncateCase{"NotANumber", NAN, 0.0}, TruncateCase{"Negative", -3.27, -3.2}),
    [](const auto& info) { return info.param.name; });

#if LDBL_MANT_DIG == 64

double ReferenceMilliseconds(std::int64_t counter, double frequency) {
  volatile long double product = static_cast<long double>(counter * 1000);
  volatile long double quotient = product / static_cast<long double>(frequency);
  return static_cast<double>(quotient);
}

double ReferenceTenths(double difference) {
  volatile long double tenfold = static_cast<long double>(difference) * 10.0L;
  const auto k = static_cast<std::int32_t>(tenfold);
  volatile long double tenths = static_cast<long double>(k) * 0.1L;
  return static_cast<double>(tenths);
}

TEST(ExtendedReferenceSweep, TruncateToTenthsMatchesX87) {
  std::mt19937_64 random(20261211);
  std::uniform_real_distribution<double> wide(0.0, 200'000'000.0);
  std::uniform_int_distribution<std::int32_t> tenths(0, 500'000);
  const int steps[] = {-2, -1, 0, 1, 2};
  for (int i = 0; i < 2'000'000; ++i) {
    const double raw = wide(random);
    ASSERT_EQ(TruncateToTenths(raw), ReferenceTenths(raw)) << raw;
    // The hard cases sit within a few ulps of a whole tenth.
    const double tenth = tenths(random) / 10.0;
    for (int step : steps) {
      double near = tenth;
      for (int s = 0; s < std::abs(step); ++s) near = std::nextafter(near, step < 0 ? 0.0 : 1e9);
      ASSERT_EQ(TruncateToTenths(near), ReferenceTenths(near)) << near;
    }
  }
  for (std::int32_t k = 0; k <= 2'000'000; ++k) {
    ASSERT_EQ(TruncateToTenths(k / 10.0), ReferenceTenths(k / 10.0)) << k;
  }
}

TEST(ExtendedReferenceSweep, CounterToMillisecondsMatchesX87) {
  std::mt19937_64 random(7);
  const double frequencies[] = {1e7, 3'579'545.0, 14'318'180.0, 2'400'000'000.0, 1e9, 1'000.0, 2'539'062.0};
  std::uniform_int_distribution<std::int64_t> counters(0, std::numeric_limits<std::int64_t>::max() / 1000);
  std::uniform_int_distribution<std::int64_t> small(0, 1'000'000'000'000);
  for (double frequency : frequencies) {
    for (int i = 0; i < 300'000; ++i) {
      const std::int64_t a = counters(random), b = small(random);
      ASSERT_EQ(CounterToMilliseconds(a, frequency), ReferenceMilliseconds(a, frequency)) << a << " / " << frequency;
      ASSERT_EQ(CounterToMilliseconds(b, frequency), ReferenceMilliseconds(b, frequency)) << b << " / " << frequency;
    }
  }
  std::uniform_real_distribution<double> anyFrequency(1.0, 1e10);
  for (int i = 0; i < 1'000'000; ++i) {
    const double frequency = anyFrequency(random);
    const std::int64_t c = counters(random);
    ASSERT_EQ(CounterToMilliseconds(c, frequency), ReferenceMilliseconds(c, frequency)) << c << " / " << frequency;
  }
}

#endif

}  // namespace
}  // namespace click_race
