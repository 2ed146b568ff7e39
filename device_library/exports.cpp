// The export boundary: argument widths, the list and string-output conventions, and a catch of
// every exception (an exception never reaches the host; it becomes the failure value).
#include "device_library/device_library.h"

#include <cstring>
#include <string>
#include <vector>

#include "device_library/device_family.h"
#include "device_library/device_notifications.h"
#include "device_library/device_utilities.h"
#include "device_library/hid_report_transfer.h"
#include "device_library/hid_usb_correlation.h"
#include "device_library/hub_descriptor_request.h"
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

uint8_t Descriptor(const char16_t* hubName, uint32_t connectionIndex, uint32_t wValue, uint32_t wIndex,
                   uint32_t wLength, uint8_t* data, uint16_t* received) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    if (hubName == nullptr) return 0;
    return GetDescriptorFromHubPort(ThePlatform(), hubName, connectionIndex, static_cast<uint16_t>(Low16(wValue)),
                                    static_cast<uint16_t>(Low16(wIndex)), static_cast<uint16_t>(Low16(wLength)), data,
                                    received)
               ? 1
               : 0;
  });
}

// Hub name (an empty one when nothing was found) and connection index (0 then).
void HandOutLocation(const UsbPortLocation& location, char16_t* hubNameOut, int32_t* connectionIndexOut) {
  WriteStringOutput(hubNameOut, location.hubName);
  if (connectionIndexOut) *connectionIndexOut = location.found ? location.connectionIndex : 0;
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

// Descriptor requests through a hub.
uint8_t DEVICE_LIBRARY_CALL Write(const char16_t* hubName, uint32_t connectionIndex, uint32_t wValue, uint32_t wIndex,
                                  uint32_t wLength) {
  return Descriptor(hubName, connectionIndex, wValue, wIndex, wLength, nullptr, nullptr);
}

uint8_t DEVICE_LIBRARY_CALL Read(const char16_t* hubName, uint32_t connectionIndex, uint32_t wValue, uint32_t wIndex,
                                 uint32_t wLength, uint8_t* data) {
  return Descriptor(hubName, connectionIndex, wValue, wIndex, wLength, data, nullptr);
}

uint8_t DEVICE_LIBRARY_CALL ReadEx(const char16_t* hubName, uint32_t connectionIndex, uint32_t wValue,
                                   uint32_t wIndex, uint32_t wLength, uint8_t* data, uint16_t* received) {
  return Descriptor(hubName, connectionIndex, wValue, wIndex, wLength, data, received);
}

// Device-change subscriptions.
void* DEVICE_LIBRARY_CALL RegisterDeviceNotification_ArrivalRemove(void* recipientWindow) {
  return Guarded<void*>(nullptr, [&] { return RegisterArrivalRemove(ThePlatform(), recipientWindow); });
}

int32_t DEVICE_LIBRARY_CALL UnregisterDeviceNotification_ArrivalRemove(void* notifyHandle) {
  return Guarded<int32_t>(0, [&] { return ThePlatform().UnregisterDeviceNotification(notifyHandle); });
}

void* DEVICE_LIBRARY_CALL RegisterDeviceNotification_QueryRemove(void* recipientWindow, void* deviceHandle) {
  return Guarded<void*>(nullptr, [&] { return RegisterQueryRemove(ThePlatform(), recipientWindow, deviceHandle); });
}

// HID-to-USB correlation.
int32_t DEVICE_LIBRARY_CALL GetUsbDeviceFromHidList(uint32_t vid, uint32_t pid, int32_t index, char16_t* hubNameOut,
                                                    int32_t* connectionIndexOut) {
  return Guarded<int32_t>(0, [&] {
    const HidInterfaceList list =
        EnumerateHidInterfaces(ThePlatform(), Low16(vid), Low16(pid), kHidListUsagePage, kHidListUsage);
    const auto count = static_cast<int32_t>(list.size());
    if (index >= 0 && index < count)
      HandOutLocation(FindUsbPortOfHidPath(ThePlatform(), list[static_cast<size_t>(index)]), hubNameOut,
                      connectionIndexOut);
    return count;
  });
}

uint8_t DEVICE_LIBRARY_CALL GetUsbDeviceFromHidDevice(const char16_t* hidPath, char16_t* hubNameOut,
                                                      int32_t* connectionIndexOut) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    const UsbPortLocation location =
        hidPath ? FindUsbPortOfHidPath(ThePlatform(), hidPath) : UsbPortLocation{};
    HandOutLocation(location, hubNameOut, connectionIndexOut);
    return location.found ? 1 : 0;
  });
}

// Device family identification.
uint8_t DEVICE_LIBRARY_CALL isQV7Device(const char16_t* hidPath) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t { return hidPath && IsFamilyDevice(ThePlatform(), hidPath) ? 1 : 0; });
}

uint16_t DEVICE_LIBRARY_CALL GetPID_OfQV7Path(const char16_t* hidPath) {
  return Guarded<uint16_t>(0, [&]() -> uint16_t { return hidPath ? GetPidOfPath(hidPath) : 0; });
}

uint8_t DEVICE_LIBRARY_CALL GetHidIDs(const char16_t* hidPath, uint16_t* vidOut, uint16_t* pidOut,
                                      uint16_t* usagePageOut, uint16_t* usageOut) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    return hidPath && GetHidIds(ThePlatform(), hidPath, vidOut, pidOut, usagePageOut, usageOut) ? 1 : 0;
  });
}

// Remaining device utilities.
uint8_t DEVICE_LIBRARY_CALL isDeviceExist(const char16_t* hubName, int32_t connectionIndex) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    return hubName && IsDeviceExist(ThePlatform(), hubName, static_cast<uint32_t>(connectionIndex)) ? 1 : 0;
  });
}

uint8_t DEVICE_LIBRARY_CALL GetUsbDeviceVIDPIDSNFromHub(const char16_t* hubName, int32_t connectionIndex,
                                                        uint16_t* vidOut, uint16_t* pidOut, uint16_t* releaseOut) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    return hubName && GetUsbDeviceVidPidReleaseFromHub(ThePlatform(), hubName, static_cast<uint32_t>(connectionIndex),
                                                       vidOut, pidOut, releaseOut)
               ? 1
               : 0;
  });
}

int32_t DEVICE_LIBRARY_CALL GetUSBDeviceInterfacePath(int32_t, int32_t, int32_t index, char16_t* pathOut) {
  return Guarded<int32_t>(0, [&] { return HandOutPath(ListAllHidInterfacePaths(ThePlatform()), index, pathOut); });
}

void* DEVICE_LIBRARY_CALL GetDeviceViaInterfaceGUID(const void* interfaceClass, uint32_t index) {
  return Guarded<void*>(nullptr, [&]() -> void* {
    if (interfaceClass == nullptr) return nullptr;
    Guid guid;
    std::memcpy(&guid, interfaceClass, sizeof guid);
    return GetDeviceViaInterfaceGuid(ThePlatform(), guid, index);
  });
}

uint8_t DEVICE_LIBRARY_CALL UsbReset(uint32_t vid, uint32_t pid) {
  return Guarded<uint8_t>(0, [&]() -> uint8_t {
    return RestartUsbDevice(ThePlatform(), static_cast<uint16_t>(Low16(vid)), static_cast<uint16_t>(Low16(pid)))
               ? 1
               : 0;
  });
}

}  // extern "C"
