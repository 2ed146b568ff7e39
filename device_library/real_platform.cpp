// The Windows platform: each method forwards to the Win32 function of its name and holds no logic.
// The static_asserts prove the library's own record definitions (records.h) against the SDK.
#include <windows.h>
#include <setupapi.h>
#include <usbioctl.h>
#include <winioctl.h>
#include <cfgmgr32.h>
#include <dbt.h>
extern "C" {  // mingw-w64's hidsdi.h and the hidpi.h it includes lack extern "C"
#include <hidsdi.h>
}

#include <cstddef>

#include "device_library/platform.h"

namespace device_library {

static_assert(sizeof(GUID) == sizeof(Guid));
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == sizeof(DeviceInterfaceData));
static_assert(offsetof(SP_DEVICE_INTERFACE_DATA, Reserved) == offsetof(DeviceInterfaceData, Reserved));
static_assert(sizeof(SP_DEVINFO_DATA) == sizeof(DeviceInfoData));
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == sizeof(DeviceInterfaceDetailDataW));
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) == kDetailPathOffset);
static_assert(sizeof(HIDD_ATTRIBUTES) == sizeof(HidAttributes));
static_assert(offsetof(HIDD_ATTRIBUTES, ProductID) == offsetof(HidAttributes, ProductID));
static_assert(sizeof(HIDP_CAPS) == sizeof(HidpCaps));
static_assert(offsetof(HIDP_CAPS, UsagePage) == offsetof(HidpCaps, UsagePage));
static_assert(offsetof(HIDP_CAPS, FeatureReportByteLength) == offsetof(HidpCaps, FeatureReportByteLength));
static_assert(offsetof(HIDP_CAPS, NumberFeatureDataIndices) == offsetof(HidpCaps, NumberFeatureDataIndices));
static_assert(HIDP_STATUS_SUCCESS == kHidpStatusSuccess);

static_assert(sizeof(SP_DEVINSTALL_PARAMS_W) == sizeof(DeviceInstallParamsW));
static_assert(sizeof(SP_DEVINSTALL_PARAMS_W) == (sizeof(void*) == 4 ? 556 : 584));
static_assert(offsetof(SP_DEVINSTALL_PARAMS_W, Flags) == offsetof(DeviceInstallParamsW, Flags));
static_assert(offsetof(SP_DEVINSTALL_PARAMS_W, DriverPath) == offsetof(DeviceInstallParamsW, DriverPath));
static_assert(sizeof(SP_CLASSINSTALL_HEADER) == sizeof(ClassInstallHeader));
static_assert(sizeof(SP_PROPCHANGE_PARAMS) == sizeof(PropChangeParams));
static_assert(offsetof(SP_PROPCHANGE_PARAMS, HwProfile) == offsetof(PropChangeParams, HwProfile));
static_assert(SPDRP_HARDWAREID == kSpdrpHardwareId && SPDRP_DRIVER == kSpdrpDriver);
static_assert(DIF_PROPERTYCHANGE == kDifPropertyChange && DICS_PROPCHANGE == kDicsPropChange);
static_assert(DICS_FLAG_CONFIGSPECIFIC == kDicsFlagConfigSpecific);
static_assert(DI_NEEDRESTART == kDiNeedRestart && DI_NEEDREBOOT == kDiNeedReboot);
static_assert(CR_SUCCESS == kCrSuccess && CR_NO_SUCH_DEVNODE == kCrNoSuchDevNode && CR_BUFFER_SMALL == kCrBufferSmall);
static_assert(CM_GETIDLIST_FILTER_BUSRELATIONS == kCmGetIdListFilterBusRelations);
static_assert(sizeof(DEVINST) == sizeof(DevInst));
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == sizeof(DevBroadcastDeviceInterfaceW));
static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_classguid) ==
              offsetof(DevBroadcastDeviceInterfaceW, dbcc_classguid));
static_assert(sizeof(DEV_BROADCAST_HANDLE) == sizeof(DevBroadcastHandle));
static_assert(sizeof(DEV_BROADCAST_HANDLE) == (sizeof(void*) == 4 ? 44 : 56));
static_assert(offsetof(DEV_BROADCAST_HANDLE, dbch_handle) == offsetof(DevBroadcastHandle, dbch_handle));
static_assert(offsetof(DEV_BROADCAST_HANDLE, dbch_nameoffset) == offsetof(DevBroadcastHandle, dbch_nameoffset));
static_assert(DBT_DEVTYP_DEVICEINTERFACE == kDbtDevtypDeviceInterface && DBT_DEVTYP_HANDLE == kDbtDevtypHandle);
static_assert(DEVICE_NOTIFY_WINDOW_HANDLE == kDeviceNotifyWindowHandle);

