// Hub port queries over the platform interface.
#include "device_library/usb_port_queries.h"

#include <cstring>
#include <string>

namespace device_library {

namespace ci = usb::connection_information;
namespace dd = usb::device_descriptor;

uint16_t PortConnectionInfo::IdVendor() const { return Load16(Bytes(), ci::kDeviceDescriptor + dd::kIdVendor); }
uint16_t PortConnectionInfo::IdProduct() const { return Load16(Bytes(), ci::kDeviceDescriptor + dd::kIdProduct); }
uint16_t PortConnectionInfo::BcdDevice() const { return Load16(Bytes(), ci::kDeviceDescriptor + dd::kBcdDevice); }
bool PortConnectionInfo::DeviceIsHub() const { return Bytes()[ci::kDeviceIsHub] != 0; }
uint32_t PortConnectionInfo::ConnectionStatus() const { return Load32(Bytes(), ci::kConnectionStatus); }

UniqueFile OpenHub(Platform& platform, std::u16string_view hubName) {
  std::u16string path = u"\\\\.\\";
  path += hubName;
  return UniqueFile(platform, platform.CreateFileW(path.c_str(), kGenericWrite, kFileShareWrite, nullptr,
                                                   kOpenExisting, 0, nullptr));
}

namespace {

// One request with a fresh record holding the connection index, as input and output.
LocalBuffer RequestConnectionInformation(Platform& platform, Handle hub, uint32_t connectionIndex, uint32_t code,
                                         bool* answered) {
  *answered = false;
  LocalBuffer record = LocalBuffer::Allocate(platform, ci::kBufferSize);
  if (!record) return record;
  Store32(record.data(), ci::kConnectionIndex, connectionIndex);
  uint32_t bytesReturned = 0;
  *answered = platform.DeviceIoControl(hub, code, record.data(), ci::kBufferSize, record.data(), ci::kBufferSize,
                                       &bytesReturned, nullptr) != 0;
  return record;
}

}  // namespace

std::optional<PortConnectionInfo> GetPortConnectionInfo(Platform& platform, Handle hub, uint32_t connectionIndex) {
  bool answered = false;
  LocalBuffer newer =
      RequestConnectionInformation(platform, hub, connectionIndex, usb::kIoctlGetNodeConnectionInformationEx, &answered);
  if (!newer) return std::nullopt;
  if (answered) return PortConnectionInfo(std::move(newer));

  LocalBuffer older =
      RequestConnectionInformation(platform, hub, connectionIndex, usb::kIoctlGetNodeConnectionInformation, &answered);
  if (!older || !answered) return std::nullopt;
  std::memcpy(newer.data(), older.data(), ci::kBufferSize);
  return PortConnectionInfo(std::move(newer));
}

bool GetUsbDeviceVidPidFromHub(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex,
                               uint16_t* vidOut, uint16_t* pidOut) {
  UniqueFile hub = OpenHub(platform, hubName);
  if (!hub) return false;
  std::optional<PortConnectionInfo> info = GetPortConnectionInfo(platform, hub.get(), connectionIndex);
  platform.CancelIo(hub.get());
  hub.reset();
  if (!info) return false;
  if (vidOut) *vidOut = info->IdVendor();
  if (pidOut) *pidOut = info->IdProduct();
  return true;
}

}  // namespace device_library
