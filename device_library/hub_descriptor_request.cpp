// Descriptor requests through a hub over the platform interface.
#include "device_library/hub_descriptor_request.h"

#include <algorithm>
#include <cstring>

#include "device_library/usb_port_queries.h"

namespace device_library {

namespace dr = usb::descriptor_request;

namespace {

constexpr uint8_t kDeviceToHostStandardDevice = 0x80;
constexpr uint8_t kGetDescriptor = 0x06;

// Data bytes in an answer of bytesReturned: a driver that reports less than the header returned
// no data, and one that reports more than was asked for is held to wLength.
uint16_t DataBytes(uint32_t bytesReturned, uint16_t wLength) {
  if (bytesReturned < dr::kData) return 0;
  return static_cast<uint16_t>(std::min<uint32_t>(bytesReturned - dr::kData, wLength));
}

}  // namespace

LocalBuffer IssuePortDescriptorRequest(Platform& platform, Handle hub, uint32_t connectionIndex, uint16_t* received,
                                       uint16_t wValue, uint16_t wIndex, uint16_t wLength, bool* headerReturned) {
  const uint32_t size = static_cast<uint32_t>(dr::kData + wLength);
  LocalBuffer block = LocalBuffer::Allocate(platform, size);
  if (!block) return block;
  uint8_t* header = block.data();
  Store32(header, dr::kConnectionIndex, connectionIndex);
  header[dr::kRequestType] = kDeviceToHostStandardDevice;
  header[dr::kRequest] = kGetDescriptor;
  Store16(header, dr::kValue, wValue);
  Store16(header, dr::kIndex, wIndex);
  Store16(header, dr::kLength, wLength);
  uint32_t bytesReturned = 0;
  if (!platform.DeviceIoControl(hub, usb::kIoctlGetDescriptorFromNodeConnection, header, size, header, size,
                                &bytesReturned, nullptr)) {
    block.reset();
    return block;
  }
  if (received) *received = DataBytes(bytesReturned, wLength);
  if (headerReturned) *headerReturned = bytesReturned >= dr::kData;
  return block;
}

bool GetDescriptorFromHubPort(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex,
                              uint16_t wValue, uint16_t wIndex, uint16_t wLength, uint8_t* destination,
                              uint16_t* received) {
  UniqueFile hub = OpenHub(platform, hubName);
  if (!hub) return false;
  uint16_t dataBytes = 0;
  bool headerReturned = false;
  LocalBuffer block =
      IssuePortDescriptorRequest(platform, hub.get(), connectionIndex, &dataBytes, wValue, wIndex, wLength,
                                 &headerReturned);
  const bool completed = static_cast<bool>(block);
  if (completed) {
    if (received) *received = dataBytes;
    // The block is zero-filled, so without a count the bytes past the answer copy as zeros.
    const size_t copy = !headerReturned ? 0 : received ? dataBytes : wLength;
    if (destination && copy > 0) std::memcpy(destination, block.data() + dr::kData, copy);
    block.reset();
  }
  platform.CancelIo(hub.get());
  return completed;
}

}  // namespace device_library
