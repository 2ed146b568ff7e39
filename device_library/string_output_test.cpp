#include "device_library/string_output.h"

#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

struct OutputCase {
  const char* name;
  size_t length;
  size_t written;  // units written, terminator included
};
void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }
class StringOutputTest : public testing::TestWithParam<OutputCase> {};

TEST_P(StringOutputTest, WritesTheTextAndTerminatorNeverMoreThan1024Units) {
  const OutputCase& c = GetParam();
  std::u16string text(c.length, u'x');
  for (size_t i = 0; i < c.length; ++i) text[i] = static_cast<char16_t>(u'a' + i % 26);
  OutputBuffer out;
  WriteStringOutput(out.data(), text);
  EXPECT_EQ(out.UnitsWritten(), c.written);
  EXPECT_EQ(out.Text(), text.substr(0, c.written - 1));
}

INSTANTIATE_TEST_SUITE_P(Lengths, StringOutputTest,
                         testing::Values(OutputCase{"Empty", 0, 1}, OutputCase{"HubName", 70, 71},
                                         OutputCase{"Longest", 1023, 1024}, OutputCase{"OneTooLong", 1024, 1024},
                                         OutputCase{"FarTooLong", 1100, 1024}),
                         [](const auto& info) { return info.param.name; });

TEST(StringOutput, NullBufferIsNotWritten) { WriteStringOutput(nullptr, u"text"); }

}  // namespace
}  // namespace device_library::fake
