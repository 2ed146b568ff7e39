// A small reader for uncompressed 24-bit BMP files, so pictures can be checked without a window system.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace skin {

struct PixelImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0xRRGGBB, row 0 at the top

  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// nullopt for anything but a well-formed, uncompressed 24-bit BMP whose data fits in the bytes given.
std::optional<PixelImage> DecodeBmp24(std::span<const std::uint8_t> bytes);
std::optional<PixelImage> ReadBmp24File(const std::string& path);

}  // namespace skin
