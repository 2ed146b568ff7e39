// HID-to-USB correlation over the platform interface.
#include "device_library/hid_usb_correlation.h"

#include "device_library/hid_search.h"
#include "device_library/platform_owners.h"
#include "device_library/usb_hub_walk.h"
#include "device_library/usb_port_queries.h"

namespace device_library {

namespace cn = usb::connection_name;

namespace {

char16_t FoldAtoZ(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// A UTF-16 text read from a record, up to its terminator or the record's end.
std::u16string TextAt(const uint8_t* record, size_t offset, size_t size) {
  std::u16string text;
  for (size_t at = offset; at + 1 < size; at += 2) {
    const char16_t unit = static_cast<char16_t>(Load16(record, at));
    if (unit == u'\0') break;
    text += unit;
  }
  return text;
}

constexpr uint32_t kInstanceIdUnits = 256;
constexpr uint32_t kMaxIdListUnits = 1u << 20;

}  // namespace

bool SameDeviceName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAtoZ(a[i]) != FoldAtoZ(b[i])) return false;
  return true;
}

UsbPortLocation FindUsbPortOfHidPath(Platform& platform, std::u16string_view hidPath) {
  UsbPortLocation location;
  const std::u16string target = GetHidParentInstanceId(platform, hidPath);
  if (target.empty()) return location;
  for (const UsbPortRecord& record : CollectUsbPorts(platform, WalkKey{})) {
    // The port's own id is looked up once and serves both as the children's parent and as itself.
    const std::u16string own =
        GetPortInstanceId(platform, record.hubName, static_cast<uint32_t>(record.connectionIndex));
    if (own.empty()) continue;
    bool matches = false;
    for (const std::u16string& child : ListChildInstanceIds(platform, own))
      if (SameDeviceName(child, target)) matches = true;
    if (matches || SameDeviceName(own, target)) {
      location.found = true;
      location.hubName = record.hubName;
      location.connectionIndex = record.connectionIndex;
      return location;
    }
  }
  return location;
}

std::u16string GetHidParentInstanceId(Platform& platform, std::u16string_view hidPath) {
  Guid hidGuid{};
  platform.HidD_GetHidGuid(&hidGuid);
  UniqueDeviceInfoSet set(platform,
                          platform.SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, kDigcfPresent | kDigcfDeviceInterface));
  if (!set) return {};
  const int32_t index = FindHidInterfaceIndex(platform, set.get(), hidPath);
  if (index < 0) return {};
  DeviceInfoData device{};
  device.cbSize = sizeof(DeviceInfoData);
  if (!platform.SetupDiEnumDeviceInfo(set.get(), static_cast<uint32_t>(index), &device)) return {};
  DevInst parent = 0;
  if (platform.CM_Get_Parent(&parent, device.DevInst, 0) != kCrSuccess) return {};
  uint32_t length = 0;  // Wine leaves some outputs unwritten on success: every one starts set
  if (platform.CM_Get_Device_ID_Size(&length, parent, 0) != kCrSuccess || length == 0) return {};
  std::u16string id(length + 1, u'\0');
  if (platform.CM_Get_Device_IDW(parent, id.data(), length + 1, 0) != kCrSuccess) return {};
  id.resize(std::u16string_view(id.c_str()).size());
  return id;
}

int32_t FindHidInterfaceIndex(Platform& platform, DeviceInfoSet set, std::u16string_view hidPath) {
  for (uint32_t position = 0; position < 0x7FFFFFFF; ++position) {
    const std::u16string path = GetHidInterfacePath(platform, set, position);
    if (path.empty()) return -1;
    if (SameDeviceName(path, hidPath)) return static_cast<int32_t>(position);
  }
  return -1;
}

std::u16string GetPortInstanceId(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex) {
  UniqueFile hub = OpenHub(platform, hubName);
  if (!hub) return {};
  const std::u16string driverKey = GetPortDriverKeyName(platform, hub.get(), connectionIndex);
  platform.CancelIo(hub.get());
  hub.reset();
  return GetInstanceIdOfDriverKey(platform, driverKey);
}

