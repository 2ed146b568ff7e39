// The tests' fake world behind the Platform interface: host controllers (by legacy name and by
// interface class), hubs and their ports with attached devices, HID collections with attributes,
// capabilities and report sinks. It answers the raw records byte for byte (two-step size queries
// included), counts every open and release, logs every call and fails any call on demand.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <string>
#include <vector>

#include "device_library/platform.h"

namespace device_library::fake {

// One entry per Platform method, in its order.
enum class Call {
  CreateFileW,
  CloseHandle,
  DeviceIoControl,
  CancelIo,
  LocalAlloc,
  LocalFree,
  GetLastError,
  Sleep,
  SetupDiGetClassDevsW,
  SetupDiEnumDeviceInterfaces,
  SetupDiGetDeviceInterfaceDetailW,
  SetupDiDestroyDeviceInfoList,
  SetupDiEnumDeviceInfo,
  SetupDiGetDeviceRegistryPropertyW,
  SetupDiGetDeviceInstanceIdW,
  SetupDiSetClassInstallParamsW,
  SetupDiCallClassInstaller,
  SetupDiGetDeviceInstallParamsW,
  HidD_GetHidGuid,
  HidD_GetAttributes,
  HidD_GetPreparsedData,
  HidD_FreePreparsedData,
  HidP_GetCaps,
  HidD_GetFeature,
  HidD_SetFeature,
  HidD_GetInputReport,
  HidD_SetOutputReport,
  CM_Get_Parent,
  CM_Get_Device_ID_Size,
  CM_Get_Device_IDW,
  CM_Get_Device_ID_List_SizeW,
  CM_Get_Device_ID_ListW,
  RegisterDeviceNotificationW,
  UnregisterDeviceNotification,
  Count
};
inline constexpr size_t kCallCount = static_cast<size_t>(Call::Count);
const char* CallName(Call call);
bool CallFromName(const std::string& name, Call* call);

// One logged call. text: the path of CreateFileW; args: the call's integer arguments as listed.
//   CreateFileW: desiredAccess, shareMode, creationDisposition, flagsAndAttributes
//   DeviceIoControl: ioControlCode, inBufferSize, outBufferSize, connection index (first 4 input bytes, if any)
//   SetupDiGetClassDevsW: flags, Data1 of the class GUID (0 for none)
//   SetupDiEnumDeviceInterfaces: memberIndex, cbSize of the interface record
//   SetupDiGetDeviceInterfaceDetailW: detailSize, cbSize of the detail record (0 without one)
//   LocalAlloc: flags, bytes
//   HidD_GetFeature/SetFeature/GetInputReport/SetOutputReport: reportBufferLength
//   Sleep: milliseconds
//   SetupDiEnumDeviceInfo: memberIndex, cbSize of the device-information record
//   SetupDiGetDeviceRegistryPropertyW: property, propertyBufferSize, DevInst
//   SetupDiGetDeviceInstanceIdW: deviceInstanceIdSize, DevInst
//   SetupDiSetClassInstallParamsW: classInstallParamsSize, DevInst
//   SetupDiCallClassInstaller: installFunction, DevInst
//   SetupDiGetDeviceInstallParamsW: cbSize of the install parameters, DevInst
//   CM_Get_Parent/CM_Get_Device_ID_Size: devInst; CM_Get_Device_IDW: devInst, bufferLength
//   CM_Get_Device_ID_List_SizeW/ListW (text: the filter): flags, bufferLength (ListW only)
//   RegisterDeviceNotificationW: flags, size and device type of the filter record
struct CallRecord {
  Call call;
  std::u16string text;
  std::array<uint32_t, 4> args{};
};

// The 18-byte device descriptor a hub driver keeps for a port.
std::array<uint8_t, 18> MakeDeviceDescriptor(uint16_t vid, uint16_t pid, uint16_t bcdDevice = 0x0100,
                                            uint8_t deviceClass = 0);

struct Port {
  uint32_t connectionStatus = usb::kNoDeviceConnected;
  std::array<uint8_t, 18> deviceDescriptor{};  // all zero on an empty port
  std::u16string attachedHub;                  // the hub on this port (DeviceIsHub) by its hub name
  uint8_t speed = 1;                           // UsbFullSpeed
  uint16_t deviceAddress = 0;
  uint32_t openPipes = 0;
  bool answersConnectionInformation = true;    // false: both connection requests fail for this port
  bool answersConnectionName = true;           // false: the external hub's name cannot be read
  std::u16string driverKey{};                    // what the driver-key request answers (empty: an empty name)
  bool answersDriverKey = true;                // false: the driver-key request fails
  // Descriptors the device answers through the hub, by (wValue << 16) | wIndex; the device
  // descriptor (0x0100) defaults to deviceDescriptor.
  std::map<uint32_t, std::vector<uint8_t>> descriptors;
  // When set, the count a faulty hub driver reports for a descriptor request instead of the true one.
  std::optional<uint32_t> descriptorBytesReturned;
};

struct Hub {
  std::vector<Port> ports;  // connection index n is ports[n - 1]
  bool opens = true;
  bool answersNodeInformation = true;
  bool rejectsConnectionInformationEx = false;  // an older hub driver: only the older request works
};

struct HostController {
  std::u16string rootHubName;
  bool opens = true;
  bool answersRootHubName = true;
};

struct HidCollection {
  std::u16string path;
  uint16_t vid = 0, pid = 0, version = 0x0100;
  uint16_t usagePage = 0, usage = 0;
  uint16_t inputReportLength = 0, outputReportLength = 0, featureReportLength = 0;
  bool opens = true;                // any open
  bool opensForReadWrite = true;    // false: GENERIC_READ/WRITE opens are refused (ERROR_ACCESS_DENIED)
  bool answersAttributes = true;
  bool answersPreparsedData = true;
  bool answersCaps = true;
  bool acceptsReports = true;       // false: every report transfer fails (ERROR_GEN_FAILURE)
  std::map<uint8_t, std::vector<uint8_t>> featureReports;  // by report id, what HidD_GetFeature returns
  std::map<uint8_t, std::vector<uint8_t>> inputReports;    // by report id, what HidD_GetInputReport returns
};

// One entry of an interface class as SetupDi enumerates it; the same path may be listed twice.
struct DeviceInterface {
  Guid interfaceClass;
  std::u16string path;
  bool detailReadable = true;  // false: the size query answers, the read itself fails
  std::u16string deviceInstance{};  // the device node that exposes it (empty: none known)
};

// One node of the device tree, as the configuration manager and SetupDi see it.
struct DeviceNode {
  std::u16string instanceId{};          // e.g. USB\VID_09DA&PID_1234\6&1a2b&0&1
  std::u16string parent{};              // the parent's instance id (empty: a root)
  std::u16string enumerator{};          // "USB", "HID", ...
  std::u16string driverKey{};          // SPDRP_DRIVER; empty: the device has none
  std::vector<std::u16string> hardwareIds{};  // SPDRP_HARDWAREID, first one first
  bool present = true;
  // Restarting: whether the class installer takes and runs a property change, and the flags each
  // later read of the install parameters gives (the last one repeats; none: 0).
  bool acceptsPropertyChange = true;
  std::vector<uint32_t> installFlagsAfterChange{};
};

// One device-change subscription that RegisterDeviceNotificationW accepted.
struct Registration {
  Handle recipient;
  std::vector<uint8_t> filter;  // the filter record as it was passed, sized by its own size field
  uint32_t flags;
  bool active;
};

// A report that reached a collection (accepted or not).
struct ReportTransfer {
  Call call;
  std::u16string path;
  std::vector<uint8_t> bytes;
  bool accepted;
};

struct Outstanding {
  int files = 0, deviceInfoSets = 0, preparsedData = 0, localMemory = 0;
  int Total() const { return files + deviceInfoSets + preparsedData + localMemory; }
};

class FakeWorld final : public Platform {
 public:
  FakeWorld() = default;
  ~FakeWorld();
  FakeWorld(const FakeWorld&) = delete;
  FakeWorld& operator=(const FakeWorld&) = delete;

