// The export boundary: argument widths, the list and string-output conventions, and a catch of
// every exception (an exception never reaches the host; it becomes the failure value).
#include "device_library/device_library.h"

#include <string>
#include <vector>

#include "device_library/hid_report_transfer.h"
#include "device_library/hid_search.h"
#include "device_library/platform.h"
#include "device_library/string_output.h"
#include "device_library/usb_hub_walk.h"
#include "device_library/usb_port_queries.h"

using namespace device_library;

namespace {

template <typename Result, typename Body>
Result Guarded(Result failure, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

uint32_t Low16(uint32_t slot) { return slot & 0xFFFF; }

// The list-export convention.
int32_t HandOutPath(const HidInterfaceList& list, int32_t index, char16_t* pathOut) {
  const auto count = static_cast<int32_t>(list.size());
  if (index >= 0 && index < count) WriteStringOutput(pathOut, list[static_cast<size_t>(index)]);
  return count;
}

int32_t SearchHid(uint32_t vid, uint32_t pid, uint32_t usagePage, uint32_t usage, int32_t index, char16_t* pathOut) {
  return Guarded<int32_t>(0, [&] {
    return HandOutPath(EnumerateHidInterfaces(ThePlatform(), vid, pid, usagePage, usage), index, pathOut);
  });
}

uint8_t TransferByPath(HidTransfer transfer, const char16_t* hidPath, uint8_t* report, uint32_t reportLength) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    return TransferHidReportByPath(ThePlatform(), transfer, hidPath, report, reportLength) ? 1 : 0;
  });
}

}  // namespace

extern "C" {

int32_t DEVICE_LIBRARY_CALL GetUsbDeviceFromHub(uint32_t vid, uint32_t pid, int32_t index, char16_t* hubNameOut,
                                                int32_t* connectionIndexOut) {
  return Guarded<int32_t>(0, [&] {
    const std::vector<UsbPortRecord> records = CollectUsbPorts(ThePlatform(), WalkKeyFromExportArguments(vid, pid));
    const auto count = static_cast<int32_t>(records.size());
    if (index >= 0 && index < count) {
      const UsbPortRecord& record = records[static_cast<size_t>(index)];
      WriteStringOutput(hubNameOut, record.hubName);
      if (connectionIndexOut) *connectionIndexOut = record.connectionIndex;
    }
    return count;
  });
}

uint8_t DEVICE_LIBRARY_CALL GetUsbDeviceVIDPIDFromHub(const char16_t* hubName, int32_t connectionIndex,
                                                      uint16_t* vidOut, uint16_t* pidOut) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    if (hubName == nullptr) return 0;
    return GetUsbDeviceVidPidFromHub(ThePlatform(), hubName, static_cast<uint32_t>(connectionIndex), vidOut, pidOut)
               ? 1
               : 0;
  });
}

int32_t DEVICE_LIBRARY_CALL GetHidDeviceFromCustomHidList(uint32_t vid, uint32_t pid, uint32_t usagePage,
                                                          uint32_t usage, int32_t index, char16_t* pathOut) {
  return SearchHid(Low16(vid), Low16(pid), Low16(usagePage), Low16(usage), index, pathOut);
}

int32_t DEVICE_LIBRARY_CALL GetHidDeviceFromHidList(uint32_t vid, uint32_t pid, int32_t index, char16_t* pathOut) {
  return SearchHid(Low16(vid), Low16(pid), kHidListUsagePage, kHidListUsage, index, pathOut);
}

int32_t DEVICE_LIBRARY_CALL GetHidDeviceName(uint32_t vid, uint32_t pid, int32_t usagePage, int32_t usage,
                                             int32_t index, char16_t* pathOut) {
  return SearchHid(Low16(vid), Low16(pid), static_cast<uint32_t>(usagePage), static_cast<uint32_t>(usage), index,
                   pathOut);
}

uint8_t DEVICE_LIBRARY_CALL HidSetFeatureReport(const char16_t* hidPath, uint8_t* report, uint32_t reportLength) {
  return TransferByPath(HidTransfer::SetFeature, hidPath, report, reportLength);
}

uint8_t DEVICE_LIBRARY_CALL HidGetFeatureReport(const char16_t* hidPath, uint8_t* report, uint32_t reportLength) {
  return TransferByPath(HidTransfer::GetFeature, hidPath, report, reportLength);
}

uint8_t DEVICE_LIBRARY_CALL HidSetOutputReport(const char16_t* hidPath, uint8_t* report, uint32_t reportLength) {
  return TransferByPath(HidTransfer::SetOutputReport, hidPath, report, reportLength);
}

// The handle-based four pass one call through; the handle is the caller's.
uint8_t DEVICE_LIBRARY_CALL xHidD_GetFeature(void* handle, void* report, uint32_t reportLength) {
  return Guarded<uint8_t>(0, [&] { return ThePlatform().HidD_GetFeature(handle, report, reportLength); });
}

uint8_t DEVICE_LIBRARY_CALL xHidD_SetFeature(void* handle, void* report, uint32_t reportLength) {
  return Guarded<uint8_t>(0, [&] { return ThePlatform().HidD_SetFeature(handle, report, reportLength); });
}

uint8_t DEVICE_LIBRARY_CALL xHidD_GetOutputReport(void* handle, void* report, uint32_t reportLength) {
  return Guarded<uint8_t>(0, [&] { return ThePlatform().HidD_GetInputReport(handle, report, reportLength); });
}

uint8_t DEVICE_LIBRARY_CALL xHidD_SetOutputReport(void* handle, void* report, uint32_t reportLength) {
  return Guarded<uint8_t>(0, [&] { return ThePlatform().HidD_SetOutputReport(handle, report, reportLength); });
}

}  // extern "C"
