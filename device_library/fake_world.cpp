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
namespace dr = usb::descriptor_request;

constexpr const char* kCallNames[kCallCount] = {
    "CreateFileW",         "CloseHandle",           "DeviceIoControl",
    "CancelIo",            "LocalAlloc",            "LocalFree",
    "GetLastError",        "Sleep",                 "SetupDiGetClassDevsW",
    "SetupDiEnumDeviceInterfaces",                  "SetupDiGetDeviceInterfaceDetailW",
    "SetupDiDestroyDeviceInfoList",                 "SetupDiEnumDeviceInfo",
    "SetupDiGetDeviceRegistryPropertyW",            "SetupDiGetDeviceInstanceIdW",
    "SetupDiSetClassInstallParamsW",                "SetupDiCallClassInstaller",
    "SetupDiGetDeviceInstallParamsW",
    "HidD_GetHidGuid",     "HidD_GetAttributes",    "HidD_GetPreparsedData",
    "HidD_FreePreparsedData", "HidP_GetCaps",       "HidD_GetFeature",
    "HidD_SetFeature",     "HidD_GetInputReport",   "HidD_SetOutputReport",
    "CM_Get_Parent",       "CM_Get_Device_ID_Size", "CM_Get_Device_IDW",
    "CM_Get_Device_ID_List_SizeW",                  "CM_Get_Device_ID_ListW",
    "RegisterDeviceNotificationW",                  "UnregisterDeviceNotification"};

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

DeviceNode& FakeWorld::AddDeviceNode(const std::u16string& instanceId, const std::u16string& parent,
                                     const std::u16string& enumerator, const std::u16string& driverKey) {
  DeviceNode node;
  node.instanceId = instanceId;
  node.parent = parent;
  node.enumerator = enumerator;
  node.driverKey = driverKey;
  deviceNodes.push_back(std::move(node));
  return deviceNodes.back();
}

void FakeWorld::SetInterfaceDevice(const std::u16string& path, const std::u16string& instanceId) {
  for (DeviceInterface& entry : interfaces)
    if (entry.path == path) entry.deviceInstance = instanceId;
}