static_assert(IOCTL_USB_GET_ROOT_HUB_NAME == usb::kIoctlGetRootHubName);
static_assert(IOCTL_USB_GET_NODE_INFORMATION == usb::kIoctlGetNodeInformation);
static_assert(IOCTL_USB_GET_NODE_CONNECTION_INFORMATION == usb::kIoctlGetNodeConnectionInformation);
static_assert(IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX == usb::kIoctlGetNodeConnectionInformationEx);
static_assert(IOCTL_USB_GET_DESCRIPTOR_FROM_NODE_CONNECTION == usb::kIoctlGetDescriptorFromNodeConnection);
static_assert(IOCTL_USB_GET_NODE_CONNECTION_NAME == usb::kIoctlGetNodeConnectionName);
static_assert(IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME == usb::kIoctlGetNodeConnectionDriverKeyName);
static_assert(DeviceConnected == usb::kDeviceConnected);

static_assert(sizeof(USB_ROOT_HUB_NAME) == usb::root_hub_name::kSize);
static_assert(offsetof(USB_ROOT_HUB_NAME, RootHubName) == usb::root_hub_name::kName);
static_assert(sizeof(USB_NODE_CONNECTION_NAME) == usb::connection_name::kSize);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, ActualLength) == usb::connection_name::kActualLength);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, NodeName) == usb::connection_name::kName);
static_assert(sizeof(USB_NODE_CONNECTION_DRIVERKEY_NAME) == usb::connection_name::kSize);
static_assert(offsetof(USB_NODE_CONNECTION_DRIVERKEY_NAME, DriverKeyName) == usb::connection_name::kName);
static_assert(sizeof(USB_NODE_INFORMATION) == usb::node_information::kSize);
static_assert(offsetof(USB_NODE_INFORMATION, u.HubInformation.HubDescriptor.bNumberOfPorts) ==
              usb::node_information::kNumberOfPorts);
static_assert(offsetof(USB_NODE_INFORMATION, u.HubInformation.HubIsBusPowered) ==
              usb::node_information::kHubIsBusPowered);
namespace ci = usb::connection_information;
static_assert(sizeof(USB_NODE_CONNECTION_INFORMATION_EX) == ci::kFixedSize);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, DeviceDescriptor) == ci::kDeviceDescriptor);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, DeviceDescriptor.idVendor) ==
              ci::kDeviceDescriptor + usb::device_descriptor::kIdVendor);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, DeviceDescriptor.idProduct) ==
              ci::kDeviceDescriptor + usb::device_descriptor::kIdProduct);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, DeviceDescriptor.bcdDevice) ==
              ci::kDeviceDescriptor + usb::device_descriptor::kBcdDevice);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, Speed) == ci::kSpeed);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, DeviceIsHub) == ci::kDeviceIsHub);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, DeviceAddress) == ci::kDeviceAddress);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, NumberOfOpenPipes) == ci::kNumberOfOpenPipes);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, ConnectionStatus) == ci::kConnectionStatus);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, PipeList) == ci::kPipeList);
static_assert(sizeof(USB_NODE_CONNECTION_INFORMATION) == ci::kFixedSize);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, LowSpeed) == ci::kLowSpeed);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, DeviceIsHub) == ci::kDeviceIsHub);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION, ConnectionStatus) == ci::kConnectionStatus);
static_assert(sizeof(USB_PIPE_INFO) == ci::kPipeInfoSize);
static_assert(sizeof(USB_DESCRIPTOR_REQUEST) == usb::descriptor_request::kData);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, SetupPacket.wLength) == usb::descriptor_request::kLength);

namespace {

const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
const GUID* G(const Guid* guid) { return reinterpret_cast<const GUID*>(guid); }
DWORD* D(uint32_t* value) { return reinterpret_cast<DWORD*>(value); }
PSP_DEVINFO_DATA I(DeviceInfoData* data) { return reinterpret_cast<PSP_DEVINFO_DATA>(data); }

class RealPlatform final : public Platform {
 public:
  constexpr RealPlatform() = default;

