// The fake world's answers. Each Platform method: log and count the call, apply an injected
// fault, then answer from the model as Windows would, record for record.
#include "device_library/fake_world.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace device_library::fake {

namespace {

namespace ci = usb::connection_information;
namespace cn = usb::connection_name;
namespace ni = usb::node_information;
namespace rhn = usb::root_hub_name;
namespace dd = usb::device_descriptor;

constexpr const char* kCallNames[kCallCount] = {
    "CreateFileW",         "CloseHandle",           "DeviceIoControl",
    "CancelIo",            "LocalAlloc",            "LocalFree",
    "GetLastError",        "SetupDiGetClassDevsW",  "SetupDiEnumDeviceInterfaces",
    "SetupDiGetDeviceInterfaceDetailW",             "SetupDiDestroyDeviceInfoList",
    "HidD_GetHidGuid",     "HidD_GetAttributes",    "HidD_GetPreparsedData",
    "HidD_FreePreparsedData", "HidP_GetCaps",       "HidD_GetFeature",
    "HidD_SetFeature",     "HidD_GetInputReport",   "HidD_SetOutputReport"};

// Windows compares device names without regard to case.
char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }
std::u16string Folded(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) c = Fold(c);
  return folded;
}
bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

constexpr std::u16string_view kDevicePrefix = u"\\\\.\\";

// Writes ActualLength and as much of the name (with its terminator) as the record has room for.
uint32_t WriteNameRecord(uint8_t* out, uint32_t outSize, size_t lengthOffset, size_t nameOffset,
                         const std::u16string& name) {
  const uint32_t actualLength = static_cast<uint32_t>(nameOffset + (name.size() + 1) * 2);
  Store32(out, lengthOffset, actualLength);
  const size_t room = (outSize - nameOffset) / 2;
  for (size_t i = 0; i < room && i <= name.size(); ++i)
    Store16(out, nameOffset + i * 2, i < name.size() ? static_cast<uint16_t>(name[i]) : 0);
  return std::min(actualLength, outSize);
}

}  // namespace

const char* CallName(Call call) { return kCallNames[static_cast<size_t>(call)]; }

bool CallFromName(const std::string& name, Call* call) {
  for (size_t i = 0; i < kCallCount; ++i)
    if (name == kCallNames[i]) {
      *call = static_cast<Call>(i);
      return true;
    }
  return false;
}

std::array<uint8_t, 18> MakeDeviceDescriptor(uint16_t vid, uint16_t pid, uint16_t bcdDevice, uint8_t deviceClass) {
  std::array<uint8_t, 18> d{};
  d[dd::kLength] = 18;
  d[dd::kDescriptorType] = 1;
  Store16(d.data(), dd::kBcdUsb, 0x0200);
  d[dd::kDeviceClass] = deviceClass;
  d[dd::kMaxPacketSize0] = 64;
  Store16(d.data(), dd::kIdVendor, vid);
  Store16(d.data(), dd::kIdProduct, pid);
  Store16(d.data(), dd::kBcdDevice, bcdDevice);
  d[dd::kNumConfigurations] = 1;
  return d;
}

FakeWorld::~FakeWorld() {
  for (auto& [memory, size] : localMemory_) std::free(memory);
}

// ---------------------------------------------------------------- model helpers

size_t FakeWorld::AddHostController(const std::u16string& rootHubName, int legacyNumber,
                                    const std::u16string& interfacePath, size_t rootPorts) {
  const size_t index = hostControllers.size();
  hostControllers.push_back(HostController{rootHubName});
  if (legacyNumber >= 0) {
    std::u16string name(kDevicePrefix);
    name += u"HCD";
    for (char c : std::to_string(legacyNumber)) name += static_cast<char16_t>(c);
    legacyControllerNames[name] = index;
  }
  if (!interfacePath.empty()) {
    controllerInterfaces[interfacePath] = index;
    interfaces.push_back(DeviceInterface{kUsbHostControllerInterfaceClass, interfacePath});
  }
  AddHub(rootHubName, rootPorts);
  return index;
}

