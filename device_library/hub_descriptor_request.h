// Standard GET_DESCRIPTOR requests sent to the device on a hub port through the hub's driver.
#pragma once

#include <cstdint>
#include <string_view>

#include "device_library/platform.h"
#include "device_library/platform_owners.h"

namespace device_library {

// One request on an open hub: a zero-filled block of the 12-byte header and wLength data bytes,
// sent as input and output. The filled block, or an empty buffer when the hub refuses. The received
// count (stored only on success) is the number of data bytes the hub returned, bounded by wLength;
// a success that returned less than the header counts 0. headerReturned (if given) tells whether
// the answer held at least the header.
LocalBuffer IssuePortDescriptorRequest(Platform& platform, Handle hub, uint32_t connectionIndex, uint16_t* received,
                                       uint16_t wValue, uint16_t wIndex, uint16_t wLength,
                                       bool* headerReturned = nullptr);

// Opens the hub, sends the request, copies the data and closes the hub. With a received pointer,
// that many bytes are copied into destination; without one, wLength bytes (zero beyond what the hub
// returned). Nothing is copied when the hub returned less than the header. True when the hub
// completed the request; on false destination and received are untouched.
bool GetDescriptorFromHubPort(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex,
                              uint16_t wValue, uint16_t wIndex, uint16_t wLength, uint8_t* destination,
                              uint16_t* received);

}  // namespace device_library
