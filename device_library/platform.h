// The library's only way to the operating system: one method for one Win32 function, with the
// Win32 name and argument order. real_platform.cpp forwards each to Windows; the tests' fake world
// (fake_world.h) answers them from a model. A further Win32 function gets a method here and in
// both implementations.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device_library/records.h"

namespace device_library {

class Platform {
 public:
  // kernel32
  virtual Handle CreateFileW(const char16_t* fileName, uint32_t desiredAccess, uint32_t shareMode,
                             void* securityAttributes, uint32_t creationDisposition, uint32_t flagsAndAttributes,
                             Handle templateFile) = 0;
  virtual Win32Bool CloseHandle(Handle object) = 0;
  virtual Win32Bool DeviceIoControl(Handle device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                                    void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned,
                                    void* overlapped) = 0;
  virtual Win32Bool CancelIo(Handle file) = 0;
  virtual void* LocalAlloc(uint32_t flags, size_t bytes) = 0;
  virtual void* LocalFree(void* memory) = 0;  // null on success
  virtual uint32_t GetLastError() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;

  // setupapi
  virtual DeviceInfoSet SetupDiGetClassDevsW(const Guid* classGuid, const char16_t* enumerator, void* parentWindow,
                                             uint32_t flags) = 0;
  virtual Win32Bool SetupDiEnumDeviceInterfaces(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                const Guid* interfaceClassGuid, uint32_t memberIndex,
                                                DeviceInterfaceData* deviceInterfaceData) = 0;
  virtual Win32Bool SetupDiGetDeviceInterfaceDetailW(DeviceInfoSet set, DeviceInterfaceData* deviceInterfaceData,
                                                     DeviceInterfaceDetailDataW* detail, uint32_t detailSize,
                                                     uint32_t* requiredSize, DeviceInfoData* deviceInfoData) = 0;
  virtual Win32Bool SetupDiDestroyDeviceInfoList(DeviceInfoSet set) = 0;
  virtual Win32Bool SetupDiEnumDeviceInfo(DeviceInfoSet set, uint32_t memberIndex, DeviceInfoData* deviceInfoData) = 0;
  virtual Win32Bool SetupDiGetDeviceRegistryPropertyW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                      uint32_t property, uint32_t* propertyRegDataType,
                                                      uint8_t* propertyBuffer, uint32_t propertyBufferSize,
                                                      uint32_t* requiredSize) = 0;
  virtual Win32Bool SetupDiGetDeviceInstanceIdW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                char16_t* deviceInstanceId, uint32_t deviceInstanceIdSize,
                                                uint32_t* requiredSize) = 0;
  virtual Win32Bool SetupDiSetClassInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                  ClassInstallHeader* classInstallParams,
                                                  uint32_t classInstallParamsSize) = 0;
  virtual Win32Bool SetupDiCallClassInstaller(uint32_t installFunction, DeviceInfoSet set,
                                              DeviceInfoData* deviceInfoData) = 0;
  virtual Win32Bool SetupDiGetDeviceInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                   DeviceInstallParamsW* deviceInstallParams) = 0;

  // hid
  virtual void HidD_GetHidGuid(Guid* hidGuid) = 0;
  virtual Boolean HidD_GetAttributes(Handle device, HidAttributes* attributes) = 0;
  virtual Boolean HidD_GetPreparsedData(Handle device, PreparsedData* preparsedData) = 0;
  virtual Boolean HidD_FreePreparsedData(PreparsedData preparsedData) = 0;
  virtual NtStatus HidP_GetCaps(PreparsedData preparsedData, HidpCaps* capabilities) = 0;
  virtual Boolean HidD_GetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) = 0;
  virtual Boolean HidD_SetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) = 0;
  virtual Boolean HidD_GetInputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) = 0;
  virtual Boolean HidD_SetOutputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) = 0;

  // cfgmgr32
  virtual ConfigRet CM_Get_Parent(DevInst* parent, DevInst devInst, uint32_t flags) = 0;
  virtual ConfigRet CM_Get_Device_ID_Size(uint32_t* length, DevInst devInst, uint32_t flags) = 0;
  virtual ConfigRet CM_Get_Device_IDW(DevInst devInst, char16_t* buffer, uint32_t bufferLength, uint32_t flags) = 0;
  virtual ConfigRet CM_Get_Device_ID_List_SizeW(uint32_t* length, const char16_t* filter, uint32_t flags) = 0;
  virtual ConfigRet CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer, uint32_t bufferLength,
                                           uint32_t flags) = 0;

  // user32
  virtual void* RegisterDeviceNotificationW(Handle recipient, void* notificationFilter, uint32_t flags) = 0;
  virtual Win32Bool UnregisterDeviceNotification(void* notification) = 0;

 protected:
  // Not virtual, so that a constant-initialised platform object needs no destructor at unload.
  ~Platform() = default;
};

// The platform the exports use: the real one in resource.dll, the installed fake world in the
// fake-world DLL and in the native tests. Defined by exactly one of real_platform.cpp and
// fake_world_installed.cpp, whichever is linked.
Platform& ThePlatform();

}  // namespace device_library