DeviceNode* FakeWorld::FindDeviceNode(std::u16string_view instanceId) {
  for (DeviceNode& node : deviceNodes)
    if (node.present && SameName(node.instanceId, instanceId)) return &node;
  return nullptr;
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

void FakeWorld::Sleep(uint32_t milliseconds) {
  Enter({Call::Sleep, {}, {milliseconds}});
  sleptMilliseconds += milliseconds;
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
  // A faulty driver may report more than the buffer holds; only the buffer is ever written.
  if (result && *bytesReturned > 0) std::memcpy(outBuffer, out.data(), std::min(*bytesReturned, outBufferSize));
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
    case usb::kIoctlGetDescriptorFromNodeConnection: {
      if (inSize < dr::kData || outSize < dr::kData) return Fail(kErrorInsufficientBuffer);
      const Port* port = portFor(&connectionIndex);
      if (port == nullptr) return Fail(kErrorInvalidParameter);
      if (port->connectionStatus != usb::kDeviceConnected) return Fail(kErrorGenFailure);
      if (in[dr::kRequestType] != 0x80 || in[dr::kRequest] != 6) return Fail(kErrorInvalidParameter);
      const uint16_t value = Load16(in, dr::kValue), index = Load16(in, dr::kIndex), length = Load16(in, dr::kLength);
      std::vector<uint8_t> descriptor;
      auto it = port->descriptors.find((uint32_t{value} << 16) | index);
      if (it != port->descriptors.end())
        descriptor = it->second;
      else if (value == 0x0100 && index == 0)
        descriptor.assign(port->deviceDescriptor.begin(), port->deviceDescriptor.end());
      else
        return Fail(kErrorGenFailure);  // the device stalls
      std::memcpy(out, in, dr::kData);  // the header comes back as it went out
      const size_t data = std::min<size_t>({descriptor.size(), length, outSize - dr::kData});
      std::memcpy(out + dr::kData, descriptor.data(), data);
      *bytesReturned = port->descriptorBytesReturned.value_or(static_cast<uint32_t>(dr::kData + data));
      return 1;
    }
    case usb::kIoctlGetNodeConnectionDriverKeyName: {
      if (outSize < cn::kSize) return Fail(kErrorInsufficientBuffer);
      const Port* port = portFor(&connectionIndex);
      if (port == nullptr) return Fail(kErrorInvalidParameter);
      if (port->connectionStatus != usb::kDeviceConnected || !port->answersDriverKey) return Fail(kErrorGenFailure);
      Store32(out, cn::kConnectionIndex, connectionIndex);
      *bytesReturned = WriteNameRecord(out, outSize, cn::kActualLength, cn::kName, port->driverKey);
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
  OpenSet set{};
  if ((flags & kDigcfDeviceInterface) != 0 && classGuid != nullptr) {
    set.ofInterfaces = true;
    set.interfaceClass = *classGuid;
    for (size_t i = 0; i < interfaces.size(); ++i)
      if (interfaces[i].interfaceClass == *classGuid) set.members.push_back(i);
  } else if ((flags & kDigcfAllClasses) != 0 && classGuid == nullptr) {
    // Every present node, or those of one enumerator.
    const std::u16string wanted = enumerator ? std::u16string(enumerator) : std::u16string();
    for (size_t i = 0; i < deviceNodes.size(); ++i)
      if (deviceNodes[i].present && (wanted.empty() || SameName(deviceNodes[i].enumerator, wanted)))
        set.members.push_back(i);
  } else {
    SetError(kErrorInvalidParameter);  // setup classes are not modelled
    return InvalidHandleValue();
  }
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
  if (!it->second.ofInterfaces || !(*interfaceClassGuid == it->second.interfaceClass) ||
      memberIndex >= it->second.members.size())
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

Win32Bool FakeWorld::SetupDiEnumDeviceInfo(DeviceInfoSet set, uint32_t memberIndex, DeviceInfoData* deviceInfoData) {
  if (Enter({Call::SetupDiEnumDeviceInfo, {}, {memberIndex, deviceInfoData ? deviceInfoData->cbSize : 0}})) return 0;
  auto it = openSets_.find(reinterpret_cast<uintptr_t>(set));
  if (it == openSets_.end()) return Fail(kErrorInvalidHandle);
  if (deviceInfoData == nullptr || deviceInfoData->cbSize != sizeof(DeviceInfoData))
    return Fail(kErrorInvalidUserBuffer);
  if (memberIndex >= it->second.members.size()) return Fail(kErrorNoMoreItems);
  const size_t member = it->second.members[memberIndex];
  DevInst devInst = static_cast<DevInst>(member + 1);
  if (it->second.ofInterfaces) {  // the node that exposes the interface; 0x7FFF0000 + n when none is known
    const DeviceInterface& entry = interfaces[member];
    devInst = 0x7FFF0000u + static_cast<DevInst>(member);
    for (size_t n = 0; n < deviceNodes.size(); ++n)
      if (!entry.deviceInstance.empty() && SameName(deviceNodes[n].instanceId, entry.deviceInstance))
        devInst = static_cast<DevInst>(n + 1);
  }
  deviceInfoData->ClassGuid = Guid{};
  deviceInfoData->DevInst = devInst;
  deviceInfoData->Reserved = memberIndex + 1;
  return 1;
}

DeviceNode* FakeWorld::NodeOf(DeviceInfoSet set, const DeviceInfoData* deviceInfoData, OpenSet** openSet) {
  auto it = openSets_.find(reinterpret_cast<uintptr_t>(set));
  if (it == openSets_.end()) {
    SetError(kErrorInvalidHandle);
    return nullptr;
  }
  if (deviceInfoData == nullptr || deviceInfoData->cbSize != sizeof(DeviceInfoData) ||
      deviceInfoData->DevInst == 0 || deviceInfoData->DevInst > deviceNodes.size()) {
    SetError(kErrorInvalidParameter);
    return nullptr;
  }
  if (openSet) *openSet = &it->second;
  return &deviceNodes[deviceInfoData->DevInst - 1];
}

Win32Bool FakeWorld::SetupDiGetDeviceRegistryPropertyW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                       uint32_t property, uint32_t* propertyRegDataType,
                                                       uint8_t* propertyBuffer, uint32_t propertyBufferSize,
                                                       uint32_t* requiredSize) {
  if (Enter({Call::SetupDiGetDeviceRegistryPropertyW,
             {},
             {property, propertyBufferSize, deviceInfoData ? deviceInfoData->DevInst : 0}}))
    return 0;
  DeviceNode* node = NodeOf(set, deviceInfoData);
  if (node == nullptr) return 0;
  std::u16string value;  // REG_SZ with its terminator, or REG_MULTI_SZ with its final empty string
  uint32_t type = 1;
  if (property == kSpdrpDriver) {
    if (node->driverKey.empty()) return Fail(kErrorInvalidData);
    value = node->driverKey;
    value += u'\0';
  } else if (property == kSpdrpHardwareId) {
    if (node->hardwareIds.empty()) return Fail(kErrorInvalidData);
    for (const std::u16string& id : node->hardwareIds) {
      value += id;
      value += u'\0';
    }
    value += u'\0';
    type = 7;
  } else {
    return Fail(kErrorInvalidData);
  }
  const uint32_t bytes = static_cast<uint32_t>(value.size() * 2);
  if (requiredSize) *requiredSize = bytes;
  if (propertyBuffer == nullptr && propertyBufferSize != 0) return Fail(kErrorInvalidUserBuffer);
  if (propertyBufferSize < bytes) return Fail(kErrorInsufficientBuffer);
  for (size_t i = 0; i < value.size(); ++i) Store16(propertyBuffer, i * 2, static_cast<uint16_t>(value[i]));
  if (propertyRegDataType) *propertyRegDataType = type;
  return 1;
}

Win32Bool FakeWorld::SetupDiGetDeviceInstanceIdW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                 char16_t* deviceInstanceId, uint32_t deviceInstanceIdSize,
                                                 uint32_t* requiredSize) {
  if (Enter({Call::SetupDiGetDeviceInstanceIdW,
             {},
             {deviceInstanceIdSize, deviceInfoData ? deviceInfoData->DevInst : 0}}))
    return 0;
  DeviceNode* node = NodeOf(set, deviceInfoData);
  if (node == nullptr) return 0;
  const uint32_t needed = static_cast<uint32_t>(node->instanceId.size() + 1);
  if (requiredSize) *requiredSize = needed;
  if (deviceInstanceId == nullptr || deviceInstanceIdSize < needed) return Fail(kErrorInsufficientBuffer);
  std::copy(node->instanceId.begin(), node->instanceId.end(), deviceInstanceId);
  deviceInstanceId[node->instanceId.size()] = u'\0';
  return 1;
}

Win32Bool FakeWorld::SetupDiSetClassInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                   ClassInstallHeader* classInstallParams,
                                                   uint32_t classInstallParamsSize) {
  if (Enter({Call::SetupDiSetClassInstallParamsW,
             {},
             {classInstallParamsSize, deviceInfoData ? deviceInfoData->DevInst : 0}}))
    return 0;
  OpenSet* openSet = nullptr;
  DeviceNode* node = NodeOf(set, deviceInfoData, &openSet);
  if (node == nullptr) return 0;
  if (classInstallParams == nullptr || classInstallParams->cbSize != sizeof(ClassInstallHeader))
    return Fail(kErrorInvalidUserBuffer);
  if (classInstallParams->InstallFunction != kDifPropertyChange || classInstallParamsSize != sizeof(PropChangeParams))
    return Fail(kErrorInvalidParameter);
  const auto* change = reinterpret_cast<const PropChangeParams*>(classInstallParams);
  if (change->StateChange != kDicsPropChange || change->Scope != kDicsFlagConfigSpecific || change->HwProfile != 0)
    return Fail(kErrorInvalidParameter);
  if (!node->acceptsPropertyChange) return Fail(kErrorInvalidParameter);
  openSet->pendingInstallFunction[deviceInfoData->DevInst] = kDifPropertyChange;
  return 1;
}

