#include "device_bridge/test_mode.h"

#include <algorithm>

namespace device_bridge {
namespace {

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

}  // namespace

TestModeReport BuildTestModeReport(TestMode mode) {
  TestModeReport report{};
  report[0] = 0x07;
  report[1] = 0x04;
  report[8] = static_cast<std::uint8_t>(mode);
  return report;
}

bool PathList::Add(const std::wstring& path) {
  if (std::any_of(paths_.begin(), paths_.end(), [&](const std::wstring& held) { return SameIgnoringCase(held, path); })) {
    return false;
  }
  paths_.push_back(path);
  return true;
}

UsbDeviceAt GetUsbDeviceAt(DeviceLibraryApi& library, std::uint16_t vid, std::uint16_t pid, std::int32_t index) {
  UsbDeviceAt device{0, {}, 0};
  device.count = library.GetUsbDeviceFromHub(vid, pid, index, device.hubName, device.connectionIndex);
  return device;
}

std::int32_t CollectHidPaths(DeviceLibraryApi& library, std::uint16_t pid, std::uint16_t usagePage, std::uint16_t usage,
                             PathList& list) {
  const std::int32_t count = library.GetHidDeviceFromCustomHidList(kMakerVendorId, pid, usagePage, usage, -1, nullptr);
  for (std::int32_t j = 0; j < count; ++j) {
    std::wstring path;
    library.GetHidDeviceFromCustomHidList(kMakerVendorId, pid, usagePage, usage, j, &path);
    list.Add(path);
  }
  return count;
}

bool RunTestModeCommand(DeviceLibraryApi& library, TestMode mode, const std::function<void()>& sendFailed) {
  const std::int32_t count = GetUsbDeviceAt(library, 0, 0, 0).count;
  // A failed identity query leaves the ids as they were: the previous device's, or 0 (any).
  std::uint16_t vid = 0, pid = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const UsbDeviceAt device = GetUsbDeviceAt(library, 0, 0, i);
    library.GetUsbDeviceVIDPIDFromHub(device.hubName, device.connectionIndex, vid, pid);
    PathList paths;
    if (CollectHidPaths(library, pid, kTestModeUsagePage, 0, paths) > 0 && !paths.Paths().empty()) {
      const TestModeReport report = BuildTestModeReport(mode);
      if (!library.HidSetFeatureReport(paths.Paths().front(), report.data(), static_cast<std::int32_t>(report.size()))) {
        if (sendFailed) sendFailed();
        return false;
      }
    }
  }
  return true;
}

std::wstring TrimSystemMessage(std::wstring text) {
  while (!text.empty() && (text.back() < 33 || text.back() == L'.')) text.pop_back();
  return text;
}

}  // namespace device_bridge
