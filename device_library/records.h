// The types and record layouts the library exchanges with Windows, written from their published
// sizes and offsets so that the logic builds without Windows headers (real_platform.cpp checks
// every one of them against the SDK's own definitions at compile time).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace device_library {

using Handle = void*;         // HANDLE
using DeviceInfoSet = void*;  // HDEVINFO
using PreparsedData = void*;  // PHIDP_PREPARSED_DATA
using Win32Bool = int32_t;    // BOOL
using Boolean = uint8_t;      // BOOLEAN (what HidD_* return)
using NtStatus = int32_t;     // NTSTATUS (what HidP_* return)

// CreateFileW and SetupDiGetClassDevsW fail with INVALID_HANDLE_VALUE, not null.
inline Handle InvalidHandleValue() { return reinterpret_cast<Handle>(intptr_t{-1}); }

struct Guid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
  friend bool operator==(const Guid& a, const Guid& b) { return std::memcmp(&a, &b, sizeof(Guid)) == 0; }
};
static_assert(sizeof(Guid) == 16);

// {4D1E55B2-F16F-11CF-88CB-001111000030}, what HidD_GetHidGuid reports.
inline constexpr Guid kHidInterfaceClass{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
// GUID_DEVINTERFACE_USB_HOST_CONTROLLER {3ABF6F2D-71C4-462A-8A92-1E6861E6AF27}.
inline constexpr Guid kUsbHostControllerInterfaceClass{
    0x3ABF6F2D, 0x71C4, 0x462A, {0x8A, 0x92, 0x1E, 0x68, 0x61, 0xE6, 0xAF, 0x27}};

// kernel32
inline constexpr uint32_t kGenericRead = 0x80000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;
inline constexpr uint32_t kFileShareRead = 1;
inline constexpr uint32_t kFileShareWrite = 2;
inline constexpr uint32_t kOpenExisting = 3;
inline constexpr uint32_t kFileFlagOverlapped = 0x40000000;
inline constexpr uint32_t kFileAttributeNormal = 0x80;
inline constexpr uint32_t kLmemFixed = 0x0000;
inline constexpr uint32_t kLmemZeroInit = 0x0040;

// Last-error values that the platform may leave (the library itself never sets one).
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorInvalidData = 13;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorNoMoreItems = 259;
inline constexpr uint32_t kErrorInvalidUserBuffer = 1784;

// setupapi
inline constexpr uint32_t kDigcfPresent = 0x02;
inline constexpr uint32_t kDigcfAllClasses = 0x04;
inline constexpr uint32_t kDigcfDeviceInterface = 0x10;
inline constexpr uint32_t kSpintActive = 0x1;

// setupapi.h packs its records to 1 byte on 32-bit Windows and to 8 on 64-bit Windows, and
// SetupAPI rejects a record whose size field is not exactly its own sizeof (ERROR_INVALID_USER_BUFFER).
// So the interface record is 28 bytes on win32 and 32 on win64, and the detail record's size field
// (its fixed part: a 4-byte size and one UTF-16 unit of path) is 6 on win32 but 8 on win64, where
// the same 6 bytes are padded to the 4-byte alignment of the size field.
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 1)
#else
#pragma pack(push, 8)
#endif
struct DeviceInterfaceData {  // SP_DEVICE_INTERFACE_DATA
  uint32_t cbSize;
  Guid InterfaceClassGuid;
  uint32_t Flags;
  uintptr_t Reserved;
};
struct DeviceInfoData {  // SP_DEVINFO_DATA
  uint32_t cbSize;
  Guid ClassGuid;
  uint32_t DevInst;
  uintptr_t Reserved;
};
struct DeviceInterfaceDetailDataW {  // SP_DEVICE_INTERFACE_DETAIL_DATA_W
  uint32_t cbSize;
  char16_t DevicePath[1];
};
#pragma pack(pop)
inline constexpr size_t kDetailPathOffset = 4;
static_assert(offsetof(DeviceInterfaceDetailDataW, DevicePath) == kDetailPathOffset);
static_assert(sizeof(DeviceInterfaceData) == (sizeof(void*) == 4 ? 28 : 32));
static_assert(sizeof(DeviceInfoData) == (sizeof(void*) == 4 ? 28 : 32));
static_assert(sizeof(DeviceInterfaceDetailDataW) == (sizeof(void*) == 4 ? 6 : 8));