Hub& FakeWorld::AddHub(const std::u16string& name, size_t portCount) {
  Hub& hub = hubs[name];
  hub.ports.resize(portCount);
  return hub;
}

Port& FakeWorld::PortAt(const std::u16string& hubName, uint32_t connectionIndex) {
  return hubs.at(hubName).ports.at(connectionIndex - 1);
}

Port& FakeWorld::AttachDevice(const std::u16string& hubName, uint32_t connectionIndex, uint16_t vid, uint16_t pid,
                              uint16_t bcdDevice) {
  Port& port = PortAt(hubName, connectionIndex);
  port.connectionStatus = usb::kDeviceConnected;
  port.deviceDescriptor = MakeDeviceDescriptor(vid, pid, bcdDevice);
  port.attachedHub.clear();
  port.deviceAddress = static_cast<uint16_t>(connectionIndex + 1);
  port.openPipes = 1;
  return port;
}

Hub& FakeWorld::AttachHub(const std::u16string& hubName, uint32_t connectionIndex, const std::u16string& childHubName,
                          size_t childPortCount) {
  Port& port = PortAt(hubName, connectionIndex);
  port.connectionStatus = usb::kDeviceConnected;
  port.deviceDescriptor = MakeDeviceDescriptor(0x05E3, 0x0608, 0x0100, 9);  // a hub's class is 9
  port.attachedHub = childHubName;
  port.deviceAddress = static_cast<uint16_t>(connectionIndex + 1);
  port.openPipes = 1;
  return AddHub(childHubName, childPortCount);
}

HidCollection& FakeWorld::AddHidCollection(const std::u16string& path, uint16_t vid, uint16_t pid, uint16_t usagePage,
                                           uint16_t usage) {
  HidCollection collection;
  collection.path = path;
  collection.vid = vid;
  collection.pid = pid;
  collection.usagePage = usagePage;
  collection.usage = usage;
  collection.inputReportLength = 8;
  hidCollections.push_back(std::move(collection));
  interfaces.push_back(DeviceInterface{kHidInterfaceClass, path});
  return hidCollections.back();
}

// An index by folded path keeps the fake linear in big worlds. The model is public and may change
// at any time, so a hit is checked against the model, and a miss is confirmed by a plain scan,
// which rebuilds the index when it finds the path after all.
HidCollection* FakeWorld::FindHidCollection(const std::u16string& path) {
  auto it = hidIndex_.find(Folded(path));
  if (it != hidIndex_.end() && it->second < hidCollections.size() && SameName(hidCollections[it->second].path, path))
    return &hidCollections[it->second];
  for (size_t i = 0; i < hidCollections.size(); ++i)
    if (SameName(hidCollections[i].path, path)) {
      hidIndex_.clear();
      for (size_t j = 0; j < hidCollections.size(); ++j) hidIndex_.emplace(Folded(hidCollections[j].path), j);
      return &hidCollections[i];
    }
  return nullptr;
}

// ---------------------------------------------------------------- observation, faults

Outstanding FakeWorld::Open() const {
  return Outstanding{static_cast<int>(openFiles_.size()), static_cast<int>(openSets_.size()),
                     static_cast<int>(openPreparsed_.size()), static_cast<int>(localMemory_.size())};
}

uint64_t FakeWorld::TotalCalls() const {
  uint64_t total = 0;
  for (uint64_t count : callCounts_) total += count;
  return total;
}

std::vector<CallRecord> FakeWorld::CallsOf(Call call) const {
  std::vector<CallRecord> calls;
  for (const CallRecord& record : callLog_)
    if (record.call == call) calls.push_back(record);
  return calls;
}

void FakeWorld::ResetCounters() {
  callCounts_.fill(0);
  callLog_.clear();
}

