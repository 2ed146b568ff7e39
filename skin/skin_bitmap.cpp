#include "skin/skin_bitmap.h"

namespace skin {

SkinBitmap::SkinBitmap() : dc_(CreateCompatibleDC(nullptr)) {}

SkinBitmap::~SkinBitmap() { Release(); }

void SkinBitmap::DropBitmap() {
  // A bitmap still selected into a device context cannot be deleted.
  if (bitmap_ && dc_) SelectObject(dc_.get(), stockBitmap_);
  bitmap_.reset();
  bits_ = nullptr;
  width_ = 0;
  height_ = 0;
}

void SkinBitmap::Release() {
  DropBitmap();
  dc_.reset();
}

bool SkinBitmap::SetSize(int width, int height) {
  DropBitmap();
  if (!dc_) return false;
  if (width <= 0 || height <= 0) return width >= 0 && height >= 0;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: row 0 first in memory
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  forms::UniqueBitmap bitmap(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return false;
  bitmap_ = std::move(bitmap);
  stockBitmap_ = SelectObject(dc_.get(), bitmap_.get());
  bits_ = static_cast<const std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

bool SkinBitmap::Adopt(HBITMAP handle) {
  forms::UniqueBitmap bitmap(handle);
  BITMAP description{};
  if (!bitmap || GetObjectW(bitmap.get(), sizeof(description), &description) != sizeof(description) || !dc_) {
    return false;
  }
  DropBitmap();
  HGDIOBJ previous = SelectObject(dc_.get(), bitmap.get());
  if (!previous) return false;  // for instance a bitmap already selected into another device context
  stockBitmap_ = previous;
  bitmap_ = std::move(bitmap);
  width_ = description.bmWidth;
  height_ = description.bmHeight;
  return true;
}

}  // namespace skin
