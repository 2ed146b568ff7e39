// Opening a hub by its hub name and reading one port's connection information.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "device_library/platform.h"
#include "device_library/platform_owners.h"

namespace device_library {

// The 365-byte USB_NODE_CONNECTION_INFORMATION_EX record of one port, owned by its reader.
class PortConnectionInfo {
 public:
  explicit PortConnectionInfo(LocalBuffer record) : record_(std::move(record)) {}
  uint16_t IdVendor() const;
  uint16_t IdProduct() const;
  uint16_t BcdDevice() const;
  bool DeviceIsHub() const;
  uint32_t ConnectionStatus() const;
  const uint8_t* Bytes() const { return record_.data(); }

 private:
  LocalBuffer record_;
};

// CreateFileW on "\\.\" + hubName (always prefixed, also a name that already carries the prefix),
// GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING, flags 0: synchronous device control requests.
UniqueFile OpenHub(Platform& platform, std::u16string_view hubName);

// The newer request first; when the hub refuses it, the older one into a second record, copied
// into the first. None when both fail or no record can be had.
std::optional<PortConnectionInfo> GetPortConnectionInfo(Platform& platform, Handle hub, uint32_t connectionIndex);

// The export's logic: ids of whatever the hub answers for the port (its status is not looked at).
// The outputs are written only when the result is true.
bool GetUsbDeviceVidPidFromHub(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex,
                               uint16_t* vidOut, uint16_t* pidOut);

}  // namespace device_library