std::vector<std::u16string> ListChildInstanceIds(Platform& platform, const std::u16string& parentId) {
  std::vector<std::u16string> children;
  uint32_t units = 0;  // Wine's CM_Get_Device_ID_List_SizeW succeeds without writing it
  if (platform.CM_Get_Device_ID_List_SizeW(&units, parentId.c_str(), kCmGetIdListFilterBusRelations) != kCrSuccess ||
      units == 0 || units > kMaxIdListUnits)  // an absurd size is no list (and would wrap the +2)
    return children;
  std::u16string buffer(static_cast<size_t>(units) + 2, u'\0');
  if (platform.CM_Get_Device_ID_ListW(parentId.c_str(), buffer.data(), units + 2, kCmGetIdListFilterBusRelations) !=
      kCrSuccess)
    return children;
  // Zero-terminated ids one after another, ended by an empty one; the two spare units stay zero.
  for (size_t at = 0; at < buffer.size() && buffer[at] != u'\0';) {
    const size_t end = buffer.find(u'\0', at);
    children.push_back(buffer.substr(at, end - at));
    at = end + 1;
  }
  return children;
}

std::u16string GetPortDriverKeyName(Platform& platform, Handle hub, uint32_t connectionIndex) {
  uint8_t first[cn::kSize] = {};
  Store32(first, cn::kConnectionIndex, connectionIndex);
  uint32_t bytesReturned = 0;
  if (!platform.DeviceIoControl(hub, usb::kIoctlGetNodeConnectionDriverKeyName, first, cn::kSize, first, cn::kSize,
                                &bytesReturned, nullptr))
    return {};
  const uint32_t actualLength = Load32(first, cn::kActualLength);
  if (actualLength <= cn::kSize) return {};
  LocalBuffer record = LocalBuffer::Allocate(platform, actualLength);
  if (!record) return {};
  Store32(record.data(), cn::kConnectionIndex, connectionIndex);
  if (!platform.DeviceIoControl(hub, usb::kIoctlGetNodeConnectionDriverKeyName, record.data(), actualLength,
                                record.data(), actualLength, &bytesReturned, nullptr))
    return {};
  return TextAt(record.data(), cn::kName, record.size());
}

std::u16string GetInstanceIdOfDriverKey(Platform& platform, std::u16string_view driverKey) {
  if (driverKey.empty()) return {};  // would match the first device that has no driver key
  UniqueDeviceInfoSet set(platform,
                          platform.SetupDiGetClassDevsW(nullptr, nullptr, nullptr, kDigcfPresent | kDigcfAllClasses));
  if (!set) return {};
  for (uint32_t member = 0;; ++member) {
    DeviceInfoData device{};
    device.cbSize = sizeof(DeviceInfoData);
    if (!platform.SetupDiEnumDeviceInfo(set.get(), member, &device)) return {};

    // The driver key property, in a buffer grown to the size the call asks for.
    std::u16string value;
    LocalBuffer buffer = LocalBuffer::None(platform);
    uint32_t required = 0;
    while (!platform.SetupDiGetDeviceRegistryPropertyW(set.get(), &device, kSpdrpDriver, nullptr, buffer.data(),
                                                       static_cast<uint32_t>(buffer.size()), &required)) {
      if (platform.GetLastError() != kErrorInsufficientBuffer || required <= buffer.size()) {
        buffer.reset();
        break;
      }
      buffer = LocalBuffer::Allocate(platform, required);
      if (!buffer) break;
    }
    if (buffer) value = TextAt(buffer.data(), 0, buffer.size());
    buffer.reset();

    if (value == driverKey) {
      char16_t id[kInstanceIdUnits] = {};
      if (!platform.SetupDiGetDeviceInstanceIdW(set.get(), &device, id, kInstanceIdUnits, nullptr)) return {};
      id[kInstanceIdUnits - 1] = u'\0';
      return id;
    }
  }
}

}  // namespace device_library