void FakeWorld::FailNth(Call call, uint64_t occurrence, uint32_t error) {
  faults_.push_back(Fault{call, callCounts_[static_cast<size_t>(call)] + occurrence, nullptr, error});
}
void FakeWorld::FailAlways(Call call, uint32_t error) { faults_.push_back(Fault{call, 0, nullptr, error}); }
void FakeWorld::FailWhen(std::function<bool(const CallRecord&)> predicate, uint32_t error) {
  faults_.push_back(Fault{Call::Count, 0, std::move(predicate), error});
}
void FakeWorld::ClearFaults() { faults_.clear(); }

bool FakeWorld::Enter(CallRecord record) {
  const uint64_t number = ++callCounts_[static_cast<size_t>(record.call)];
  bool fails = false;
  for (const Fault& fault : faults_) {
    const bool applies = fault.predicate ? fault.predicate(record)
                                         : fault.call == record.call && (fault.occurrence == 0 || fault.occurrence == number);
    if (applies) {
      SetError(fault.error);
      fails = true;
      break;
    }
  }
  if (logCalls) callLog_.push_back(std::move(record));
  return fails;
}

Win32Bool FakeWorld::Fail(uint32_t error) {
  SetError(error);
  return 0;
}

void FakeWorld::SetError(uint32_t error) {
  lastError_ = error;
  if (lastErrorSink) lastErrorSink(error);
}

uintptr_t FakeWorld::NewToken() {
  nextToken_ += 4;
  return nextToken_;
}

const FakeWorld::OpenFile* FakeWorld::FileOf(Handle handle) const {
  auto it = openFiles_.find(reinterpret_cast<uintptr_t>(handle));
  return it == openFiles_.end() ? nullptr : &it->second;
}

HidCollection* FakeWorld::HidOf(Handle handle) {
  const OpenFile* file = FileOf(handle);
  if (file == nullptr || file->target != Target::HidCollection) return nullptr;
  if (file->collection < hidCollections.size() && hidCollections[file->collection].path == file->key)
    return &hidCollections[file->collection];
  return FindHidCollection(file->key);
}

// ---------------------------------------------------------------- kernel32

Handle FakeWorld::CreateFileW(const char16_t* fileName, uint32_t desiredAccess, uint32_t shareMode, void*,
                              uint32_t creationDisposition, uint32_t flagsAndAttributes, Handle) {
  const std::u16string name = fileName ? std::u16string(fileName) : std::u16string();
  if (Enter({Call::CreateFileW, name, {desiredAccess, shareMode, creationDisposition, flagsAndAttributes}}))
    return InvalidHandleValue();
  auto opened = [&](Target target, const std::u16string& key, size_t collection = 0) {
    const uintptr_t token = NewToken();
    openFiles_[token] = OpenFile{target, key, collection, desiredAccess, flagsAndAttributes};
    return reinterpret_cast<Handle>(token);
  };
  auto notFound = [&] {
    SetError(kErrorFileNotFound);
    return InvalidHandleValue();
  };
  if (creationDisposition != kOpenExisting) return notFound();

  for (const auto& [path, index] : legacyControllerNames)
    if (SameName(path, name)) return hostControllers[index].opens ? opened(Target::HostController, path) : notFound();
  for (const auto& [path, index] : controllerInterfaces)
    if (SameName(path, name)) return hostControllers[index].opens ? opened(Target::HostController, path) : notFound();
  if (name.starts_with(kDevicePrefix)) {
    const std::u16string_view hubName = std::u16string_view(name).substr(kDevicePrefix.size());
    for (const auto& [key, hub] : hubs)
      if (SameName(key, hubName)) return hub.opens ? opened(Target::Hub, key) : notFound();
  }
  if (HidCollection* collection = FindHidCollection(name)) {
    if (!collection->opens) return notFound();
    if ((desiredAccess & (kGenericRead | kGenericWrite)) != 0 && !collection->opensForReadWrite) {
      SetError(kErrorAccessDenied);
      return InvalidHandleValue();
    }
    return opened(Target::HidCollection, collection->path, static_cast<size_t>(collection - hidCollections.data()));
  }
  return notFound();
}

