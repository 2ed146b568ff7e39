// One move-only owner per Win32 handle: the traits say how a handle is closed and what "none" is.
#pragma once

#include <windows.h>

#include <utility>

namespace forms {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }

  // Closes the handle held, keeping the caller's last-error value intact.
  void reset(Handle handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) {
      const DWORD lastError = GetLastError();
      Traits::Close(handle_);
      SetLastError(lastError);
    }
    handle_ = handle;
  }
  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::Invalid()); }

 private:
  Handle handle_ = Traits::Invalid();
};

template <typename H, auto CloseFunction, LONG_PTR InvalidValue = 0>
struct HandleTraits {
  using Handle = H;
  static Handle Invalid() { return reinterpret_cast<Handle>(InvalidValue); }
  static void Close(Handle handle) { CloseFunction(handle); }
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

using UniqueWindow = UniqueHandle<HandleTraits<HWND, DestroyWindow>>;
using UniqueDc = UniqueHandle<HandleTraits<HDC, DeleteDC>>;  // from CreateCompatibleDC
using UniqueBitmap = UniqueHandle<HandleTraits<HBITMAP, DeleteGdiObject>>;
using UniqueRegion = UniqueHandle<HandleTraits<HRGN, DeleteGdiObject>>;
using UniqueFont = UniqueHandle<HandleTraits<HFONT, DeleteGdiObject>>;
using UniqueBrush = UniqueHandle<HandleTraits<HBRUSH, DeleteGdiObject>>;
using UniqueHook = UniqueHandle<HandleTraits<HHOOK, UnhookWindowsHookEx>>;
using UniqueModule = UniqueHandle<HandleTraits<HMODULE, FreeLibrary>>;
using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, CloseHandle>>;
// CreateFileW fails with INVALID_HANDLE_VALUE, not null.
using UniqueFile = UniqueHandle<HandleTraits<HANDLE, CloseHandle, -1>>;

// Puts the previously selected object back into a device context when it goes out of scope.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;
  ~SelectionGuard() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// GetDC / ReleaseDC of a window, or of the screen for null.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class PaintGuard {
 public:
  explicit PaintGuard(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  PaintGuard(const PaintGuard&) = delete;
  PaintGuard& operator=(const PaintGuard&) = delete;
  ~PaintGuard() { EndPaint(window_, &paint_); }
  HDC dc() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace forms
