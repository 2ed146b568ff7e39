// One move-only owner for each thing the library acquires through the platform: file handles,
// device information sets, preparsed data and LocalAlloc buffers. Each releases through the same
// platform it came from, on every path.
#pragma once

#include <utility>

#include "device_library/platform.h"

namespace device_library {

template <typename Traits>
class PlatformOwner {
 public:
  using Value = typename Traits::Value;

  PlatformOwner(Platform& platform, Value value) : platform_(&platform), value_(value) {}
  PlatformOwner(PlatformOwner&& other) noexcept : platform_(other.platform_), value_(other.release()) {}
  PlatformOwner& operator=(PlatformOwner&& other) noexcept {
    if (this != &other) {
      reset();
      platform_ = other.platform_;
      value_ = other.release();
    }
    return *this;
  }
  PlatformOwner(const PlatformOwner&) = delete;
  PlatformOwner& operator=(const PlatformOwner&) = delete;
  ~PlatformOwner() { reset(); }

  Value get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Invalid(); }
  void reset() {
    if (value_ != Traits::Invalid()) Traits::Release(*platform_, value_);
    value_ = Traits::Invalid();
  }
  [[nodiscard]] Value release() { return std::exchange(value_, Traits::Invalid()); }

 private:
  Platform* platform_;
  Value value_;
};

struct FileTraits {  // CreateFileW: INVALID_HANDLE_VALUE on failure
  using Value = Handle;
  static Value Invalid() { return InvalidHandleValue(); }
  static void Release(Platform& platform, Value value) { platform.CloseHandle(value); }
};
struct DeviceInfoSetTraits {  // SetupDiGetClassDevsW: INVALID_HANDLE_VALUE on failure
  using Value = DeviceInfoSet;
  static Value Invalid() { return InvalidHandleValue(); }
  static void Release(Platform& platform, Value value) { platform.SetupDiDestroyDeviceInfoList(value); }
};
struct PreparsedDataTraits {
  using Value = PreparsedData;
  static Value Invalid() { return nullptr; }
  static void Release(Platform& platform, Value value) { platform.HidD_FreePreparsedData(value); }
};
struct LocalMemoryTraits {
  using Value = void*;
  static Value Invalid() { return nullptr; }
  static void Release(Platform& platform, Value value) { platform.LocalFree(value); }
};

using UniqueFile = PlatformOwner<FileTraits>;
using UniqueDeviceInfoSet = PlatformOwner<DeviceInfoSetTraits>;
using UniquePreparsedData = PlatformOwner<PreparsedDataTraits>;

// A LocalAlloc block that remembers its size.
class LocalBuffer {
 public:
  // Zero-filled; empty (false) when the platform refuses the memory.
  static LocalBuffer Allocate(Platform& platform, size_t bytes) {
    return LocalBuffer(platform, platform.LocalAlloc(kLmemZeroInit, bytes), bytes);
  }
  // Holds nothing (no platform call), to be allocated later.
  static LocalBuffer None(Platform& platform) { return LocalBuffer(platform, nullptr, 0); }
  explicit operator bool() const { return static_cast<bool>(memory_); }
  uint8_t* data() const { return static_cast<uint8_t*>(memory_.get()); }
  size_t size() const { return size_; }
  void reset() {
    memory_.reset();
    size_ = 0;
  }

 private:
  LocalBuffer(Platform& platform, void* memory, size_t bytes)
      : memory_(platform, memory), size_(memory ? bytes : 0) {}
  PlatformOwner<LocalMemoryTraits> memory_;
  size_t size_;
};

}  // namespace device_library
