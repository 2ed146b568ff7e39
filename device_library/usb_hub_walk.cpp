// The USB hub walk over the platform interface.
#include "device_library/usb_hub_walk.h"

#include <optional>

#include "device_library/platform_owners.h"
#include "device_library/usb_port_queries.h"

namespace device_library {

WalkKey WalkKeyFromExportArguments(uint32_t vidArgument, uint32_t pidArgument) {
  WalkKey key;
  if ((vidArgument & 0xFFFF) != 0) key.vid = vidArgument & 0xFFFF;
  if ((pidArgument & 0xFFFF) != 0) key.pid = pidArgument & 0xFFFF;
  return key;
}

bool UsbPortList::Append(UsbPortRecord record) {
  std::u16string point = record.hubName;
  point += u'\0';
  point += static_cast<char16_t>(static_cast<uint32_t>(record.connectionIndex) & 0xFFFF);
  point += static_cast<char16_t>(static_cast<uint32_t>(record.connectionIndex) >> 16);
  if (!attachmentPoints_.insert(std::move(point)).second) return false;
  records_.push_back(std::move(record));
  return true;
}

std::vector<UsbPortRecord> CollectUsbPorts(Platform& platform, WalkKey key) {
  UsbPortList list;
  ScanLegacyHostControllers(platform, key, list);
  ScanHostControllerInterfaces(platform, key, list);
  return list.TakeRecords();
}

namespace {

// The controller part shared by both scans: open, root hub name, walk, close.
void WalkHostController(Platform& platform, WalkKey key, const char16_t* path, UsbPortList& list) {
  UniqueFile controller(platform, platform.CreateFileW(path, kGenericWrite, kFileShareWrite, nullptr, kOpenExisting,
                                                       0, nullptr));
  if (!controller) return;
  const std::u16string rootHubName = GetRootHubName(platform, controller.get());
  if (!rootHubName.empty()) WalkHub(platform, key, rootHubName, list);
}

// A zero-terminated UTF-16 name inside a record, bounded by the record's end.
std::u16string NameAt(const LocalBuffer& record, size_t offset) {
  std::u16string name;
  for (size_t at = offset; at + 1 < record.size(); at += 2) {
    const char16_t unit = static_cast<char16_t>(Load16(record.data(), at));
    if (unit == u'\0') break;
    name += unit;
  }
  return name;
}

}  // namespace

void ScanLegacyHostControllers(Platform& platform, WalkKey key, UsbPortList& list) {
  for (char16_t n = 0; n <= 9; ++n) {
    const char16_t name[] = {u'\\', u'\\', u'.', u'\\', u'H', u'C', u'D', static_cast<char16_t>(u'0' + n), u'\0'};
    WalkHostController(platform, key, name, list);
  }
}

void ScanHostControllerInterfaces(Platform& platform, WalkKey key, UsbPortList& list) {
  UniqueDeviceInfoSet set(platform, platform.SetupDiGetClassDevsW(&kUsbHostControllerInterfaceClass, nullptr, nullptr,
                                                                   kDigcfPresent | kDigcfDeviceInterface));
  if (!set) return;
  for (uint32_t position = 0;; ++position) {
    DeviceInterfaceData interfaceData{};
    interfaceData.cbSize = sizeof(DeviceInterfaceData);
    if (!platform.SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kUsbHostControllerInterfaceClass, position,
                                              &interfaceData))
      break;
    uint32_t requiredSize = 0;
    platform.SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, nullptr, 0, &requiredSize, nullptr);
    // A detail record that cannot be had or read skips this controller.
    if (requiredSize < sizeof(DeviceInterfaceDetailDataW)) continue;
    LocalBuffer detail = LocalBuffer::Allocate(platform, requiredSize);
    if (!detail) continue;
    auto* detailRecord = reinterpret_cast<DeviceInterfaceDetailDataW*>(detail.data());
    detailRecord->cbSize = sizeof(DeviceInterfaceDetailDataW);
    if (!platform.SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, detailRecord, requiredSize, nullptr,
                                                   nullptr))
      continue;
    const std::u16string path = NameAt(detail, kDetailPathOffset);
    WalkHostController(platform, key, path.c_str(), list);
  }
}

