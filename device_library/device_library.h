/* resource.dll, the mouse device library: hub walk, port queries, HID search, report transfer,
 * descriptor requests, device-change subscriptions, HID-to-USB correlation and utilities.
 * C calling convention, exported by name, undecorated. A boolean result is one byte (1 or 0).
 * Arguments that carry 16-bit values (ids, usages, wValue, wIndex, wLength) arrive in full 32-bit
 * slots; only their low 16 bits are used (0x109DA acts as 0x09DA).
 * List exports build their list afresh on every call and return its size; an index from 0 to the
 * size minus 1 writes that entry, any other index writes nothing.
 * String outputs are written with their terminator by wsprintfW(out, L"%ws", text), never more than
 * 1,024 UTF-16 units (DEVICE_LIBRARY_MAX_STRING_OUTPUT); the library is not told the buffer's size.
 * Nothing is kept between calls and no failure leaves a call other than as its result. */
#ifndef DEVICE_LIBRARY_H
#define DEVICE_LIBRARY_H

#include <stdint.h>

#if defined(_WIN32)
#define DEVICE_LIBRARY_CALL __cdecl
#else
#define DEVICE_LIBRARY_CALL
#endif

#ifdef __cplusplus
typedef char16_t DeviceLibraryChar; /* UTF-16 code unit, wchar_t on Windows */
extern "C" {
#else
typedef uint16_t DeviceLibraryChar;
#endif

#define DEVICE_LIBRARY_MAX_STRING_OUTPUT 1024

/* USB hub walk */
int32_t DEVICE_LIBRARY_CALL GetUsbDeviceFromHub(uint32_t vid, uint32_t pid, int32_t index,
                                                DeviceLibraryChar* hubNameOut, int32_t* connectionIndexOut);
/* Hub port queries */
uint8_t DEVICE_LIBRARY_CALL GetUsbDeviceVIDPIDFromHub(const DeviceLibraryChar* hubName, int32_t connectionIndex,
                                                      uint16_t* vidOut, uint16_t* pidOut);
/* HID interface search */
int32_t DEVICE_LIBRARY_CALL GetHidDeviceFromCustomHidList(uint32_t vid, uint32_t pid, uint32_t usagePage,
                                                          uint32_t usage, int32_t index, DeviceLibraryChar* pathOut);
int32_t DEVICE_LIBRARY_CALL GetHidDeviceFromHidList(uint32_t vid, uint32_t pid, int32_t index,
                                                    DeviceLibraryChar* pathOut);
/* Also exported as xEnumHidDevice. usagePage and usage are compared in full 32 bits. */
int32_t DEVICE_LIBRARY_CALL GetHidDeviceName(uint32_t vid, uint32_t pid, int32_t usagePage, int32_t usage,
                                             int32_t index, DeviceLibraryChar* pathOut);
/* HID report transfer */
uint8_t DEVICE_LIBRARY_CALL HidSetFeatureReport(const DeviceLibraryChar* hidPath, uint8_t* report,
                                                uint32_t reportLength);
uint8_t DEVICE_LIBRARY_CALL HidGetFeatureReport(const DeviceLibraryChar* hidPath, uint8_t* report,
                                                uint32_t reportLength);
uint8_t DEVICE_LIBRARY_CALL HidSetOutputReport(const DeviceLibraryChar* hidPath, uint8_t* report,
                                               uint32_t reportLength);
uint8_t DEVICE_LIBRARY_CALL xHidD_GetFeature(void* handle, void* report, uint32_t reportLength);
uint8_t DEVICE_LIBRARY_CALL xHidD_SetFeature(void* handle, void* report, uint32_t reportLength);
/* Fetches an input report (HidD_GetInputReport), whatever the name says. */
uint8_t DEVICE_LIBRARY_CALL xHidD_GetOutputReport(void* handle, void* report, uint32_t reportLength);
uint8_t DEVICE_LIBRARY_CALL xHidD_SetOutputReport(void* handle, void* report, uint32_t reportLength);

/* Standard descriptor requests (GET_DESCRIPTOR) to the device on a hub port, through the hub.
 * Read copies wLength bytes (zeros past the answer); ReadEx stores the data bytes returned (never
 * more than wLength) in received and copies that many. data must hold wLength bytes; data and
 * received may be null. A hub that answers with less than the 12-byte request header gives a
 * received count of 0 and nothing copied. */
uint8_t DEVICE_LIBRARY_CALL Write(const DeviceLibraryChar* hubName, uint32_t connectionIndex, uint32_t wValue,
                                  uint32_t wIndex, uint32_t wLength);
uint8_t DEVICE_LIBRARY_CALL Read(const DeviceLibraryChar* hubName, uint32_t connectionIndex, uint32_t wValue,
                                 uint32_t wIndex, uint32_t wLength, uint8_t* data);
uint8_t DEVICE_LIBRARY_CALL ReadEx(const DeviceLibraryChar* hubName, uint32_t connectionIndex, uint32_t wValue,
                                   uint32_t wIndex, uint32_t wLength, uint8_t* data, uint16_t* received);

/* Device-change subscriptions of a window. ArrivalRemove registers four times (USB device, HID,
 * mouse, keyboard) and returns the keyboard registration's handle; the other three cannot be ended. */
void* DEVICE_LIBRARY_CALL RegisterDeviceNotification_ArrivalRemove(void* recipientWindow);
int32_t DEVICE_LIBRARY_CALL UnregisterDeviceNotification_ArrivalRemove(void* notifyHandle);
void* DEVICE_LIBRARY_CALL RegisterDeviceNotification_QueryRemove(void* recipientWindow, void* deviceHandle);

/* HID-to-USB correlation: the hub port behind a HID path. When nothing is found the hub name is
 * written empty and the connection index 0. */
int32_t DEVICE_LIBRARY_CALL GetUsbDeviceFromHidList(uint32_t vid, uint32_t pid, int32_t index,
                                                    DeviceLibraryChar* hubNameOut, int32_t* connectionIndexOut);
uint8_t DEVICE_LIBRARY_CALL GetUsbDeviceFromHidDevice(const DeviceLibraryChar* hidPath, DeviceLibraryChar* hubNameOut,
                                                      int32_t* connectionIndexOut);

/* Family identification. GetPID_OfQV7Path reads the path text only; 0 without "pid_". */
uint8_t DEVICE_LIBRARY_CALL isQV7Device(const DeviceLibraryChar* hidPath);
uint16_t DEVICE_LIBRARY_CALL GetPID_OfQV7Path(const DeviceLibraryChar* hidPath);
uint8_t DEVICE_LIBRARY_CALL GetHidIDs(const DeviceLibraryChar* hidPath, uint16_t* vidOut, uint16_t* pidOut,
                                      uint16_t* usagePageOut, uint16_t* usageOut);

/* Utilities. GetDeviceViaInterfaceGUID takes a pointer to a GUID and returns a handle the caller
 * closes (null on failure). UsbReset restarts the first present USB device of vid and pid. */
uint8_t DEVICE_LIBRARY_CALL isDeviceExist(const DeviceLibraryChar* hubName, int32_t connectionIndex);
uint8_t DEVICE_LIBRARY_CALL GetUsbDeviceVIDPIDSNFromHub(const DeviceLibraryChar* hubName, int32_t connectionIndex,
                                                        uint16_t* vidOut, uint16_t* pidOut, uint16_t* releaseOut);
int32_t DEVICE_LIBRARY_CALL GetUSBDeviceInterfacePath(int32_t unused1, int32_t unused2, int32_t index,
                                                      DeviceLibraryChar* pathOut);
void* DEVICE_LIBRARY_CALL GetDeviceViaInterfaceGUID(const void* interfaceClass, uint32_t index);
uint8_t DEVICE_LIBRARY_CALL UsbReset(uint32_t vid, uint32_t pid);

#ifdef __cplusplus
}
#endif

#endif
