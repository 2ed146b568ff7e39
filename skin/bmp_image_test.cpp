#include "skin/bmp_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace skin {
namespace {

// 2 x 2 picture, 24 bits, rows padded to 8 bytes; pixel bytes are stored blue, green, red.
std::vector<std::uint8_t> TwoByTwo(std::int32_t height) {
  std::vector<std::uint8_t> b = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                 40, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const auto h = static_cast<std::uint32_t>(height);
  for (int i = 0; i < 4; ++i) b[22 + i] = static_cast<std::uint8_t>(h >> (8 * i));
  // Stored row 0: red, green; stored row 1: blue, white.
  for (const std::uint8_t v : {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}) b.push_back(v);
  return b;
}

TEST(DecodeBmp24, BottomUpRowsComeOutTopFirst) {
  const auto image = DecodeBmp24(TwoByTwo(2));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Pixels, (std::vector<std::uint32_t>{0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00}));
}

TEST(DecodeBmp24, TopDownRowsKeepTheirOrder) {
  const auto image = DecodeBmp24(TwoByTwo(-2));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Pixels, (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
}

TEST(DecodeBmp24, RejectsWhatItCannotReadSafely) {
  std::vector<std::uint8_t> truncated = TwoByTwo(2);
  truncated.pop_back();
  EXPECT_FALSE(DecodeBmp24(truncated));

  std::vector<std::uint8_t> eightBit = TwoByTwo(2);
  eightBit[28] = 8;
  EXPECT_FALSE(DecodeBmp24(eightBit));

  std::vector<std::uint8_t> huge = TwoByTwo(2);
  huge[21] = 0x7F;  // width 0x7F000002
  EXPECT_FALSE(DecodeBmp24(huge));

  EXPECT_FALSE(DecodeBmp24(std::vector<std::uint8_t>{'B', 'M'}));
}

}  // namespace
}  // namespace skin