std::u16string GetRootHubName(Platform& platform, Handle hostController) {
  namespace rhn = usb::root_hub_name;
  uint8_t first[rhn::kSize] = {};
  uint32_t bytesReturned = 0;
  if (!platform.DeviceIoControl(hostController, usb::kIoctlGetRootHubName, nullptr, 0, first, rhn::kSize,
                                &bytesReturned, nullptr))
    return {};
  const uint32_t actualLength = Load32(first, rhn::kActualLength);
  if (actualLength < rhn::kSize) return {};
  LocalBuffer record = LocalBuffer::Allocate(platform, actualLength);
  if (!record) return {};
  bytesReturned = 0;
  if (!platform.DeviceIoControl(hostController, usb::kIoctlGetRootHubName, nullptr, 0, record.data(), actualLength,
                                &bytesReturned, nullptr))
    return {};
  return NameAt(record, rhn::kName);
}

bool WalkHub(Platform& platform, WalkKey key, std::u16string_view hubName, UsbPortList& list) {
  namespace ni = usb::node_information;
  UniqueFile hub = OpenHub(platform, hubName);
  if (!hub) return false;

  uint8_t nodeInformation[ni::kSize] = {};
  uint32_t bytesReturned = 0;
  uint32_t portCount = 0;
  if (platform.DeviceIoControl(hub.get(), usb::kIoctlGetNodeInformation, nodeInformation, ni::kSize, nodeInformation,
                               ni::kSize, &bytesReturned, nullptr))
    portCount = nodeInformation[ni::kNumberOfPorts];

  for (uint32_t connectionIndex = 1; connectionIndex <= portCount; ++connectionIndex) {
    std::optional<PortConnectionInfo> info = GetPortConnectionInfo(platform, hub.get(), connectionIndex);
    if (!info) continue;
    if (info->ConnectionStatus() != usb::kDeviceConnected) continue;
    if (info->DeviceIsHub()) {
      const std::u16string externalHubName = GetExternalHubName(platform, hub.get(), connectionIndex);
      if (!externalHubName.empty()) WalkHub(platform, key, externalHubName, list);
      continue;
    }
    const uint16_t vid = info->IdVendor();
    const uint16_t pid = info->IdProduct();
    if (key.vid != WalkKey::kAnyId && key.vid != vid) continue;
    if (key.pid != WalkKey::kAnyId && key.pid != pid) continue;
    list.Append(UsbPortRecord{std::u16string(hubName), static_cast<int32_t>(connectionIndex), vid, pid});
  }

  platform.CancelIo(hub.get());
  return true;
}

std::u16string GetExternalHubName(Platform& platform, Handle hub, uint32_t connectionIndex) {
  namespace cn = usb::connection_name;
  uint8_t first[cn::kSize] = {};
  Store32(first, cn::kConnectionIndex, connectionIndex);
  uint32_t bytesReturned = 0;
  if (!platform.DeviceIoControl(hub, usb::kIoctlGetNodeConnectionName, first, cn::kSize, first, cn::kSize,
                                &bytesReturned, nullptr))
    return {};
  const uint32_t actualLength = Load32(first, cn::kActualLength);
  if (actualLength < cn::kSize) return {};
  LocalBuffer record = LocalBuffer::Allocate(platform, actualLength);
  if (!record) return {};
  Store32(record.data(), cn::kConnectionIndex, connectionIndex);
  bytesReturned = 0;
  if (!platform.DeviceIoControl(hub, usb::kIoctlGetNodeConnectionName, record.data(), actualLength, record.data(),
                                actualLength, &bytesReturned, nullptr))
    return {};
  return NameAt(record, cn::kName);
}

}  // namespace device_library
