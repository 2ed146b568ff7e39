// The remaining utilities in the fake world: port presence and release number, the unfiltered HID
// list, opening an interface by class, and restarting a USB device.
#include "device_library/device_utilities.h"

#include "device_library/correlation_test_world.h"
#include "device_library/device_library.h"
#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

struct PortCase {
  const char* name;
  std::u16string hub;
  int32_t port;
  uint8_t exists;
  uint8_t answered;
  uint16_t vid, pid, release;
};
void PrintTo(const PortCase& p, std::ostream* os) { *os << p.name; }
class PortUtilityTest : public FakeWorldTest, public testing::WithParamInterface<PortCase> {};

TEST_P(PortUtilityTest, PresenceAndIdentity) {
  const PortCase& p = GetParam();
  BuildReferenceUsbWorld(world);
  world.AttachDevice(kHB, 4, 0x09DA, 0x3333, 0x0213);
  EXPECT_EQ(isDeviceExist(p.hub.c_str(), p.port), p.exists);
  uint16_t vid = 0x5A5A, pid = 0x5A5A, release = 0x5A5A;
  EXPECT_EQ(GetUsbDeviceVIDPIDSNFromHub(p.hub.c_str(), p.port, &vid, &pid, &release), p.answered);
  EXPECT_EQ(vid, p.answered ? p.vid : 0x5A5A);
  EXPECT_EQ(pid, p.answered ? p.pid : 0x5A5A);
  EXPECT_EQ(release, p.answered ? p.release : 0x5A5A);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortUtilityTest,
    testing::Values(PortCase{"DeviceOnRootPort", kRA, 1, 1, 1, 0x09DA, 0x1111, 0x0100},
                    PortCase{"ReleaseOfItsDescriptor", kHB, 4, 1, 1, 0x09DA, 0x3333, 0x0213},
                    PortCase{"EmptyPortAnswersZeros", kRA, 4, 0, 1, 0, 0, 0},
                    PortCase{"PortPastTheHub", kRA, 9, 0, 0, 0, 0, 0},
                    PortCase{"NoSuchHub", u"USB#NONE", 1, 0, 0, 0, 0, 0}),
    [](const auto& info) { return info.param.name; });

using UtilityTest = FakeWorldTest;

