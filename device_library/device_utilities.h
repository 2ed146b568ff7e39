// Small utilities around the searches: a port's presence and release number, every present HID
// interface path, opening the n-th interface of a class, and restarting a USB device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "device_library/hid_search.h"
#include "device_library/platform.h"

namespace device_library {

// True when the hub answers for the port and reports a connected device.
bool IsDeviceExist(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex);

// The ids and bcdDevice of whatever the hub reports for the port (its status is not looked at);
// outputs (each skipped when null) are written only when the result is true.
bool GetUsbDeviceVidPidReleaseFromHub(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex,
                                      uint16_t* vidOut, uint16_t* pidOut, uint16_t* releaseOut);

// Every present HID interface path in enumeration order, each once, nothing opened or filtered;
// the list ends at the first path that cannot be read.
HidInterfaceList ListAllHidInterfacePaths(Platform& platform);

// The present interface at index of the class, opened read/write, shared, for overlapped I/O; the
// caller owns it. Null when there is none or it does not open.
Handle GetDeviceViaInterfaceGuid(Platform& platform, const Guid& interfaceClass, uint32_t index);

// "USB\Vid_%04x&Pid_%04x" and the same with upper-case digits.
std::u16string ResetMatchText(uint16_t vid, uint16_t pid, bool upperCaseDigits);

// The first present USB device whose first hardware id contains either match text is restarted
// (a property change through its class installer). True when it restarted without needing a
// system restart. Polling a read that fails without an error gives up after kResetPollLimitMs.
inline constexpr uint32_t kResetPollLimitMs = 10000;
bool RestartUsbDevice(Platform& platform, uint16_t vid, uint16_t pid);

}  // namespace device_library