Win32Bool FakeWorld::CloseHandle(Handle object) {
  if (Enter({Call::CloseHandle, {}, {}})) return 0;
  if (openFiles_.erase(reinterpret_cast<uintptr_t>(object)) == 0) return Fail(kErrorInvalidHandle);
  return 1;
}

Win32Bool FakeWorld::CancelIo(Handle file) {
  if (Enter({Call::CancelIo, {}, {}})) return 0;
  return FileOf(file) ? 1 : Fail(kErrorInvalidHandle);
}

void* FakeWorld::LocalAlloc(uint32_t flags, size_t bytes) {
  if (Enter({Call::LocalAlloc, {}, {flags, static_cast<uint32_t>(bytes)}})) return nullptr;
  void* memory = std::malloc(std::max<size_t>(bytes, 1));
  if (memory == nullptr) {
    SetError(kErrorNotEnoughMemory);
    return nullptr;
  }
  // Fresh memory that nobody initialised reads as 0xCD, so a reader of unset bytes shows.
  std::memset(memory, (flags & kLmemZeroInit) ? 0x00 : 0xCD, std::max<size_t>(bytes, 1));
  localMemory_[memory] = bytes;
  return memory;
}

void* FakeWorld::LocalFree(void* memory) {
  if (Enter({Call::LocalFree, {}, {}})) return memory;
  auto it = localMemory_.find(memory);
  if (it == localMemory_.end()) {
    SetError(kErrorInvalidHandle);
    return memory;
  }
  std::free(memory);
  localMemory_.erase(it);
  return nullptr;
}

uint32_t FakeWorld::GetLastError() {
  Enter({Call::GetLastError, {}, {}});
  return lastError_;
}

Win32Bool FakeWorld::DeviceIoControl(Handle device, uint32_t ioControlCode, void* inBuffer, uint32_t inBufferSize,
                                     void* outBuffer, uint32_t outBufferSize, uint32_t* bytesReturned, void*) {
  const uint32_t inIndex = (inBuffer && inBufferSize >= 4) ? Load32(inBuffer, 0) : 0;
  if (Enter({Call::DeviceIoControl, {}, {ioControlCode, inBufferSize, outBufferSize, inIndex}})) return 0;
  const OpenFile* file = FileOf(device);
  if (file == nullptr) return Fail(kErrorInvalidHandle);
  if (bytesReturned == nullptr) return Fail(kErrorInvalidParameter);  // required without an overlapped structure
  *bytesReturned = 0;
  if (outBuffer == nullptr && outBufferSize != 0) return Fail(kErrorInvalidParameter);
  // METHOD_BUFFERED: the driver sees a copy of the input and writes into a system buffer.
  std::vector<uint8_t> in(static_cast<const uint8_t*>(inBuffer), static_cast<const uint8_t*>(inBuffer) + (inBuffer ? inBufferSize : 0));
  std::vector<uint8_t> out(outBufferSize, 0);
  Win32Bool result = 0;
  switch (file->target) {
    case Target::HostController:
      result = ControllerRequest(file->key, ioControlCode, out.data(), outBufferSize, bytesReturned);
      break;
    case Target::Hub:
      result = HubRequest(file->key, ioControlCode, in.data(), static_cast<uint32_t>(in.size()), out.data(),
                          outBufferSize, bytesReturned);
      break;
    case Target::HidCollection:
      result = Fail(kErrorInvalidFunction);
      break;
  }
  if (result && *bytesReturned > 0) std::memcpy(outBuffer, out.data(), *bytesReturned);
  return result;
}

