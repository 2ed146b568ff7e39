// Finding the maker's mice through the device library and switching them into or out of their
// test mode: the report bytes, the per-device path lists and the loop over the library's answers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device_bridge/test_mode_command.h"

namespace device_bridge {

// The four library entries the program calls, as the loader's wrappers give them (with their
// fall-backs when the library or an entry is missing: -1, -1, false, false).
class DeviceLibraryApi {
 public:
  virtual ~DeviceLibraryApi() = default;
  // Count of USB devices; for a valid index also the device's hub name and connection index
  // (left as they were otherwise).
  virtual std::int32_t GetUsbDeviceFromHub(std::uint16_t vid, std::uint16_t pid, std::int32_t index, std::wstring& hubName,
                                           std::int32_t& connectionIndex) = 0;
  virtual bool GetUsbDeviceVIDPIDFromHub(const std::wstring& hubName, std::int32_t connectionIndex, std::uint16_t& vid,
                                         std::uint16_t& pid) = 0;
  // Count of matching HID paths; a negative index only counts, and `path` is then not touched.
  virtual std::int32_t GetHidDeviceFromCustomHidList(std::uint16_t vid, std::uint16_t pid, std::uint16_t usagePage,
                                                     std::uint16_t usage, std::int32_t index, std::wstring* path) = 0;
  virtual bool HidSetFeatureReport(const std::wstring& path, const std::uint8_t* report, std::int32_t length) = 0;
};

constexpr std::uint16_t kMakerVendorId = 0x09DA;
constexpr std::uint16_t kTestModeUsagePage = 0xFFA7;
constexpr std::size_t kTestModeReportLength = 72;

using TestModeReport = std::array<std::uint8_t, kTestModeReportLength>;
// Report id 7, a fixed 4, the mode at offset 8, zeros elsewhere.
TestModeReport BuildTestModeReport(TestMode mode);

// Paths in the order found, each once; paths that differ only in letter case are one path.
class PathList {
 public:
  // False when the list already holds the path.
  bool Add(const std::wstring& path);
  const std::vector<std::wstring>& Paths() const { return paths_; }

 private:
  std::vector<std::wstring> paths_;
};

struct UsbDeviceAt {
  std::int32_t count;
  std::wstring hubName;
  std::int32_t connectionIndex;
};
UsbDeviceAt GetUsbDeviceAt(DeviceLibraryApi& library, std::uint16_t vid, std::uint16_t pid, std::int32_t index);

// Adds the maker's HID paths for the filters to the list; returns the count the library reported.
std::int32_t CollectHidPaths(DeviceLibraryApi& library, std::uint16_t pid, std::uint16_t usagePage, std::uint16_t usage,
                             PathList& list);

// Sends the mode's report to the first path of every USB device's own search. Stops at the first
// failed send, calls `sendFailed` (right after the send, so the last error is still the send's)
// and returns false; true when every device was handled.
bool RunTestModeCommand(DeviceLibraryApi& library, TestMode mode, const std::function<void()>& sendFailed);

// A system message as the error box shows it: trailing characters below 33 (line breaks, blanks)
// and trailing full stops removed.
std::wstring TrimSystemMessage(std::wstring text);

}  // namespace device_bridge
