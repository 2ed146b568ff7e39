#include "skin/bmp_image.h"

#include <fstream>
#include <iterator>

namespace skin {

namespace {

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Largest side accepted; keeps every size computation far from overflow.
constexpr std::int64_t MaxSide = 1 << 15;

}  // namespace

std::optional<PixelImage> DecodeBmp24(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t FileHeaderSize = 14;
  constexpr std::size_t InfoHeaderSize = 40;
  if (bytes.size() < FileHeaderSize + InfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const std::uint32_t dataOffset = Le32(bytes, 10);
  if (Le32(bytes, 14) < InfoHeaderSize) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Le32(bytes, 18));
  const auto rawHeight = static_cast<std::int32_t>(Le32(bytes, 22));
  const std::uint16_t planes = Le16(bytes, 26);
  const std::uint16_t bitsPerPixel = Le16(bytes, 28);
  const std::uint32_t compression = Le32(bytes, 30);
  if (planes != 1 || bitsPerPixel != 24 || compression != 0) return std::nullopt;

  // A negative height means rows stored top-down.
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide) return std::nullopt;

  const std::int64_t stride = (static_cast<std::int64_t>(width) * 3 + 3) / 4 * 4;
  if (static_cast<std::int64_t>(dataOffset) + stride * height > static_cast<std::int64_t>(bytes.size())) {
    return std::nullopt;
  }

  PixelImage image;
  image.Width = width;
  image.Height = static_cast<int>(height);
  image.Pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < image.Height; ++y) {
    const std::int64_t storedRow = topDown ? y : height - 1 - y;
    const std::size_t row = dataOffset + static_cast<std::size_t>(storedRow * stride);
    for (int x = 0; x < width; ++x) {
      const std::size_t p = row + static_cast<std::size_t>(x) * 3;  // stored blue, green, red
      image.Pixels[static_cast<std::size_t>(y) * width + x] =
          (static_cast<std::uint32_t>(bytes[p + 2]) << 16) | (bytes[p + 1] << 8) | bytes[p];
    }
  }
  return image;
}

std::optional<PixelImage> ReadBmp24File(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return DecodeBmp24(bytes);
}

}  // namespace skin
