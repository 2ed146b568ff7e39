#include "click_race/difference_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "click_race/extended_arithmetic.h"

namespace click_race {
namespace {

struct TextCase {
  const char* name;
  double difference;
  wchar_t separator;
  const wchar_t* text;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }


class FormatDifferenceTest : public testing::TestWithParam<TextCase> {};

TEST_P(FormatDifferenceTest, GivesShortestText) {
  EXPECT_EQ(FormatDifference(GetParam().difference, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatDifferenceTest,
    testing::Values(TextCase{"Zero", 0.0, L'.', L"0"}, TextCase{"ThreePoint2", 3.2, L'.', L"3.2"},
                    TextCase{"Ten", 10.0, L'.', L"10"}, TextCase{"OneTenth", 0.1, L'.', L"0.1"},
                    TextCase{"TwelvePoint3", 12.3, L'.', L"12.3"}, TextCase{"DecimalComma", 3.2, L',', L"3,2"},
                    TextCase{"NoThousandsSeparator", 123456.7, L'.', L"123456.7"},
                    TextCase{"LargestMargin", 214748364.7, L'.', L"214748364.7"}),
    [](const auto& info) { return info.param.name; });

// Every whole tenth from 0 to 50,000.0, as the truncation produces it, against text built from
// integers; the text also parses back to the same double.
TEST(FormatDifferenceSweep, EveryTenthUpTo50000RoundTrips) {
  for (int k = 0; k <= 500'000; ++k) {
    const double difference = TruncateToTenths(k / 10.0 + 0.01);
    std::wstring expected = std::to_wstring(k / 10);
    if (k % 10) expected += L"." + std::to_wstring(k % 10);
    const std::wstring text = FormatDifference(difference);
    ASSERT_EQ(text, expected) << k;
    ASSERT_EQ(std::wcstod(text.c_str(), nullptr), difference) << k;
  }
}

}  // namespace
}  // namespace click_race