TEST_F(UtilityTest, NullHubNameIsRefused) {
  BuildReferenceUsbWorld(world);
  EXPECT_EQ(isDeviceExist(nullptr, 1), 0);
  EXPECT_EQ(GetUsbDeviceVIDPIDSNFromHub(nullptr, 1, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(world.TotalCalls(), 0u);
}

TEST_F(UtilityTest, InterfacePathListIsUnfilteredDeduplicatedAndEndsAtAnUnreadablePath) {
  BuildCorrelationWorld(world);  // four HID interfaces, one of them off USB
  world.interfaces.push_back(DeviceInterface{kHidInterfaceClass, kSinglePath});  // listed twice by the system
  world.hidCollections[0].opens = false;  // nothing is opened, so this changes nothing
  OutputBuffer path;
  EXPECT_EQ(GetUSBDeviceInterfacePath(0x1234, -5, -1, path.data()), 4);
  EXPECT_TRUE(path.Untouched());
  EXPECT_EQ(GetUSBDeviceInterfacePath(0, 0, 2, path.data()), 4);
  EXPECT_EQ(Narrow(path.Text()), Narrow(kSinglePath));
  EXPECT_EQ(world.CallCount(Call::CreateFileW), 0u);
  OutputBuffer past;
  EXPECT_EQ(GetUSBDeviceInterfacePath(0, 0, 4, past.data()), 4);
  EXPECT_TRUE(past.Untouched());
  world.interfaces[world.interfaces.size() - 3].detailReadable = false;  // the third HID interface
  EXPECT_EQ(GetUSBDeviceInterfacePath(0, 0, -1, nullptr), 2);
}

TEST_F(UtilityTest, InterfaceByClassOpensForOverlappedReadWriteAndBelongsToTheCaller) {
  BuildCorrelationWorld(world);
  void* handle = GetDeviceViaInterfaceGUID(&kHidInterfaceClass, 1);
  ASSERT_NE(handle, nullptr);
  const auto opens = world.CallsOf(Call::CreateFileW);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(Narrow(opens[0].text), Narrow(kCompositePath));
  EXPECT_EQ(opens[0].args, (std::array<uint32_t, 4>{0xC0000000, 3, kOpenExisting, 0x40000080}));
  EXPECT_EQ(world.Open().files, 1);
  EXPECT_EQ(world.Open().deviceInfoSets + world.Open().localMemory, 0);
  world.CloseHandle(handle);

  EXPECT_EQ(GetDeviceViaInterfaceGUID(&kHidInterfaceClass, 4), nullptr);
  EXPECT_EQ(GetDeviceViaInterfaceGUID(&kMouseInterfaceClass, 0), nullptr);
  EXPECT_EQ(GetDeviceViaInterfaceGUID(nullptr, 0), nullptr);
  world.hidCollections[0].opensForReadWrite = false;
  EXPECT_EQ(GetDeviceViaInterfaceGUID(&kHidInterfaceClass, 0), nullptr);
}

TEST(ResetMatchText, BothDigitCasesWithTheLettersAsWritten) {
  EXPECT_EQ(Narrow(ResetMatchText(0x09DA, 0x1234, false)), "USB\\Vid_09da&Pid_1234");
  EXPECT_EQ(Narrow(ResetMatchText(0x09DA, 0xABCD, true)), "USB\\Vid_09DA&Pid_ABCD");
}

// Present USB devices, in enumeration order: a hub, a device that spells VID_/PID_ in capitals,
// two matching devices (lower- then upper-case digits), and one under another enumerator.
constexpr const char16_t* kCapitals = u"USB\\VID_09DA&PID_1234\\1";
constexpr const char16_t* kLowerMatch = u"USB\\VID_09DA&PID_1234\\2";
constexpr const char16_t* kUpperMatch = u"USB\\VID_09DA&PID_1234\\3";

void BuildResetWorld(FakeWorld& world) {
  world.AddDeviceNode(u"USB\\ROOT_HUB30\\4&1", u"", u"USB").hardwareIds = {u"USB\\ROOT_HUB30&VID8086&PIDA36D"};
  world.AddDeviceNode(kCapitals, u"", u"USB").hardwareIds = {u"USB\\VID_09DA&PID_1234&REV_0100", u"USB\\VID_09DA&PID_1234"};
  world.AddDeviceNode(kLowerMatch, u"", u"USB").hardwareIds = {u"USB\\Vid_09da&Pid_1234&Rev_0001"};
  world.AddDeviceNode(kUpperMatch, u"", u"USB").hardwareIds = {u"USB\\Vid_09DA&Pid_1234"};
  world.AddDeviceNode(u"HID\\VID_09DA&PID_5678\\1", u"", u"HID").hardwareIds = {u"USB\\Vid_09da&Pid_5678"};
}

struct ResetCase {
  const char* name;
  void (*shape)(FakeWorld&);
  uint32_t vid, pid;
  uint8_t result;
  std::vector<std::u16string> restarted;
  uint64_t slept;
};
void PrintTo(const ResetCase& r, std::ostream* os) { *os << r.name; }

void Nothing(FakeWorld&) {}
DeviceNode& Lower(FakeWorld& w) { return *w.FindDeviceNode(kLowerMatch); }

const ResetCase kResets[] = {
    {"FirstOfTwoMatchesRestarts", Nothing, 0x09DA, 0x1234, 1, {kLowerMatch}, 0},
    {"UpperCaseDigitsMatchToo", [](FakeWorld& w) { Lower(w).present = false; }, 0x09DA, 0x1234, 1, {kUpperMatch}, 0},
    {"HighBitsOfTheArgumentsIgnored", Nothing, 0x109DA, 0x31234, 1, {kLowerMatch}, 0},
    {"CapitalVidPidMatchesNeither",
     [](FakeWorld& w) {
       Lower(w).present = false;
       w.FindDeviceNode(kUpperMatch)->present = false;
     },
     0x09DA, 0x1234, 0, {}, 0},
    {"OtherEnumeratorIsNotSearched", Nothing, 0x09DA, 0x5678, 0, {}, 0},
    {"NoUsbDeviceAtAll", [](FakeWorld& w) { w.deviceNodes.clear(); }, 0x09DA, 0x1234, 0, {}, 0},
    {"NeedsRestartAtOnce", [](FakeWorld& w) { Lower(w).installFlagsAfterChange = {kDiNeedRestart}; }, 0x09DA, 0x1234,
     0, {kLowerMatch}, 0},
    {"NeedsRebootOnTheSecondRead", [](FakeWorld& w) { Lower(w).installFlagsAfterChange = {0, kDiNeedReboot}; },
     0x09DA, 0x1234, 0, {kLowerMatch}, 333},
    {"PropertyChangeRefused", [](FakeWorld& w) { Lower(w).acceptsPropertyChange = false; }, 0x09DA, 0x1234, 0, {}, 0},
    {"ClassInstallerFails", [](FakeWorld& w) { w.FailAlways(Call::SetupDiCallClassInstaller); }, 0x09DA, 0x1234, 0,
     {}, 0},
    {"ReadsWithoutErrorArePolled",
     [](FakeWorld& w) {
       w.FailNth(Call::SetupDiGetDeviceInstallParamsW, 2, 0);
       w.FailNth(Call::SetupDiGetDeviceInstallParamsW, 3, 0);
     },
     0x09DA, 0x1234, 1, {kLowerMatch}, 200},
    {"PollingGivesUpAfterTenSeconds", [](FakeWorld& w) { w.FailAlways(Call::SetupDiGetDeviceInstallParamsW, 0); },
     0x09DA, 0x1234, 0, {kLowerMatch}, 10000},
    {"ReadWithAnErrorEndsAtOnce",
     [](FakeWorld& w) { w.FailAlways(Call::SetupDiGetDeviceInstallParamsW, kErrorAccessDenied); }, 0x09DA, 0x1234, 0,
     {kLowerMatch}, 0},
};

class UsbResetTest : public FakeWorldTest, public testing::WithParamInterface<ResetCase> {};

TEST_P(UsbResetTest, RestartsTheFirstMatchingDevice) {
  const ResetCase& r = GetParam();
  BuildResetWorld(world);
  r.shape(world);
  EXPECT_EQ(UsbReset(r.vid, r.pid), r.result);
  ASSERT_EQ(world.restartedDevices.size(), r.restarted.size());
  for (size_t i = 0; i < r.restarted.size(); ++i) EXPECT_EQ(Narrow(world.restartedDevices[i]), Narrow(r.restarted[i]));
  EXPECT_EQ(world.sleptMilliseconds, r.slept);
}

INSTANTIATE_TEST_SUITE_P(Resets, UsbResetTest, testing::ValuesIn(kResets),
                         [](const auto& info) { return info.param.name; });

TEST_F(UtilityTest, ResetAsksUsbDevicesOfAllClassesAndReadsHardwareIdsInto512Bytes) {
  BuildResetWorld(world);
  ASSERT_EQ(UsbReset(0x09DA, 0x1234), 1);
  const auto sets = world.CallsOf(Call::SetupDiGetClassDevsW);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(Narrow(sets[0].text), "USB");
  EXPECT_EQ(sets[0].args[0], kDigcfPresent | kDigcfAllClasses);
  const auto reads = world.CallsOf(Call::SetupDiGetDeviceRegistryPropertyW);
  ASSERT_EQ(reads.size(), 3u);  // up to the first match
  EXPECT_EQ(reads[2].args[0], kSpdrpHardwareId);
  EXPECT_EQ(reads[2].args[1], 512u);
  const auto params = world.CallsOf(Call::SetupDiSetClassInstallParamsW);
  ASSERT_EQ(params.size(), 1u);
  EXPECT_EQ(params[0].args[0], 20u);
  for (const CallRecord& read : world.CallsOf(Call::SetupDiGetDeviceInstallParamsW))
    EXPECT_EQ(read.args[0], sizeof(void*) == 4 ? 556u : 584u);
}

}  // namespace
}  // namespace device_library::fake
