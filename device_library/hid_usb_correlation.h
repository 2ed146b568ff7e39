// From a HID interface path to the USB hub port of the device behind it, by device-tree identity:
// the HID device's parent instance id against the instance ids of each port's device and of its
// direct children (the interfaces of a composite device).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device_library/platform.h"

namespace device_library {

struct UsbPortLocation {
  bool found = false;
  std::u16string hubName;
  int32_t connectionIndex = 0;  // 0 when nothing was found
};

// Instance ids and HID paths compare without regard to the case of A-Z only, in full length.
bool SameDeviceName(std::u16string_view a, std::u16string_view b);

// Ports in walk order, each port's children before its own device; the first match wins. An empty
// target id (the path is not a present HID interface) finds nothing at once.
UsbPortLocation FindUsbPortOfHidPath(Platform& platform, std::u16string_view hidPath);

// The instance id of the parent of the HID device that exposes hidPath; empty when not present or
// any step fails.
std::u16string GetHidParentInstanceId(Platform& platform, std::u16string_view hidPath);
// The position of hidPath among the set's HID interfaces, or -1.
int32_t FindHidInterfaceIndex(Platform& platform, DeviceInfoSet set, std::u16string_view hidPath);
// The instance id of the device on a port; empty when the hub, its driver key or the device is missing.
std::u16string GetPortInstanceId(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex);
// The bus-relation children of a device node, in the order the configuration manager lists them.
std::vector<std::u16string> ListChildInstanceIds(Platform& platform, const std::u16string& parentId);
// The driver key name the hub reports for a port: a 10-byte request, then one of the reported size.
std::u16string GetPortDriverKeyName(Platform& platform, Handle hub, uint32_t connectionIndex);
// The instance id of the present device whose driver key (SPDRP_DRIVER) is exactly driverKey; an
// empty key is never looked up.
std::u16string GetInstanceIdOfDriverKey(Platform& platform, std::u16string_view driverKey);

}  // namespace device_library