Win32Bool FakeWorld::ControllerRequest(const std::u16string& path, uint32_t code, uint8_t* out, uint32_t outSize,
                                       uint32_t* bytesReturned) {
  if (code != usb::kIoctlGetRootHubName) return Fail(kErrorInvalidFunction);
  auto legacy = legacyControllerNames.find(path);
  const size_t index = legacy != legacyControllerNames.end() ? legacy->second : controllerInterfaces.at(path);
  const HostController& controller = hostControllers[index];
  if (!controller.answersRootHubName) return Fail(kErrorGenFailure);
  if (outSize < rhn::kSize) return Fail(kErrorInvalidParameter);
  *bytesReturned = WriteNameRecord(out, outSize, rhn::kActualLength, rhn::kName, controller.rootHubName);
  return 1;
}

Win32Bool FakeWorld::HubRequest(const std::u16string& hubName, uint32_t code, const uint8_t* in, uint32_t inSize,
                                uint8_t* out, uint32_t outSize, uint32_t* bytesReturned) {
  const Hub& hub = hubs.at(hubName);
  auto portFor = [&](uint32_t* connectionIndex) -> const Port* {
    if (inSize < 4) return nullptr;
    *connectionIndex = Load32(in, 0);
    if (*connectionIndex == 0 || *connectionIndex > hub.ports.size()) return nullptr;
    return &hub.ports[*connectionIndex - 1];
  };
  uint32_t connectionIndex = 0;

  switch (code) {
    case usb::kIoctlGetNodeInformation: {
      if (!hub.answersNodeInformation) return Fail(kErrorGenFailure);
      if (inSize < ni::kSize || outSize < ni::kSize) return Fail(kErrorInsufficientBuffer);
      out[ni::kNodeType] = 0;  // UsbHub
      out[ni::kDescriptorLength] = 9;
      out[ni::kDescriptorType] = 0x29;
      out[ni::kNumberOfPorts] = static_cast<uint8_t>(hub.ports.size());
      Store16(out, ni::kHubCharacteristics, 0x0009);
      out[ni::kPowerOnToPowerGood] = 50;
      out[ni::kHubControlCurrent] = 100;
      out[ni::kHubIsBusPowered] = 0;
      *bytesReturned = ni::kSize;
      return 1;
    }
    case usb::kIoctlGetNodeConnectionInformationEx:
    case usb::kIoctlGetNodeConnectionInformation: {
      const bool newer = code == usb::kIoctlGetNodeConnectionInformationEx;
      if (newer && hub.rejectsConnectionInformationEx) return Fail(kErrorInvalidFunction);
      if (outSize < ci::kFixedSize) return Fail(kErrorInsufficientBuffer);
      const Port* port = portFor(&connectionIndex);
      if (port == nullptr) return Fail(kErrorInvalidParameter);
      if (!port->answersConnectionInformation) return Fail(kErrorGenFailure);
      Store32(out, ci::kConnectionIndex, connectionIndex);
      std::memcpy(out + ci::kDeviceDescriptor, port->deviceDescriptor.data(), dd::kSize);
      out[ci::kCurrentConfigurationValue] = port->connectionStatus == usb::kDeviceConnected ? 1 : 0;
      out[ci::kSpeed] = newer ? port->speed : (port->speed == 0 ? 1 : 0);  // the older record: LowSpeed
      out[ci::kDeviceIsHub] = port->attachedHub.empty() ? 0 : 1;
      Store16(out, ci::kDeviceAddress, port->deviceAddress);
      const uint32_t pipes = std::min<uint32_t>(port->openPipes, (outSize - ci::kFixedSize) / ci::kPipeInfoSize);
      Store32(out, ci::kNumberOfOpenPipes, pipes);
      Store32(out, ci::kConnectionStatus, port->connectionStatus);
      for (uint32_t pipe = 0; pipe < pipes; ++pipe) {
        uint8_t* entry = out + ci::kPipeList + pipe * ci::kPipeInfoSize;  // an interrupt-in endpoint descriptor
        entry[0] = 7;
        entry[1] = 5;
        entry[2] = static_cast<uint8_t>(0x81 + pipe);
        entry[3] = 3;
        Store16(entry, 4, 8);
        entry[6] = 10;
      }
      *bytesReturned = static_cast<uint32_t>(ci::kFixedSize + pipes * ci::kPipeInfoSize);
      return 1;
    }
    case usb::kIoctlGetNodeConnectionName: {
      if (outSize < cn::kSize) return Fail(kErrorInsufficientBuffer);
      const Port* port = portFor(&connectionIndex);
      if (port == nullptr) return Fail(kErrorInvalidParameter);
      if (!port->answersConnectionName) return Fail(kErrorGenFailure);
      Store32(out, cn::kConnectionIndex, connectionIndex);
      *bytesReturned = WriteNameRecord(out, outSize, cn::kActualLength, cn::kName, port->attachedHub);
      return 1;
    }
    default:
      return Fail(kErrorInvalidFunction);
  }
}