// setupapi, device nodes and their install parameters (same packing as the records above).
inline constexpr uint32_t kSpdrpHardwareId = 1;  // REG_MULTI_SZ
inline constexpr uint32_t kSpdrpDriver = 9;      // REG_SZ
inline constexpr uint32_t kDifPropertyChange = 0x12;
inline constexpr uint32_t kDicsPropChange = 3;
inline constexpr uint32_t kDicsFlagConfigSpecific = 2;
inline constexpr uint32_t kDiNeedRestart = 0x80;
inline constexpr uint32_t kDiNeedReboot = 0x100;
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 1)
#else
#pragma pack(push, 8)
#endif
struct ClassInstallHeader {  // SP_CLASSINSTALL_HEADER
  uint32_t cbSize;
  uint32_t InstallFunction;
};
struct PropChangeParams {  // SP_PROPCHANGE_PARAMS
  ClassInstallHeader Header;  // ClassInstallHeader
  uint32_t StateChange;
  uint32_t Scope;
  uint32_t HwProfile;
};
struct DeviceInstallParamsW {  // SP_DEVINSTALL_PARAMS_W
  uint32_t cbSize;
  uint32_t Flags;
  uint32_t FlagsEx;
  void* hwndParent;
  void* InstallMsgHandler;
  void* InstallMsgHandlerContext;
  void* FileQueue;
  uintptr_t ClassInstallReserved;
  uint32_t Reserved;
  char16_t DriverPath[260];
};
#pragma pack(pop)
static_assert(sizeof(ClassInstallHeader) == 8);
static_assert(sizeof(PropChangeParams) == 20);
static_assert(sizeof(DeviceInstallParamsW) == (sizeof(void*) == 4 ? 556 : 584));

// cfgmgr32
using DevInst = uint32_t;     // DEVINST
using ConfigRet = uint32_t;   // CONFIGRET
inline constexpr ConfigRet kCrSuccess = 0;
inline constexpr ConfigRet kCrInvalidPointer = 0x03;
inline constexpr ConfigRet kCrInvalidDevNode = 0x05;
inline constexpr ConfigRet kCrNoSuchDevNode = 0x0D;
inline constexpr ConfigRet kCrBufferSmall = 0x1A;
inline constexpr ConfigRet kCrNoSuchDeviceInstance = 0x25;
inline constexpr uint32_t kCmGetIdListFilterBusRelations = 0x20;

// user32 device-change subscriptions (dbt.h). The interface record has no pointer and is 32 bytes
// everywhere; the handle record carries two handles, so it is 44 bytes on win32 and 56 on win64.
inline constexpr uint32_t kDbtDevtypDeviceInterface = 5;
inline constexpr uint32_t kDbtDevtypHandle = 6;
inline constexpr uint32_t kDeviceNotifyWindowHandle = 0;
struct DevBroadcastDeviceInterfaceW {  // DEV_BROADCAST_DEVICEINTERFACE_W
  uint32_t dbcc_size;
  uint32_t dbcc_devicetype;
  uint32_t dbcc_reserved;
  Guid dbcc_classguid;
  char16_t dbcc_name[1];
};
struct DevBroadcastHandle {  // DEV_BROADCAST_HANDLE
  uint32_t dbch_size;
  uint32_t dbch_devicetype;
  uint32_t dbch_reserved;
  Handle dbch_handle;
  void* dbch_hdevnotify;
  Guid dbch_eventguid;
  int32_t dbch_nameoffset;
  uint8_t dbch_data[1];
};
static_assert(sizeof(DevBroadcastDeviceInterfaceW) == 32);
static_assert(sizeof(DevBroadcastHandle) == (sizeof(void*) == 4 ? 44 : 56));

