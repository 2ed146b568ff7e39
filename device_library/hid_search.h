// The HID interface search: the paths of present HID collections matching a vendor,
// product, usage page and usage (0 = any), in enumeration order, each path once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device_library/platform.h"

namespace device_library {

using HidInterfaceList = std::vector<std::u16string>;

// The fixed key of the HID list (GetHidDeviceFromHidList, and GetUsbDeviceFromHidList).
inline constexpr uint32_t kHidListUsagePage = 0xFFA0;
inline constexpr uint32_t kHidListUsage = 0xA5;

// The key is compared in full 32 bits: a 16-bit export widens its arguments with zeros, so only
// GetHidDeviceName can pass a value above 0xFFFF, which then matches no collection.
HidInterfaceList EnumerateHidInterfaces(Platform& platform, uint32_t vid, uint32_t pid, uint32_t usagePage,
                                        uint32_t usage);

// The path of the HID interface at a position of a device information set; empty when there is
// none there or it cannot be read.
std::u16string GetHidInterfacePath(Platform& platform, DeviceInfoSet set, uint32_t position);
// The same for an interface of any class.
std::u16string GetInterfacePath(Platform& platform, DeviceInfoSet set, const Guid& interfaceClass, uint32_t position);

// What one HID collection tells about itself.
struct CollectionFacts {
  uint16_t vid, pid, usagePage, usage;
};
// Opens the path for queries only (access 0, shared read and write, overlapped) and reads the
// attributes, then the capabilities; false when any step fails, facts then untouched.
bool ReadCollectionFacts(Platform& platform, const std::u16string& path, CollectionFacts* facts);

}  // namespace device_library
