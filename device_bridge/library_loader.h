// The device library travels inside the exe: deployed to the documents folder, loaded by path,
// its entries looked up by name at every call, unloaded and deleted on exit.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "device_bridge/test_mode.h"

namespace device_bridge {

// Writes the embedded library to "<documents>\resource.dll" unless an identical file is there,
// and returns that path. A different file there (an older version, someone else's) is replaced;
// one that cannot be replaced is not loaded later. Throws when the embedded library is missing or
// a new file cannot be written (a partial file is removed).
std::wstring DeployDeviceLibrary();
// Loads the deployed library unless it is loaded (or its file is not ours), then calls its
// optional "Initial" hook with the window.
void OpenDeviceLibrary(HWND window, const std::wstring& dllPath);
// Calls the optional "CloseQuery" hook and unloads the library.
void CloseDeviceLibrary();
bool DeviceLibraryLoaded();

// One wrapper per entry the program calls, with the fall-back when the library or the entry is
// missing (-1 for counts, false for truth values). Buffers hold the library's longest output.
constexpr std::size_t kLibraryTextCapacity = 1024 + 1;
std::int32_t GetUsbDeviceFromHub(std::uint16_t vid, std::uint16_t pid, std::int32_t index, wchar_t* hubNameOut,
                                 std::int32_t* connectionIndexOut);
bool GetUsbDeviceVIDPIDFromHub(const wchar_t* hubName, std::int32_t connectionIndex, std::uint16_t* vidOut,
                               std::uint16_t* pidOut);
std::int32_t GetHidDeviceFromCustomHidList(std::uint16_t vid, std::uint16_t pid, std::uint16_t usagePage, std::uint16_t usage,
                                           std::int32_t index, wchar_t* pathOut);
bool HidSetFeatureReport(const wchar_t* hidPath, std::uint8_t* report, std::int32_t reportLength);

// The four wrappers as the device loop sees them.
class LoadedLibraryApi : public DeviceLibraryApi {
 public:
  std::int32_t GetUsbDeviceFromHub(std::uint16_t vid, std::uint16_t pid, std::int32_t index, std::wstring& hubName,
                                   std::int32_t& connectionIndex) override;
  bool GetUsbDeviceVIDPIDFromHub(const std::wstring& hubName, std::int32_t connectionIndex, std::uint16_t& vid,
                                 std::uint16_t& pid) override;
  std::int32_t GetHidDeviceFromCustomHidList(std::uint16_t vid, std::uint16_t pid, std::uint16_t usagePage,
                                             std::uint16_t usage, std::int32_t index, std::wstring* path) override;
  bool HidSetFeatureReport(const std::wstring& path, const std::uint8_t* report, std::int32_t length) override;
};

}  // namespace device_bridge