  Handle CreateFileW(const char16_t* fileName, uint32_t desiredAccess, uint32_t shareMode, void* securityAttributes,
                     uint32_t creationDisposition, uint32_t flagsAndAttributes, Handle templateFile) override {
    return ::CreateFileW(W(fileName), desiredAccess, shareMode, static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes),
                         creationDisposition, flagsAndAttributes, templateFile);
  }
  Win32Bool CloseHandle(Handle object) override { return ::CloseHandle(object); }
  Win32Bool DeviceIoControl(Handle device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                            void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned,
                            void* overlapped) override {
    return ::DeviceIoControl(device, ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize, D(bytesReturned),
                             static_cast<LPOVERLAPPED>(overlapped));
  }
  Win32Bool CancelIo(Handle file) override { return ::CancelIo(file); }
  void* LocalAlloc(uint32_t flags, size_t bytes) override { return ::LocalAlloc(flags, bytes); }
  void* LocalFree(void* memory) override { return ::LocalFree(memory); }
  uint32_t GetLastError() override { return ::GetLastError(); }
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }

  DeviceInfoSet SetupDiGetClassDevsW(const Guid* classGuid, const char16_t* enumerator, void* parentWindow,
                                     uint32_t flags) override {
    return ::SetupDiGetClassDevsW(G(classGuid), W(enumerator), static_cast<HWND>(parentWindow), flags);
  }
  Win32Bool SetupDiEnumDeviceInterfaces(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                        const Guid* interfaceClassGuid, uint32_t memberIndex,
                                        DeviceInterfaceData* deviceInterfaceData) override {
    return ::SetupDiEnumDeviceInterfaces(set, reinterpret_cast<PSP_DEVINFO_DATA>(deviceInfoData),
                                         G(interfaceClassGuid), memberIndex,
                                         reinterpret_cast<PSP_DEVICE_INTERFACE_DATA>(deviceInterfaceData));
  }
  Win32Bool SetupDiGetDeviceInterfaceDetailW(DeviceInfoSet set, DeviceInterfaceData* deviceInterfaceData,
                                             DeviceInterfaceDetailDataW* detail, uint32_t detailSize,
                                             uint32_t* requiredSize, DeviceInfoData* deviceInfoData) override {
    return ::SetupDiGetDeviceInterfaceDetailW(set, reinterpret_cast<PSP_DEVICE_INTERFACE_DATA>(deviceInterfaceData),
                                              reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(detail),
                                              detailSize, D(requiredSize),
                                              reinterpret_cast<PSP_DEVINFO_DATA>(deviceInfoData));
  }
  Win32Bool SetupDiDestroyDeviceInfoList(DeviceInfoSet set) override { return ::SetupDiDestroyDeviceInfoList(set); }
  Win32Bool SetupDiEnumDeviceInfo(DeviceInfoSet set, uint32_t memberIndex, DeviceInfoData* deviceInfoData) override {
    return ::SetupDiEnumDeviceInfo(set, memberIndex, I(deviceInfoData));
  }
  Win32Bool SetupDiGetDeviceRegistryPropertyW(DeviceInfoSet set, DeviceInfoData* deviceInfoData, uint32_t property,
                                              uint32_t* propertyRegDataType, uint8_t* propertyBuffer,
                                              uint32_t propertyBufferSize, uint32_t* requiredSize) override {
    return ::SetupDiGetDeviceRegistryPropertyW(set, I(deviceInfoData), property, D(propertyRegDataType),
                                               propertyBuffer, propertyBufferSize, D(requiredSize));
  }
  Win32Bool SetupDiGetDeviceInstanceIdW(DeviceInfoSet set, DeviceInfoData* deviceInfoData, char16_t* deviceInstanceId,
                                        uint32_t deviceInstanceIdSize, uint32_t* requiredSize) override {
    return ::SetupDiGetDeviceInstanceIdW(set, I(deviceInfoData), reinterpret_cast<wchar_t*>(deviceInstanceId),
                                         deviceInstanceIdSize, D(requiredSize));
  }
  Win32Bool SetupDiSetClassInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                          ClassInstallHeader* classInstallParams,
                                          uint32_t classInstallParamsSize) override {
    return ::SetupDiSetClassInstallParamsW(set, I(deviceInfoData),
                                           reinterpret_cast<PSP_CLASSINSTALL_HEADER>(classInstallParams),
                                           classInstallParamsSize);
  }
  Win32Bool SetupDiCallClassInstaller(uint32_t installFunction, DeviceInfoSet set,
                                      DeviceInfoData* deviceInfoData) override {
    return ::SetupDiCallClassInstaller(installFunction, set, I(deviceInfoData));
  }
  Win32Bool SetupDiGetDeviceInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                           DeviceInstallParamsW* deviceInstallParams) override {
    return ::SetupDiGetDeviceInstallParamsW(set, I(deviceInfoData),
                                            reinterpret_cast<PSP_DEVINSTALL_PARAMS_W>(deviceInstallParams));
  }

  void HidD_GetHidGuid(Guid* hidGuid) override { ::HidD_GetHidGuid(reinterpret_cast<GUID*>(hidGuid)); }
  Boolean HidD_GetAttributes(Handle device, HidAttributes* attributes) override {
    return ::HidD_GetAttributes(device, reinterpret_cast<PHIDD_ATTRIBUTES>(attributes));
  }
  Boolean HidD_GetPreparsedData(Handle device, PreparsedData* preparsedData) override {
    return ::HidD_GetPreparsedData(device, reinterpret_cast<PHIDP_PREPARSED_DATA*>(preparsedData));
  }
  Boolean HidD_FreePreparsedData(PreparsedData preparsedData) override {
    return ::HidD_FreePreparsedData(static_cast<PHIDP_PREPARSED_DATA>(preparsedData));
  }
  NtStatus HidP_GetCaps(PreparsedData preparsedData, HidpCaps* capabilities) override {
    return ::HidP_GetCaps(static_cast<PHIDP_PREPARSED_DATA>(preparsedData), reinterpret_cast<PHIDP_CAPS>(capabilities));
  }
  Boolean HidD_GetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) override {
    return ::HidD_GetFeature(device, reportBuffer, reportBufferLength);
  }
  Boolean HidD_SetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) override {
    return ::HidD_SetFeature(device, reportBuffer, reportBufferLength);
  }
  Boolean HidD_GetInputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) override {
    return ::HidD_GetInputReport(device, reportBuffer, reportBufferLength);
  }
  Boolean HidD_SetOutputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) override {
    return ::HidD_SetOutputReport(device, reportBuffer, reportBufferLength);
  }

  ConfigRet CM_Get_Parent(DevInst* parent, DevInst devInst, uint32_t flags) override {
    return ::CM_Get_Parent(reinterpret_cast<DEVINST*>(parent), devInst, flags);
  }
  ConfigRet CM_Get_Device_ID_Size(uint32_t* length, DevInst devInst, uint32_t flags) override {
    return ::CM_Get_Device_ID_Size(reinterpret_cast<ULONG*>(length), devInst, flags);
  }
  ConfigRet CM_Get_Device_IDW(DevInst devInst, char16_t* buffer, uint32_t bufferLength, uint32_t flags) override {
    return ::CM_Get_Device_IDW(devInst, reinterpret_cast<wchar_t*>(buffer), bufferLength, flags);
  }
  ConfigRet CM_Get_Device_ID_List_SizeW(uint32_t* length, const char16_t* filter, uint32_t flags) override {
    return ::CM_Get_Device_ID_List_SizeW(reinterpret_cast<ULONG*>(length), W(filter), flags);
  }
  ConfigRet CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer, uint32_t bufferLength,
                                   uint32_t flags) override {
    return ::CM_Get_Device_ID_ListW(W(filter), reinterpret_cast<wchar_t*>(buffer), bufferLength, flags);
  }

  void* RegisterDeviceNotificationW(Handle recipient, void* notificationFilter, uint32_t flags) override {
    return ::RegisterDeviceNotificationW(recipient, notificationFilter, flags);
  }
  Win32Bool UnregisterDeviceNotification(void* notification) override {
    return ::UnregisterDeviceNotification(static_cast<HDEVNOTIFY>(notification));
  }
};

// Constant-initialised and trivially destructible: loading and unloading the DLL runs no code of ours.
constinit RealPlatform g_realPlatform;

}  // namespace

Platform& ThePlatform() { return g_realPlatform; }

}  // namespace device_library
