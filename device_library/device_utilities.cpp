// The remaining device utilities over the platform interface.
#include "device_library/device_utilities.h"

#include <optional>
#include <unordered_set>

#include "device_library/platform_owners.h"
#include "device_library/usb_port_queries.h"

namespace device_library {

namespace {

std::optional<PortConnectionInfo> ReadPort(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex) {
  UniqueFile hub = OpenHub(platform, hubName);
  if (!hub) return std::nullopt;
  std::optional<PortConnectionInfo> info = GetPortConnectionInfo(platform, hub.get(), connectionIndex);
  platform.CancelIo(hub.get());
  return info;
}

constexpr uint32_t kDetailFlags = kDigcfPresent | kDigcfDeviceInterface;
constexpr size_t kHardwareIdBytes = 512;
constexpr uint32_t kNeedsRestart = kDiNeedRestart | kDiNeedReboot;
constexpr uint32_t kRestartNeededWaitMs = 333;
constexpr uint32_t kPollStepMs = 100;

}  // namespace

bool IsDeviceExist(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex) {
  std::optional<PortConnectionInfo> info = ReadPort(platform, hubName, connectionIndex);
  return info && info->ConnectionStatus() == usb::kDeviceConnected;
}

bool GetUsbDeviceVidPidReleaseFromHub(Platform& platform, std::u16string_view hubName, uint32_t connectionIndex,
                                      uint16_t* vidOut, uint16_t* pidOut, uint16_t* releaseOut) {
  std::optional<PortConnectionInfo> info = ReadPort(platform, hubName, connectionIndex);
  if (!info) return false;
  if (vidOut) *vidOut = info->IdVendor();
  if (pidOut) *pidOut = info->IdProduct();
  if (releaseOut) *releaseOut = info->BcdDevice();
  return true;
}

HidInterfaceList ListAllHidInterfacePaths(Platform& platform) {
  HidInterfaceList list;
  UniqueDeviceInfoSet set(platform, platform.SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr, kDetailFlags));
  if (!set) return list;
  std::unordered_set<std::u16string> listed;
  for (uint32_t position = 0;; ++position) {
    std::u16string path = GetInterfacePath(platform, set.get(), kHidInterfaceClass, position);
    if (path.empty()) break;
    if (listed.insert(path).second) list.push_back(std::move(path));
  }
  return list;
}

Handle GetDeviceViaInterfaceGuid(Platform& platform, const Guid& interfaceClass, uint32_t index) {
  UniqueDeviceInfoSet set(platform, platform.SetupDiGetClassDevsW(&interfaceClass, nullptr, nullptr, kDetailFlags));
  if (!set) return nullptr;
  const std::u16string path = GetInterfacePath(platform, set.get(), interfaceClass, index);
  if (path.empty()) return nullptr;
  const Handle device =
      platform.CreateFileW(path.c_str(), kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite, nullptr,
                           kOpenExisting, kFileFlagOverlapped | kFileAttributeNormal, nullptr);
  return device == InvalidHandleValue() ? nullptr : device;
}

std::u16string ResetMatchText(uint16_t vid, uint16_t pid, bool upperCaseDigits) {
  const char16_t* digits = upperCaseDigits ? u"0123456789ABCDEF" : u"0123456789abcdef";
  auto hex4 = [&](uint16_t value) {
    std::u16string text;
    for (int shift = 12; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
    return text;
  };
  return u"USB\\Vid_" + hex4(vid) + u"&Pid_" + hex4(pid);
}

bool RestartUsbDevice(Platform& platform, uint16_t vid, uint16_t pid) {
  const std::u16string lower = ResetMatchText(vid, pid, false);
  const std::u16string upper = ResetMatchText(vid, pid, true);
  UniqueDeviceInfoSet set(platform,
                          platform.SetupDiGetClassDevsW(nullptr, u"USB", nullptr, kDigcfPresent | kDigcfAllClasses));
  if (!set) return false;

  DeviceInfoData device{};
  for (uint32_t member = 0;; ++member) {
    device = DeviceInfoData{};
    device.cbSize = sizeof(DeviceInfoData);
    if (!platform.SetupDiEnumDeviceInfo(set.get(), member, &device)) return false;
    uint8_t hardwareIds[kHardwareIdBytes] = {};
    platform.SetupDiGetDeviceRegistryPropertyW(set.get(), &device, kSpdrpHardwareId, nullptr, hardwareIds,
                                               kHardwareIdBytes, nullptr);
    std::u16string first;  // the first string, bounded by the buffer
    for (size_t at = 0; at + 1 < kHardwareIdBytes; at += 2) {
      const char16_t unit = static_cast<char16_t>(Load16(hardwareIds, at));
      if (unit == u'\0') break;
      first += unit;
    }
    if (first.find(lower) != std::u16string::npos || first.find(upper) != std::u16string::npos) break;
  }

  PropChangeParams change{};
  change.Header.cbSize = sizeof(ClassInstallHeader);
  change.Header.InstallFunction = kDifPropertyChange;
  change.StateChange = kDicsPropChange;
  change.Scope = kDicsFlagConfigSpecific;
  change.HwProfile = 0;
  if (!platform.SetupDiSetClassInstallParamsW(set.get(), &device, &change.Header, sizeof change) ||
      !platform.SetupDiCallClassInstaller(kDifPropertyChange, set.get(), &device))
    return false;

  DeviceInstallParamsW params{};
  params.cbSize = sizeof(DeviceInstallParamsW);
  if (platform.SetupDiGetDeviceInstallParamsW(set.get(), &device, &params) && (params.Flags & kNeedsRestart) != 0)
    return false;

  for (uint32_t waited = 0;;) {
    params = DeviceInstallParamsW{};
    params.cbSize = sizeof(DeviceInstallParamsW);
    if (platform.SetupDiGetDeviceInstallParamsW(set.get(), &device, &params)) {
      if ((params.Flags & kNeedsRestart) == 0) return true;
      platform.Sleep(kRestartNeededWaitMs);
      return false;
    }
    if (platform.GetLastError() != 0) return false;
    if (waited >= kResetPollLimitMs) return false;  // still no answer and no error: give up
    platform.Sleep(kPollStepMs);
    waited += kPollStepMs;
  }
}

}  // namespace device_library