// ---------------------------------------------------------------- setupapi

DeviceInfoSet FakeWorld::SetupDiGetClassDevsW(const Guid* classGuid, const char16_t* enumerator, void*,
                                              uint32_t flags) {
  if (Enter({Call::SetupDiGetClassDevsW, enumerator ? std::u16string(enumerator) : std::u16string(),
             {flags, classGuid ? classGuid->Data1 : 0}}))
    return InvalidHandleValue();
  // Only interface-class sets are modelled so far; a device-node model adds the rest.
  if ((flags & kDigcfDeviceInterface) == 0 || classGuid == nullptr) {
    SetError(kErrorInvalidParameter);
    return InvalidHandleValue();
  }
  OpenSet set{*classGuid, {}};
  for (size_t i = 0; i < interfaces.size(); ++i)
    if (interfaces[i].interfaceClass == *classGuid) set.members.push_back(i);
  const uintptr_t token = NewToken();
  openSets_[token] = std::move(set);
  return reinterpret_cast<DeviceInfoSet>(token);
}

Win32Bool FakeWorld::SetupDiEnumDeviceInterfaces(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                 const Guid* interfaceClassGuid, uint32_t memberIndex,
                                                 DeviceInterfaceData* deviceInterfaceData) {
  if (Enter({Call::SetupDiEnumDeviceInterfaces,
             {},
             {memberIndex, deviceInterfaceData ? deviceInterfaceData->cbSize : 0}}))
    return 0;
  auto it = openSets_.find(reinterpret_cast<uintptr_t>(set));
  if (it == openSets_.end()) return Fail(kErrorInvalidHandle);
  if (deviceInfoData != nullptr || interfaceClassGuid == nullptr) return Fail(kErrorInvalidParameter);
  if (deviceInterfaceData == nullptr || deviceInterfaceData->cbSize != sizeof(DeviceInterfaceData))
    return Fail(kErrorInvalidUserBuffer);
  if (!(*interfaceClassGuid == it->second.interfaceClass) || memberIndex >= it->second.members.size())
    return Fail(kErrorNoMoreItems);
  deviceInterfaceData->InterfaceClassGuid = *interfaceClassGuid;
  deviceInterfaceData->Flags = kSpintActive;
  deviceInterfaceData->Reserved = it->second.members[memberIndex] + 1;
  return 1;
}