  // ---- the model (public: tests shape it directly or through the helpers below) ----
  std::vector<HostController> hostControllers;
  std::map<std::u16string, size_t> legacyControllerNames;   // "\\.\HCDn" -> controller
  std::map<std::u16string, size_t> controllerInterfaces;    // interface path -> controller
  std::map<std::u16string, Hub> hubs;                        // by hub name (no "\\.\")
  std::vector<HidCollection> hidCollections;
  std::vector<DeviceInterface> interfaces;                   // every interface class, in enumeration order
  std::vector<ReportTransfer> reportTransfers;
  std::vector<DeviceNode> deviceNodes;                       // DevInst n is deviceNodes[n - 1]
  std::vector<Registration> registrations;                   // in the order they were made
  std::vector<std::u16string> restartedDevices;              // instance ids, in restart order
  uint64_t sleptMilliseconds = 0;                            // Sleep only counts, it never waits
  // Wine's CM_Get_Device_ID_List_SizeW succeeds without writing its length; true models that.
  bool listSizeLeavesLength = false;

  // A controller reachable by "\\.\HCD<legacyNumber>" (if >= 0) and/or through the host-controller
  // interface class at interfacePath (if not empty); its root hub gets rootPorts empty ports.
  size_t AddHostController(const std::u16string& rootHubName, int legacyNumber, const std::u16string& interfacePath,
                           size_t rootPorts);
  Hub& AddHub(const std::u16string& name, size_t portCount);
  Port& AttachDevice(const std::u16string& hubName, uint32_t connectionIndex, uint16_t vid, uint16_t pid,
                     uint16_t bcdDevice = 0x0100);
  Hub& AttachHub(const std::u16string& hubName, uint32_t connectionIndex, const std::u16string& childHubName,
                 size_t childPortCount);
  HidCollection& AddHidCollection(const std::u16string& path, uint16_t vid, uint16_t pid, uint16_t usagePage,
                                  uint16_t usage);
  Port& PortAt(const std::u16string& hubName, uint32_t connectionIndex);
  DeviceNode& AddDeviceNode(const std::u16string& instanceId, const std::u16string& parent,
                            const std::u16string& enumerator, const std::u16string& driverKey = u"");
  // Names the device node behind every interface listed at path.
  void SetInterfaceDevice(const std::u16string& path, const std::u16string& instanceId);
  DeviceNode* FindDeviceNode(std::u16string_view instanceId);
  HidCollection* FindHidCollection(const std::u16string& path);