Win32Bool FakeWorld::SetupDiCallClassInstaller(uint32_t installFunction, DeviceInfoSet set,
                                               DeviceInfoData* deviceInfoData) {
  if (Enter({Call::SetupDiCallClassInstaller, {}, {installFunction, deviceInfoData ? deviceInfoData->DevInst : 0}}))
    return 0;
  OpenSet* openSet = nullptr;
  DeviceNode* node = NodeOf(set, deviceInfoData, &openSet);
  if (node == nullptr) return 0;
  auto pending = openSet->pendingInstallFunction.find(deviceInfoData->DevInst);
  if (pending == openSet->pendingInstallFunction.end() || pending->second != installFunction)
    return Fail(kErrorInvalidParameter);
  restartedDevices.push_back(node->instanceId);
  openSet->installReads[deviceInfoData->DevInst] = 0;
  return 1;
}

Win32Bool FakeWorld::SetupDiGetDeviceInstallParamsW(DeviceInfoSet set, DeviceInfoData* deviceInfoData,
                                                    DeviceInstallParamsW* deviceInstallParams) {
  if (Enter({Call::SetupDiGetDeviceInstallParamsW,
             {},
             {deviceInstallParams ? deviceInstallParams->cbSize : 0, deviceInfoData ? deviceInfoData->DevInst : 0}}))
    return 0;
  OpenSet* openSet = nullptr;
  DeviceNode* node = NodeOf(set, deviceInfoData, &openSet);
  if (node == nullptr) return 0;
  if (deviceInstallParams == nullptr || deviceInstallParams->cbSize != sizeof(DeviceInstallParamsW))
    return Fail(kErrorInvalidUserBuffer);
  uint32_t flags = 0;
  auto reads = openSet->installReads.find(deviceInfoData->DevInst);
  if (reads != openSet->installReads.end() && !node->installFlagsAfterChange.empty())
    flags = node->installFlagsAfterChange[std::min(reads->second++, node->installFlagsAfterChange.size() - 1)];
  *deviceInstallParams = DeviceInstallParamsW{};
  deviceInstallParams->cbSize = sizeof(DeviceInstallParamsW);
  deviceInstallParams->Flags = flags;
  return 1;
}