Win32Bool FakeWorld::SetupDiGetDeviceInterfaceDetailW(DeviceInfoSet set, DeviceInterfaceData* deviceInterfaceData,
                                                      DeviceInterfaceDetailDataW* detail, uint32_t detailSize,
                                                      uint32_t* requiredSize, DeviceInfoData* deviceInfoData) {
  if (Enter({Call::SetupDiGetDeviceInterfaceDetailW, {}, {detailSize, detail ? detail->cbSize : 0}})) return 0;
  auto it = openSets_.find(reinterpret_cast<uintptr_t>(set));
  if (it == openSets_.end()) return Fail(kErrorInvalidHandle);
  if (deviceInfoData != nullptr) return Fail(kErrorInvalidParameter);
  if (deviceInterfaceData == nullptr || deviceInterfaceData->cbSize != sizeof(DeviceInterfaceData) ||
      deviceInterfaceData->Reserved == 0 || deviceInterfaceData->Reserved > interfaces.size())
    return Fail(kErrorInvalidParameter);
  const DeviceInterface& entry = interfaces[deviceInterfaceData->Reserved - 1];
  const uint32_t needed = static_cast<uint32_t>(kDetailPathOffset + (entry.path.size() + 1) * 2);
  if (detail == nullptr) {
    if (detailSize != 0) return Fail(kErrorInvalidUserBuffer);
    if (requiredSize) *requiredSize = needed;
    return Fail(kErrorInsufficientBuffer);
  }
  if (detail->cbSize != sizeof(DeviceInterfaceDetailDataW)) return Fail(kErrorInvalidUserBuffer);
  if (detailSize < needed) {
    if (requiredSize) *requiredSize = needed;
    return Fail(kErrorInsufficientBuffer);
  }
  if (!entry.detailReadable) return Fail(kErrorGenFailure);
  auto* bytes = reinterpret_cast<uint8_t*>(detail);
  for (size_t i = 0; i <= entry.path.size(); ++i)
    Store16(bytes, kDetailPathOffset + i * 2, i < entry.path.size() ? static_cast<uint16_t>(entry.path[i]) : 0);
  if (requiredSize) *requiredSize = needed;
  return 1;
}

Win32Bool FakeWorld::SetupDiDestroyDeviceInfoList(DeviceInfoSet set) {
  if (Enter({Call::SetupDiDestroyDeviceInfoList, {}, {}})) return 0;
  return openSets_.erase(reinterpret_cast<uintptr_t>(set)) ? 1 : Fail(kErrorInvalidHandle);
}

// ---------------------------------------------------------------- hid

void FakeWorld::HidD_GetHidGuid(Guid* hidGuid) {
  if (Enter({Call::HidD_GetHidGuid, {}, {}})) return;  // an injected fault leaves the output as it was
  *hidGuid = kHidInterfaceClass;
}

Boolean FakeWorld::HidD_GetAttributes(Handle device, HidAttributes* attributes) {
  if (Enter({Call::HidD_GetAttributes, {}, {}})) return 0;
  HidCollection* collection = HidOf(device);
  if (collection == nullptr) return static_cast<Boolean>(Fail(kErrorInvalidHandle));
  if (!collection->answersAttributes) return static_cast<Boolean>(Fail(kErrorGenFailure));
  attributes->Size = sizeof(HidAttributes);
  attributes->VendorID = collection->vid;
  attributes->ProductID = collection->pid;
  attributes->VersionNumber = collection->version;
  return 1;
}

Boolean FakeWorld::HidD_GetPreparsedData(Handle device, PreparsedData* preparsedData) {
  if (Enter({Call::HidD_GetPreparsedData, {}, {}})) return 0;
  HidCollection* collection = HidOf(device);
  if (collection == nullptr) return static_cast<Boolean>(Fail(kErrorInvalidHandle));
  if (!collection->answersPreparsedData) return static_cast<Boolean>(Fail(kErrorGenFailure));
  const uintptr_t token = NewToken();
  openPreparsed_[token] = static_cast<size_t>(collection - hidCollections.data());
  *preparsedData = reinterpret_cast<PreparsedData>(token);
  return 1;
}

Boolean FakeWorld::HidD_FreePreparsedData(PreparsedData preparsedData) {
  if (Enter({Call::HidD_FreePreparsedData, {}, {}})) return 0;
  return openPreparsed_.erase(reinterpret_cast<uintptr_t>(preparsedData)) ? 1
                                                                          : static_cast<Boolean>(Fail(kErrorInvalidHandle));
}

