// Path-based HID report transfers over the platform interface.
#include "device_library/hid_report_transfer.h"

#include "device_library/platform_owners.h"

namespace device_library {

bool TransferHidReportByPath(Platform& platform, HidTransfer transfer, const char16_t* hidPath, void* report,
                             uint32_t reportLength) {
  if (hidPath == nullptr) return false;
  // Synchronous I/O (flags 0): the transfer returns when the HID class library returns.
  UniqueFile file(platform, platform.CreateFileW(hidPath, kGenericRead | kGenericWrite,
                                                 kFileShareRead | kFileShareWrite, nullptr, kOpenExisting, 0, nullptr));
  if (!file) return false;
  switch (transfer) {
    case HidTransfer::SetFeature:
      return platform.HidD_SetFeature(file.get(), report, reportLength) != 0;
    case HidTransfer::GetFeature:
      return platform.HidD_GetFeature(file.get(), report, reportLength) != 0;
    case HidTransfer::SetOutputReport:
      return platform.HidD_SetOutputReport(file.get(), report, reportLength) != 0;
  }
  return false;
}

}  // namespace device_library
