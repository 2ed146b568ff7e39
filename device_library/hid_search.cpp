// The HID interface search over the platform interface.
#include "device_library/hid_search.h"

#include <unordered_set>

#include "device_library/platform_owners.h"

namespace device_library {

namespace {

bool KeyMatches(uint32_t key, uint16_t value) { return key == 0 || key == value; }

}  // namespace

bool ReadCollectionFacts(Platform& platform, const std::u16string& path, CollectionFacts* facts) {
  UniqueFile file(platform, platform.CreateFileW(path.c_str(), 0, kFileShareRead | kFileShareWrite, nullptr,
                                                 kOpenExisting, kFileFlagOverlapped, nullptr));
  if (!file) return false;
  HidAttributes attributes{};
  attributes.Size = sizeof(HidAttributes);
  if (!platform.HidD_GetAttributes(file.get(), &attributes)) return false;
  PreparsedData preparsed = nullptr;
  if (!platform.HidD_GetPreparsedData(file.get(), &preparsed)) return false;
  UniquePreparsedData preparsedData(platform, preparsed);
  HidpCaps capabilities{};
  if (platform.HidP_GetCaps(preparsedData.get(), &capabilities) != kHidpStatusSuccess) return false;
  *facts = {attributes.VendorID, attributes.ProductID, capabilities.UsagePage, capabilities.Usage};
  return true;
  // The preparsed data is freed before the handle is closed (destruction in reverse order).
}

HidInterfaceList EnumerateHidInterfaces(Platform& platform, uint32_t vid, uint32_t pid, uint32_t usagePage,
                                        uint32_t usage) {
  HidInterfaceList list;
  std::unordered_set<std::u16string> listed;
  Guid hidGuid{};
  platform.HidD_GetHidGuid(&hidGuid);
  UniqueDeviceInfoSet set(platform,
                          platform.SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, kDigcfPresent | kDigcfDeviceInterface));
  if (!set) return list;

  for (uint32_t position = 0;; ++position) {
    std::u16string path = GetHidInterfacePath(platform, set.get(), position);
    if (path.empty()) break;  // the end of the set, or a path that cannot be read: the search ends
    CollectionFacts facts{};
    if (!ReadCollectionFacts(platform, path, &facts)) continue;
    if (KeyMatches(vid, facts.vid) && KeyMatches(pid, facts.pid) && KeyMatches(usagePage, facts.usagePage) &&
        KeyMatches(usage, facts.usage) && listed.insert(path).second)
      list.push_back(std::move(path));
  }
  return list;
}

std::u16string GetHidInterfacePath(Platform& platform, DeviceInfoSet set, uint32_t position) {
  Guid hidGuid{};
  platform.HidD_GetHidGuid(&hidGuid);
  return GetInterfacePath(platform, set, hidGuid, position);
}

std::u16string GetInterfacePath(Platform& platform, DeviceInfoSet set, const Guid& interfaceClass,
                                uint32_t position) {
  DeviceInterfaceData interfaceData{};
  interfaceData.cbSize = sizeof(DeviceInterfaceData);
  if (!platform.SetupDiEnumDeviceInterfaces(set, nullptr, &interfaceClass, position, &interfaceData)) return {};

  uint32_t requiredSize = 0;
  if (platform.SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &requiredSize, nullptr)) return {};
  if (requiredSize < sizeof(DeviceInterfaceDetailDataW)) return {};
  LocalBuffer detail = LocalBuffer::Allocate(platform, requiredSize);
  if (!detail) return {};
  auto* detailRecord = reinterpret_cast<DeviceInterfaceDetailDataW*>(detail.data());
  detailRecord->cbSize = sizeof(DeviceInterfaceDetailDataW);
  if (!platform.SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detailRecord, requiredSize, nullptr, nullptr))
    return {};

  std::u16string path;
  for (size_t at = kDetailPathOffset; at + 1 < detail.size(); at += 2) {
    const char16_t unit = static_cast<char16_t>(Load16(detail.data(), at));
    if (unit == u'\0') break;
    path += unit;
  }
  return path;
}

}  // namespace device_library