NtStatus FakeWorld::HidP_GetCaps(PreparsedData preparsedData, HidpCaps* capabilities) {
  if (Enter({Call::HidP_GetCaps, {}, {}})) return kHidpStatusInvalidPreparsedData;
  auto it = openPreparsed_.find(reinterpret_cast<uintptr_t>(preparsedData));
  if (it == openPreparsed_.end() || it->second >= hidCollections.size()) return kHidpStatusInvalidPreparsedData;
  const HidCollection& collection = hidCollections[it->second];
  if (!collection.answersCaps) return kHidpStatusInvalidPreparsedData;
  *capabilities = HidpCaps{};
  capabilities->Usage = collection.usage;
  capabilities->UsagePage = collection.usagePage;
  capabilities->InputReportByteLength = collection.inputReportLength;
  capabilities->OutputReportByteLength = collection.outputReportLength;
  capabilities->FeatureReportByteLength = collection.featureReportLength;
  capabilities->NumberLinkCollectionNodes = 1;
  return kHidpStatusSuccess;
}

Boolean FakeWorld::Transfer(Call call, Handle device, void* reportBuffer, uint32_t reportBufferLength) {
  if (Enter({call, {}, {reportBufferLength}})) return 0;
  HidCollection* collection = HidOf(device);
  if (collection == nullptr) return static_cast<Boolean>(Fail(kErrorInvalidHandle));
  if (reportBuffer == nullptr || reportBufferLength == 0) return static_cast<Boolean>(Fail(kErrorInvalidParameter));
  auto* bytes = static_cast<uint8_t*>(reportBuffer);
  const bool sets = call == Call::HidD_SetFeature || call == Call::HidD_SetOutputReport;
  if (sets) reportTransfers.push_back(ReportTransfer{call, collection->path, {bytes, bytes + reportBufferLength}, false});
  if (!collection->acceptsReports) return static_cast<Boolean>(Fail(kErrorGenFailure));

  // The HID class wants exactly the collection's report length for the kind of report.
  const bool feature = call == Call::HidD_SetFeature || call == Call::HidD_GetFeature;
  const uint16_t expected = feature ? collection->featureReportLength
                            : call == Call::HidD_SetOutputReport ? collection->outputReportLength
                                                                 : collection->inputReportLength;
  if (expected == 0 || reportBufferLength != expected) return static_cast<Boolean>(Fail(kErrorInvalidParameter));
  if (sets) {
    reportTransfers.back().accepted = true;
    return 1;
  }
  const auto& answers = feature ? collection->featureReports : collection->inputReports;
  auto answer = answers.find(bytes[0]);
  if (answer == answers.end()) return static_cast<Boolean>(Fail(kErrorInvalidParameter));
  std::memset(bytes, 0, reportBufferLength);
  std::memcpy(bytes, answer->second.data(), std::min<size_t>(answer->second.size(), reportBufferLength));
  return 1;
}

Boolean FakeWorld::HidD_GetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) {
  return Transfer(Call::HidD_GetFeature, device, reportBuffer, reportBufferLength);
}
Boolean FakeWorld::HidD_SetFeature(Handle device, void* reportBuffer, uint32_t reportBufferLength) {
  return Transfer(Call::HidD_SetFeature, device, reportBuffer, reportBufferLength);
}
Boolean FakeWorld::HidD_GetInputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) {
  return Transfer(Call::HidD_GetInputReport, device, reportBuffer, reportBufferLength);
}
Boolean FakeWorld::HidD_SetOutputReport(Handle device, void* reportBuffer, uint32_t reportBufferLength) {
  return Transfer(Call::HidD_SetOutputReport, device, reportBuffer, reportBufferLength);
}

}  // namespace device_library::fake
