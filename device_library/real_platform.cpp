// The Windows platform: each method forwards to the Win32 function of its name and holds no logic.
// The static_asserts prove the library's own record definitions (records.h) against the SDK.
#include <windows.h>
#include <setupapi.h>
#include <usbioctl.h>
#include <winioctl.h>
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
};

// Constant-initialised and trivially destructible: loading and unloading the DLL runs no code of ours.
constinit RealPlatform g_realPlatform;

}  // namespace

Platform& ThePlatform() { return g_realPlatform; }

}  // namespace device_library
