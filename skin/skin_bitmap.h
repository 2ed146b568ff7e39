// A bitmap with its own canvas (a memory device context it stays selected into).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "forms/unique_handle.h"

namespace skin {

// Either a 32-bit top-down DIB section that this object sized itself (its pixels are read
// directly), or a bitmap adopted from elsewhere, for example from LoadBitmapW.
class SkinBitmap {
 public:
  SkinBitmap();
  ~SkinBitmap();
  SkinBitmap(const SkinBitmap&) = delete;
  SkinBitmap& operator=(const SkinBitmap&) = delete;

  // False when the canvas could not be created or has been released.
  bool IsValid() const { return static_cast<bool>(dc_); }

  // Replaces the bitmap by a black one of that size; 0 x 0 (or a negative side) leaves none.
  // False when no bitmap of that size could be made (the bitmap is then 0 x 0).
  bool SetSize(int width, int height);
  // Takes ownership of the bitmap. False (and the bitmap is deleted) when it is not a bitmap.
  bool Adopt(HBITMAP bitmap);
  // Frees the bitmap and the canvas.
  void Release();

  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC Dc() const { return dc_.get(); }
  HBITMAP Handle() const { return bitmap_.get(); }
  // The canvas clip rectangle: the bitmap's whole area from (0, 0).
  RECT ClipRect() const { return RECT{0, 0, width_, height_}; }

  // Colour at (x, y) as 0xRRGGBB; the caller keeps x and y inside the bitmap and calls GdiFlush
  // after drawing, before reading. Read from memory for our own DIB, through GDI otherwise.
  std::uint32_t Pixel(int x, int y) const {
    if (bits_) return bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFFu;
    const COLORREF c = GetPixel(dc_.get(), x, y);  // 0x00BBGGRR
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }

 private:
  void DropBitmap();

  forms::UniqueDc dc_;
  HGDIOBJ stockBitmap_ = nullptr;  // what the fresh canvas held; put back before our bitmap is deleted
  forms::UniqueBitmap bitmap_;
  const std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// A canvas on a window: a device context obtained for one drawing and released after it.
class WindowCanvas {
 public:
  explicit WindowCanvas(HWND window) : window_(window) {}

  class Dc {
   public:
    explicit Dc(HWND window) : window_(window), dc_(window ? GetDC(window) : nullptr) {}
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;
    ~Dc() {
      if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

   private:
    HWND window_;
    HDC dc_;
  };

  Dc Acquire() const { return Dc(window_); }
  void Release() { window_ = nullptr; }

 private:
  HWND window_;
};

}  // namespace skin
