// Device-change subscriptions over the platform interface.
#include "device_library/device_notifications.h"

#include <cstring>

namespace device_library {

void* RegisterArrivalRemove(Platform& platform, Handle recipientWindow) {
  DevBroadcastDeviceInterfaceW filter;
  std::memset(&filter, 0, sizeof filter);  // padding included: the system reads the whole record
  filter.dbcc_size = sizeof(DevBroadcastDeviceInterfaceW);
  filter.dbcc_devicetype = kDbtDevtypDeviceInterface;
  filter.dbcc_classguid = kUsbDeviceInterfaceClass;
  platform.RegisterDeviceNotificationW(recipientWindow, &filter, kDeviceNotifyWindowHandle);
  platform.HidD_GetHidGuid(&filter.dbcc_classguid);
  platform.RegisterDeviceNotificationW(recipientWindow, &filter, kDeviceNotifyWindowHandle);
  filter.dbcc_classguid = kMouseInterfaceClass;
  platform.RegisterDeviceNotificationW(recipientWindow, &filter, kDeviceNotifyWindowHandle);
  filter.dbcc_classguid = kKeyboardInterfaceClass;
  return platform.RegisterDeviceNotificationW(recipientWindow, &filter, kDeviceNotifyWindowHandle);
}

void* RegisterQueryRemove(Platform& platform, Handle recipientWindow, Handle deviceHandle) {
  DevBroadcastHandle filter;
  std::memset(&filter, 0, sizeof filter);
  filter.dbch_size = sizeof(DevBroadcastHandle);
  filter.dbch_devicetype = kDbtDevtypHandle;
  filter.dbch_handle = deviceHandle;
  return platform.RegisterDeviceNotificationW(recipientWindow, &filter, kDeviceNotifyWindowHandle);
}

}  // namespace device_library