// ---------------------------------------------------------------- cfgmgr32

std::vector<std::u16string> FakeWorld::ChildrenOf(std::u16string_view instanceId) const {
  std::vector<std::u16string> children;
  for (const DeviceNode& node : deviceNodes)
    if (node.present && SameName(node.parent, instanceId)) children.push_back(node.instanceId);
  return children;
}

ConfigRet FakeWorld::CM_Get_Parent(DevInst* parent, DevInst devInst, uint32_t) {
  if (Enter({Call::CM_Get_Parent, {}, {devInst}})) return kCrNoSuchDevNode;
  if (parent == nullptr) return kCrInvalidPointer;
  if (devInst == 0 || devInst > deviceNodes.size()) return kCrInvalidDevNode;
  const std::u16string& parentId = deviceNodes[devInst - 1].parent;
  for (size_t n = 0; n < deviceNodes.size(); ++n)
    if (!parentId.empty() && SameName(deviceNodes[n].instanceId, parentId)) {
      *parent = static_cast<DevInst>(n + 1);
      return kCrSuccess;
    }
  return kCrNoSuchDevNode;
}

ConfigRet FakeWorld::CM_Get_Device_ID_Size(uint32_t* length, DevInst devInst, uint32_t) {
  if (Enter({Call::CM_Get_Device_ID_Size, {}, {devInst}})) return kCrInvalidDevNode;
  if (length == nullptr) return kCrInvalidPointer;
  if (devInst == 0 || devInst > deviceNodes.size()) return kCrInvalidDevNode;
  *length = static_cast<uint32_t>(deviceNodes[devInst - 1].instanceId.size());  // without the terminator
  return kCrSuccess;
}