  // ---- observation ----
  Outstanding Open() const;                          // acquired and not yet released
  uint64_t CallCount(Call call) const { return callCounts_[static_cast<size_t>(call)]; }
  uint64_t TotalCalls() const;
  const std::vector<CallRecord>& CallLog() const { return callLog_; }
  std::vector<CallRecord> CallsOf(Call call) const;
  void ResetCounters();                               // counts and log; the model and open objects stay
  bool logCalls = true;                               // the benchmark turns the log off, the counts stay
  // Called with every last-error value the world leaves; the fake-world DLL mirrors it into the
  // thread's own last error (SetLastError), so a host's GetLastError sees it.
  void (*lastErrorSink)(uint32_t error) = nullptr;

  // ---- fault injection: a failing call returns its failure value and leaves `error` ----
  // Fails the occurrence-th next call of that kind (1 = the next one).
  void FailNth(Call call, uint64_t occurrence, uint32_t error = kErrorGenFailure);
  void FailAlways(Call call, uint32_t error = kErrorGenFailure);
  // Fails every call for which the predicate holds (it sees the call as it would be logged).
  void FailWhen(std::function<bool(const CallRecord&)> predicate, uint32_t error = kErrorGenFailure);
  void ClearFaults();

  // ---- Platform ----
  Handle CreateFileW(const char16_t* fileName, uint32_t desiredAccess, uint32_t shareMode, void* securityAttributes,
                     uint32_t creationDisposition, uint32_t flagsAndAttributes, Handle templateFile) override;
  Win32Bool CloseHandle(Handle object) override;
  Win32Bool DeviceIoControl(Handle device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                            void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned,
                            void* overlapped) override;
  Win32Bool CancelIo(Handle file) override;
  void* LocalAlloc(uint32_t flags, size_t bytes) override;
  void* LocalFree(void* memory) override;
  uint32_t GetLastError() override;
  DeviceInfoSet SetupDiGetClassDevsW(const Guid* classGuid, const char16_t* enumerator, void* parentWindow,
                                     uint32_t flags) override;
  Win32Bool SetupDiEnumDeviceInterfaces(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                        const Guid* interfaceClassGuid, uint32_t memberIndex,
                                        DeviceInterfaceData* deviceInterfaceData) override;
  Win32Bool SetupDiGetDeviceInterfaceDetailW(DeviceInfoSet set, DeviceInterfaceData* deviceInterfaceData,
                                             DeviceInterfaceDetailDataW* detail, uint32_t detailSize,
                                             uint32_t* requiredSize, DeviceInfoData* deviceInfoData) override;
  Win32Bool SetupDiDestroyDeviceInfoList(DeviceInfoSet set) override;
  void Sleep(uint32_t milliseconds) override;
  Win32Bool SetupDiEnumDeviceInfo(DeviceInfoSet set, uint32_t memberIndex, DeviceInfoData* deviceInfoData) override;
  Win32Bool SetupDiGetDeviceRegistryPropertyW(DeviceInfoSet set, DeviceInfoData* deviceInfoData, uint32_t property,
                                              uint32_t* propertyRegDataType, uint8_t* propertyBuffer,
                                              uint32_t propertyBufferSize, uint32_t* requiredSize) override;
  Win32Bool SetupDiGetDeviceInstanceIdW(DeviceInfoSet set, DeviceInfoData* deviceInfoData, char16_t* deviceInstanceId,
                                        uint32_t deviceInstanceIdSize, uint32_t* requiredSize) override;
  Win32Bool SetupDiSetClassInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                          ClassInstallHeader* classInstallParams,
                                          uint32_t classInstallParamsSize) override;
  Win32Bool SetupDiCallClassInstaller(uint32_t installFunction, DeviceInfoSet set,
                                      DeviceInfoData* deviceInfoData) override;
  Win32Bool SetupDiGetDeviceInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                           DeviceInstallParamsW* deviceInstallParams) override;
  ConfigRet CM_Get_Parent(DevInst* parent, DevInst devInst, uint32_t flags) override;
  ConfigRet CM_Get_Device_ID_Size(uint32_t* length, DevInst devInst, uint32_t flags) override;
  ConfigRet CM_Get_Device_IDW(DevInst devInst, char16_t* buffer, uint32_t bufferLength, uint32_t flags) override;
  ConfigRet CM_Get_Device_ID_List_SizeW(uint32_t* length, const char16_t* filter, uint32_t flags) override;
  ConfigRet CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer, uint32_t bufferLength,
                                   uint32_t flags) override;
  void* RegisterDeviceNotificationW(Handle recipient, void* notificationFilter, uint32_t flags) override;
  Win32Bool UnregisterDeviceNotification(void* notification) override;
  void HidD_GetHidGuid(Guid* hidGuid) override;
  Boolean HidD_GetAttributes(Handle device, HidAttributes* attributes) override;
  Boolean HidD_GetPreparsedData(Handle device, PreparsedData* preparsedData) override;
  Boolean HidD_FreePreparsedData(PreparsedData preparsedData) override;
  NtStatus HidP_GetCaps(PreparsedData preparsedData, HidpCaps* capabilities) override;
  Boolean HidD_GetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) override;
  Boolean HidD_SetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) override;
  Boolean HidD_GetInputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) override;
  Boolean HidD_SetOutputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) override;

 private:
  enum class Target { HostController, Hub, HidCollection };
  struct OpenFile {
    Target target;
    std::u16string key;  // controller path, hub name or collection path
    size_t collection;   // HID collections: the index it was opened by (checked against key)
    uint32_t desiredAccess;
    uint32_t flags;
  };
  struct OpenSet {
    bool ofInterfaces;            // an interface-class set, else a set of device nodes
    Guid interfaceClass;
    std::vector<size_t> members;  // indexes into interfaces (or deviceNodes), snapshotted at creation
    std::map<DevInst, uint32_t> pendingInstallFunction;  // class-install parameters set per element
    std::map<DevInst, size_t> installReads;              // install-parameter reads since the change
  };
  struct Fault {
    Call call;
    uint64_t occurrence;  // absolute call number of that kind; 0: every call
    std::function<bool(const CallRecord&)> predicate;
    uint32_t error;
  };

  // Counts and logs the call; true when a fault applies (the caller then fails with lastError_).
  bool Enter(CallRecord record);
  Win32Bool Fail(uint32_t error);
  void SetError(uint32_t error);
  uintptr_t NewToken();
  const OpenFile* FileOf(Handle handle) const;
  HidCollection* HidOf(Handle handle);
  Boolean Transfer(Call call, Handle device, void* reportBuffer, uint32_t reportBufferLength);
  Win32Bool HubRequest(const std::u16string& hubName, uint32_t code, const uint8_t* in, uint32_t inSize, uint8_t* out,
                       uint32_t outSize, uint32_t* bytesReturned);
  // The device node of a set's element, checked against the set; null (and the error left) if none.
  DeviceNode* NodeOf(DeviceInfoSet set, const DeviceInfoData* deviceInfoData, OpenSet** openSet = nullptr);
  std::vector<std::u16string> ChildrenOf(std::u16string_view instanceId) const;
  Win32Bool ControllerRequest(const std::u16string& path, uint32_t code, uint8_t* out, uint32_t outSize,
                              uint32_t* bytesReturned);

  std::array<uint64_t, kCallCount> callCounts_{};
  std::vector<CallRecord> callLog_;
  std::vector<Fault> faults_;
  uint32_t lastError_ = 0;
  uintptr_t nextToken_ = 0x1000;
  std::map<uintptr_t, OpenFile> openFiles_;
  std::map<uintptr_t, OpenSet> openSets_;
  std::map<uintptr_t, size_t> openPreparsed_;  // token -> collection index
  std::map<void*, size_t> localMemory_;
  std::unordered_map<std::u16string, size_t> hidIndex_;  // folded path -> collection, rebuilt when stale
};

}  // namespace device_library::fake