// GUID_DEVINTERFACE_USB_DEVICE {A5DCBF10-6530-11D2-901F-00C04FB951ED}.
inline constexpr Guid kUsbDeviceInterfaceClass{0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
// GUID_DEVINTERFACE_MOUSE {378DE44C-56EF-11D1-BC8C-00A0C91405DD}.
inline constexpr Guid kMouseInterfaceClass{0x378DE44C, 0x56EF, 0x11D1, {0xBC, 0x8C, 0x00, 0xA0, 0xC9, 0x14, 0x05, 0xDD}};
// GUID_DEVINTERFACE_KEYBOARD {884B96C3-56EF-11D1-BC8C-00A0C91405DD}.
inline constexpr Guid kKeyboardInterfaceClass{
    0x884B96C3, 0x56EF, 0x11D1, {0xBC, 0x8C, 0x00, 0xA0, 0xC9, 0x14, 0x05, 0xDD}};

// hid
struct HidAttributes {  // HIDD_ATTRIBUTES
  uint32_t Size;
  uint16_t VendorID;
  uint16_t ProductID;
  uint16_t VersionNumber;
};
static_assert(sizeof(HidAttributes) == 12);

struct HidpCaps {  // HIDP_CAPS
  uint16_t Usage;
  uint16_t UsagePage;
  uint16_t InputReportByteLength;
  uint16_t OutputReportByteLength;
  uint16_t FeatureReportByteLength;
  uint16_t Reserved[17];
  uint16_t NumberLinkCollectionNodes;
  uint16_t NumberInputButtonCaps;
  uint16_t NumberInputValueCaps;
  uint16_t NumberInputDataIndices;
  uint16_t NumberOutputButtonCaps;
  uint16_t NumberOutputValueCaps;
  uint16_t NumberOutputDataIndices;
  uint16_t NumberFeatureButtonCaps;
  uint16_t NumberFeatureValueCaps;
  uint16_t NumberFeatureDataIndices;
};
static_assert(sizeof(HidpCaps) == 64);

inline constexpr NtStatus kHidpStatusSuccess = 0x00110000;
inline constexpr NtStatus kHidpStatusInvalidPreparsedData = static_cast<NtStatus>(0xC0110001u);

// USB hub and host-controller requests (usbioctl.h, whose records are packed to 1 byte on every
// target). The library exchanges them as raw byte buffers; these are their sizes and offsets.
namespace usb {

inline constexpr uint32_t kIoctlGetRootHubName = 0x220408;       // to a host controller
inline constexpr uint32_t kIoctlGetNodeInformation = 0x220408;   // to a hub (the same value)
inline constexpr uint32_t kIoctlGetNodeConnectionInformation = 0x22040C;
inline constexpr uint32_t kIoctlGetDescriptorFromNodeConnection = 0x220410;
inline constexpr uint32_t kIoctlGetNodeConnectionName = 0x220414;
inline constexpr uint32_t kIoctlGetNodeConnectionDriverKeyName = 0x220420;
inline constexpr uint32_t kIoctlGetNodeConnectionInformationEx = 0x220448;

inline constexpr uint32_t kDeviceConnected = 1;  // USB_CONNECTION_STATUS
inline constexpr uint32_t kNoDeviceConnected = 0;

// USB_ROOT_HUB_NAME: ActualLength (bytes the whole record needs), then the name.
namespace root_hub_name {
inline constexpr size_t kActualLength = 0, kName = 4, kSize = 6;
}
// USB_NODE_CONNECTION_NAME and USB_NODE_CONNECTION_DRIVERKEY_NAME share one layout.
namespace connection_name {
inline constexpr size_t kConnectionIndex = 0, kActualLength = 4, kName = 8, kSize = 10;
}
// USB_NODE_INFORMATION: NodeType, then USB_HUB_INFORMATION (the hub descriptor, HubIsBusPowered).
namespace node_information {
inline constexpr size_t kNodeType = 0, kDescriptorLength = 4, kDescriptorType = 5, kNumberOfPorts = 6,
                        kHubCharacteristics = 7, kPowerOnToPowerGood = 9, kHubControlCurrent = 10,
                        kRemoveAndPowerMask = 11, kHubIsBusPowered = 75, kSize = 76;
}
// USB_NODE_CONNECTION_INFORMATION_EX; the older USB_NODE_CONNECTION_INFORMATION has the same layout
// with LowSpeed (a BOOLEAN) where the newer one has Speed.
namespace connection_information {
inline constexpr size_t kConnectionIndex = 0, kDeviceDescriptor = 4, kCurrentConfigurationValue = 22, kSpeed = 23,
                        kLowSpeed = 23, kDeviceIsHub = 24, kDeviceAddress = 25, kNumberOfOpenPipes = 27,
                        kConnectionStatus = 31, kPipeList = 35, kFixedSize = 35, kPipeInfoSize = 11,
                        kPipeRoom = 30, kBufferSize = kFixedSize + kPipeRoom * kPipeInfoSize;
static_assert(kBufferSize == 365);
}
// USB_DEVICE_DESCRIPTOR, 18 bytes, as it sits inside the connection information.
namespace device_descriptor {
inline constexpr size_t kLength = 0, kDescriptorType = 1, kBcdUsb = 2, kDeviceClass = 4, kMaxPacketSize0 = 7,
                        kIdVendor = 8, kIdProduct = 10, kBcdDevice = 12, kNumConfigurations = 17, kSize = 18;
}
// USB_DESCRIPTOR_REQUEST: ConnectionIndex, then the setup packet, then the data.
namespace descriptor_request {
inline constexpr size_t kConnectionIndex = 0, kRequestType = 4, kRequest = 5, kValue = 6, kIndex = 8, kLength = 10,
                        kData = 12;
}

}  // namespace usb

// Little-endian access to raw records (every Windows target is little-endian).
inline uint16_t Load16(const void* record, size_t offset) {
  uint16_t value;
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
  return value;
}
inline uint32_t Load32(const void* record, size_t offset) {
  uint32_t value;
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
  return value;
}
inline void Store16(void* record, size_t offset, uint16_t value) {
  std::memcpy(static_cast<uint8_t*>(record) + offset, &value, sizeof value);
}
inline void Store32(void* record, size_t offset, uint32_t value) {
  std::memcpy(static_cast<uint8_t*>(record) + offset, &value, sizeof value);
}

}  // namespace device_library