ConfigRet FakeWorld::CM_Get_Device_IDW(DevInst devInst, char16_t* buffer, uint32_t bufferLength, uint32_t) {
  if (Enter({Call::CM_Get_Device_IDW, {}, {devInst, bufferLength}})) return kCrInvalidDevNode;
  if (buffer == nullptr) return kCrInvalidPointer;
  if (devInst == 0 || devInst > deviceNodes.size()) return kCrInvalidDevNode;
  const std::u16string& id = deviceNodes[devInst - 1].instanceId;
  if (bufferLength < id.size()) return kCrBufferSmall;
  std::copy(id.begin(), id.end(), buffer);
  if (bufferLength > id.size()) buffer[id.size()] = u'\0';  // a buffer of exactly the length gets no terminator
  return kCrSuccess;
}

ConfigRet FakeWorld::CM_Get_Device_ID_List_SizeW(uint32_t* length, const char16_t* filter, uint32_t flags) {
  const std::u16string id = filter ? std::u16string(filter) : std::u16string();
  if (Enter({Call::CM_Get_Device_ID_List_SizeW, id, {flags}})) return kCrInvalidPointer;
  if (length == nullptr) return kCrInvalidPointer;
  if (listSizeLeavesLength) return kCrSuccess;  // Wine's stub
  if (flags != kCmGetIdListFilterBusRelations || FindDeviceNode(id) == nullptr) return kCrNoSuchDeviceInstance;
  uint32_t units = 1;  // the closing empty string
  for (const std::u16string& child : ChildrenOf(id)) units += static_cast<uint32_t>(child.size() + 1);
  *length = units;
  return kCrSuccess;
}

ConfigRet FakeWorld::CM_Get_Device_ID_ListW(const char16_t* filter, char16_t* buffer, uint32_t bufferLength,
                                            uint32_t flags) {
  const std::u16string id = filter ? std::u16string(filter) : std::u16string();
  if (Enter({Call::CM_Get_Device_ID_ListW, id, {flags, bufferLength}})) return kCrInvalidPointer;
  if (buffer == nullptr || bufferLength == 0) return kCrInvalidPointer;
  if (flags != kCmGetIdListFilterBusRelations || FindDeviceNode(id) == nullptr) return kCrNoSuchDeviceInstance;
  std::u16string list;
  for (const std::u16string& child : ChildrenOf(id)) {
    list += child;
    list += u'\0';
  }
  list += u'\0';
  if (bufferLength < list.size()) return kCrBufferSmall;
  std::copy(list.begin(), list.end(), buffer);
  return kCrSuccess;
}

// ---------------------------------------------------------------- user32

void* FakeWorld::RegisterDeviceNotificationW(Handle recipient, void* notificationFilter, uint32_t flags) {
  const auto* filter = static_cast<const uint8_t*>(notificationFilter);
  const uint32_t size = filter ? Load32(filter, 0) : 0;
  const uint32_t type = filter ? Load32(filter, 4) : 0;
  if (Enter({Call::RegisterDeviceNotificationW, {}, {flags, size, type}})) return nullptr;
  if (recipient == nullptr || filter == nullptr || flags != kDeviceNotifyWindowHandle) {
    SetError(kErrorInvalidParameter);
    return nullptr;
  }
  // Windows takes a record no smaller than its own type's.
  const bool known = (type == kDbtDevtypDeviceInterface && size >= sizeof(DevBroadcastDeviceInterfaceW)) ||
                     (type == kDbtDevtypHandle && size >= sizeof(DevBroadcastHandle));
  if (!known) {
    SetError(kErrorInvalidData);
    return nullptr;
  }
  registrations.push_back(Registration{recipient, {filter, filter + size}, flags, true});
  return reinterpret_cast<void*>(uintptr_t{0x70000} + registrations.size() * 8);
}

Win32Bool FakeWorld::UnregisterDeviceNotification(void* notification) {
  if (Enter({Call::UnregisterDeviceNotification, {}, {}})) return 0;
  const uintptr_t token = reinterpret_cast<uintptr_t>(notification);
  const size_t number = token >= 0x70008 && token % 8 == 0 ? (token - 0x70000) / 8 : 0;
  if (number == 0 || number > registrations.size() || !registrations[number - 1].active)
    return Fail(kErrorInvalidHandle);
  registrations[number - 1].active = false;
  return 1;
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
