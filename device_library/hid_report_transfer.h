// HID report transfer by path: open for reading and writing, one HID class call with
// the caller's buffer and length unchanged, close.
#pragma once

#include <cstdint>

#include "device_library/platform.h"

namespace device_library {

enum class HidTransfer { SetFeature, GetFeature, SetOutputReport };

// False without any HID class call when the path is null or does not open.
bool TransferHidReportByPath(Platform& platform, HidTransfer transfer, const char16_t* hidPath, void* report,
                             uint32_t reportLength);

}  // namespace device_library
