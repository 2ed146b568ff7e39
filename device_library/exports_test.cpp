// The export boundary under failure: every platform call of a walk, a search and a transfer is
// made to fail in turn, and made to throw in turn; each time the export returns a failure value
// or a smaller count, writes nothing it should not, and leaves nothing open.
#include <new>

#include "device_library/device_library.h"
#include "device_library/fake_world_scenarios.h"
#include "device_library/test_support.h"
#include "device_library/correlation_test_world.h"
#include "device_library/usb_test_world.h"

namespace device_library::fake {
namespace {

struct Operation {
  const char* name;
  void (*shape)(FakeWorld&);
  int32_t (*run)();  // the export's result as a number
};
void PrintTo(const Operation& o, std::ostream* os) { *os << o.name; }

const std::u16string kVendorPath = HidPath(kBridgeVendor, kBridgeMousePid, 1, 2, 1);

void ShapeBridgeWorld(FakeWorld& world) { BuildScenario(u"bridge_two_mice", world); }

// Releases run in destructors, where nothing may throw (nor does any Win32 function).
bool IsRelease(Call call) {
  return call == Call::CloseHandle || call == Call::LocalFree || call == Call::SetupDiDestroyDeviceInfoList ||
         call == Call::HidD_FreePreparsedData;
}

void ShapeResetWorld(FakeWorld& world) {
  world.AddDeviceNode(u"USB\\VID_1234&PID_0001\\1", u"", u"USB").hardwareIds = {u"USB\\Vid_1234&Pid_0001"};
  world.AddDeviceNode(u"USB\\VID_09DA&PID_1234\\2", u"", u"USB").hardwareIds = {u"USB\\Vid_09da&Pid_1234"};
}

const Operation kOperations[] = {
    {"Walk", BuildReferenceUsbWorld,
     [] {
       OutputBuffer hubName;
       int32_t index = 0;
       return GetUsbDeviceFromHub(0, 0, 3, hubName.data(), &index);
     }},
    {"PortQuery", BuildReferenceUsbWorld,
     [] {
       uint16_t vid = 0, pid = 0;
       return static_cast<int32_t>(GetUsbDeviceVIDPIDFromHub(kHB.c_str(), 4, &vid, &pid));
     }},
    {"HidSearch", ShapeBridgeWorld,
     [] {
       OutputBuffer path;
       return GetHidDeviceFromCustomHidList(0, 0, 0, 0, 2, path.data());
     }},
    {"FeatureReport", ShapeBridgeWorld,
     [] {
       uint8_t report[72] = {7, 4};
       return static_cast<int32_t>(HidSetFeatureReport(kVendorPath.c_str(), report, 72));
     }},
    {"DescriptorRead", BuildReferenceUsbWorld,
     [] {
       uint8_t data[255];
       uint16_t received = 0;
       return ReadEx(kHB.c_str(), 4, 0x0100, 0, 255, data, &received) ? static_cast<int32_t>(received) : 0;
     }},
    {"Registration", [](FakeWorld&) {},
     [] { return RegisterDeviceNotification_ArrivalRemove(reinterpret_cast<void*>(uintptr_t{0x10042})) ? 1 : 0; }},
    {"Correlation", BuildCorrelationWorld,
     [] {
       OutputBuffer hubName;
       int32_t index = 0;
       return GetUsbDeviceFromHidDevice(kCompositePath.c_str(), hubName.data(), &index) ? index : 0;
     }},
    {"CorrelationList", BuildCorrelationWorld,
     [] {
       OutputBuffer hubName;
       int32_t index = 0;
       return GetUsbDeviceFromHidList(0, 0, 2, hubName.data(), &index);
     }},
    {"FamilyTest", BuildCorrelationWorld, [] { return static_cast<int32_t>(isQV7Device(kSinglePath.c_str())); }},
    {"HidIds", BuildCorrelationWorld,
     [] {
       uint16_t vid = 0;
       return GetHidIDs(kSinglePath.c_str(), &vid, nullptr, nullptr, nullptr) ? static_cast<int32_t>(vid) : 0;
     }},
    {"PortRelease", BuildReferenceUsbWorld,
     [] {
       uint16_t vid = 0, pid = 0, release = 0;
       return GetUsbDeviceVIDPIDSNFromHub(kHB.c_str(), 4, &vid, &pid, &release) ? static_cast<int32_t>(release) : 0;
     }},
    {"PortPresence", BuildReferenceUsbWorld, [] { return static_cast<int32_t>(isDeviceExist(kHB.c_str(), 4)); }},
    {"AllHidPaths", BuildCorrelationWorld,
     [] {
       OutputBuffer path;
       return GetUSBDeviceInterfacePath(0, 0, 3, path.data());
     }},
    {"InterfaceByClass", BuildCorrelationWorld,
     [] {
       void* handle = GetDeviceViaInterfaceGUID(&kHidInterfaceClass, 2);
       if (handle == nullptr) return 0;
       ThePlatform().CloseHandle(handle);  // the caller's to close
       return 1;
     }},
    {"Reset", ShapeResetWorld, [] { return static_cast<int32_t>(UsbReset(0x09DA, 0x1234)); }},
};

class ExportFaultTest : public FakeWorldTest, public testing::WithParamInterface<Operation> {
 protected:
  // The clean run's result and the number of calls of each kind it makes.
  std::pair<int32_t, std::array<uint64_t, kCallCount>> CleanRun() {
    FakeWorld clean;
    GetParam().shape(clean);
    ScopedFakeWorld installed(clean);
    const int32_t result = GetParam().run();
    std::array<uint64_t, kCallCount> counts{};
    for (size_t c = 0; c < kCallCount; ++c) counts[c] = clean.CallCount(static_cast<Call>(c));
    EXPECT_EQ(clean.Open().Total(), 0);
    return {result, counts};
  }
};

TEST_P(ExportFaultTest, EveryCallFailingInTurnLeavesNothingOpen) {
  const auto [cleanResult, counts] = CleanRun();
  EXPECT_GT(cleanResult, 0);
  int runs = 0;
  for (size_t c = 0; c < kCallCount; ++c) {
    for (uint64_t n = 1; n <= counts[c]; ++n) {
      FakeWorld faulty;
      GetParam().shape(faulty);
      faulty.FailNth(static_cast<Call>(c), n);
      ScopedFakeWorld installed(faulty);
      const int32_t result = GetParam().run();
      EXPECT_LE(result, cleanResult) << CallName(static_cast<Call>(c)) << " #" << n;
      EXPECT_GE(result, 0);
      // A release that fails keeps its one object (as on Windows); nothing else may stay open.
      EXPECT_EQ(faulty.Open().Total(), IsRelease(static_cast<Call>(c)) ? 1 : 0)
          << CallName(static_cast<Call>(c)) << " #" << n << " failing";
      ++runs;
    }
  }
  EXPECT_GE(runs, 3);
}

TEST_P(ExportFaultTest, AnExceptionInsideBecomesTheFailureValueAndReleasesEverything) {
  const auto [cleanResult, counts] = CleanRun();
  uint64_t total = 0;
  for (size_t c = 0; c < kCallCount; ++c)
    if (!IsRelease(static_cast<Call>(c))) total += counts[c];
  for (uint64_t n = 1; n <= total; ++n) {
    FakeWorld faulty;
    GetParam().shape(faulty);
    uint64_t calls = 0;
    faulty.FailWhen([&](const CallRecord& call) -> bool {
      if (!IsRelease(call.call) && ++calls == n) throw std::bad_alloc();
      return false;
    });
    ScopedFakeWorld installed(faulty);
    EXPECT_EQ(GetParam().run(), 0) << "throwing at call " << n;
    EXPECT_EQ(faulty.Open().Total(), 0) << "throwing at call " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Exports, ExportFaultTest, testing::ValuesIn(kOperations),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace device_library::fake
