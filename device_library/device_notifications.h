// Device-change subscriptions of a caller's window: arrival and removal of USB devices, HID
// interfaces, mice and keyboards, and the events of one open device handle.
#pragma once

#include "device_library/platform.h"

namespace device_library {

// Four registrations, in the order USB device, HID (the class HidD_GetHidGuid reports now), mouse,
// keyboard, each with the same zero-filled interface record. No outcome stops the next one; the
// keyboard registration's handle is the result, the other three stay in force unheld.
void* RegisterArrivalRemove(Platform& platform, Handle recipientWindow);

// One registration for the events of deviceHandle (a zero-filled handle record).
void* RegisterQueryRemove(Platform& platform, Handle recipientWindow, Handle deviceHandle);

}  // namespace device_library
