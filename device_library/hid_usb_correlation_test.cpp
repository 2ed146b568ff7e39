// HID-to-USB correlation in the fake world: composite and single-interface devices, the case rule,
// walk order, paths off USB, the configuration manager's quirks, and the two exports.
#include "device_library/hid_usb_correlation.h"

#include "device_library/correlation_test_world.h"
#include "device_library/device_library.h"
#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return text;
}

struct Lookup {
  const char* name;
  void (*shape)(FakeWorld&);
  std::u16string path;
  bool found;
  std::u16string hubName;
  int32_t connectionIndex;
};
void PrintTo(const Lookup& l, std::ostream* os) { *os << l.name; }

void Nothing(FakeWorld&) {}

const Lookup kLookups[] = {
    {"CompositeThroughItsChildInterface", Nothing, kCompositePath, true, kRA, 1},
    {"SingleInterfaceThroughItsOwnId", Nothing, kSinglePath, true, kHC, 2},
    {"SecondCollectionOfTheSameDevice", Nothing, kSingleMousePath, true, kHC, 2},
    {"PathInOtherCaseIsTheSamePath", Nothing, Upper(kCompositePath), true, kRA, 1},
    {"DeviceOffUsbIsNotFound", Nothing, kAcpiPath, false, u"", 0},
    {"AbsentPathIsNotFound", Nothing, u"\\\\?\\hid#vid_09da&pid_9999#1#{4d1e55b2-f16f-11cf-88cb-001111000030}", false,
     u"", 0},
    // HB:4 reports the same driver key as RA:3's device, whose HID device is looked for: HB:4 comes
    // first in walk order and wins.
    {"FirstMatchInWalkOrderWins",
     [](FakeWorld& w) {
       AddHidDevice(w, HidPath(0x09DA, 0x4444, -1, 0, 0x44), 0x09DA, 0x4444, 1, 2, kRa3Id, u"HID\\VID_09DA&PID_4444\\1");
       w.PortAt(kHB, 4).driverKey = DriverKey(44);
     },
     HidPath(0x09DA, 0x4444, -1, 0, 0x44), true, kHB, 4},
    // Wine: the list size succeeds without a length, so no children are seen; the own id still matches.
    {"ListSizeThatWritesNothingHidesChildrenOnly", [](FakeWorld& w) { w.listSizeLeavesLength = true; },
     kSinglePath, true, kHC, 2},
    {"ListSizeThatWritesNothingLosesTheComposite", [](FakeWorld& w) { w.listSizeLeavesLength = true; },
     kCompositePath, false, u"", 0},
    {"ParentThatCannotBeFoundFindsNothing", [](FakeWorld& w) { w.FailAlways(Call::CM_Get_Parent, 0); }, kSinglePath,
     false, u"", 0},
    {"PortWithoutDriverKeyIsSkipped", [](FakeWorld& w) { w.PortAt(kHC, 2).answersDriverKey = false; }, kSinglePath,
     false, u"", 0},
    // The HID device's parent has no driver key, nor does the port's: an empty key is not looked up,
    // so the driverless node is not taken for the port's device.
    {"EmptyDriverKeyIsNotLookedUp",
     [](FakeWorld& w) {
       w.deviceNodes.insert(w.deviceNodes.begin(), DeviceNode{u"ROOT\\NODRIVER\\0000", u"", u"ROOT", u""});
       AddHidDevice(w, HidPath(0x1234, 0x0001, -1, 0, 0x55), 0x1234, 1, 1, 2, u"ROOT\\NODRIVER\\0000",
                    u"HID\\NODRIVER\\1");
       w.PortAt(kRC, 1).driverKey = u"";
     },
     HidPath(0x1234, 0x0001, -1, 0, 0x55), false, u"", 0},
};

class CorrelationTest : public FakeWorldTest, public testing::WithParamInterface<Lookup> {};

TEST_P(CorrelationTest, FindsThePortOfTheHidPath) {
  const Lookup& l = GetParam();
  BuildCorrelationWorld(world);
  l.shape(world);
  const UsbPortLocation location = FindUsbPortOfHidPath(world, l.path);
  EXPECT_EQ(location.found, l.found);
  EXPECT_EQ(Narrow(location.hubName), Narrow(l.hubName));
  EXPECT_EQ(location.connectionIndex, l.connectionIndex);

  OutputBuffer hubName;
  int32_t connectionIndex = -7;
  EXPECT_EQ(GetUsbDeviceFromHidDevice(l.path.c_str(), hubName.data(), &connectionIndex), l.found ? 1 : 0);
  EXPECT_EQ(Narrow(hubName.Text()), Narrow(l.hubName));
  EXPECT_EQ(hubName.UnitsWritten(), l.hubName.size() + 1);
  EXPECT_EQ(connectionIndex, l.connectionIndex);
}

INSTANTIATE_TEST_SUITE_P(Lookups, CorrelationTest, testing::ValuesIn(kLookups),
                         [](const auto& info) { return info.param.name; });

TEST(SameDeviceName, FoldsOnlyAToZAndComparesFullLength) {
  EXPECT_TRUE(SameDeviceName(u"USB\\VID_09DA&PID_1111", u"usb\\vid_09da&pid_1111"));
  EXPECT_FALSE(SameDeviceName(u"USB\\VID_09DA", u"USB\\VID_09DA&"));
  EXPECT_FALSE(SameDeviceName(u"\u00C9", u"\u00E9"));  // outside A-Z nothing folds
  EXPECT_FALSE(SameDeviceName(u"[", u"{"));
  EXPECT_TRUE(SameDeviceName(u"", u""));
}

using CorrelationCallsTest = FakeWorldTest;

TEST_F(CorrelationCallsTest, AnAbsentPathEndsTheSearchBeforeAnyHubIsWalked) {
  BuildCorrelationWorld(world);
  EXPECT_FALSE(FindUsbPortOfHidPath(world, u"\\\\?\\hid#none").found);
  EXPECT_EQ(world.CallCount(Call::DeviceIoControl), 0u);
  EXPECT_EQ(world.CallCount(Call::CM_Get_Parent), 0u);
}

TEST_F(CorrelationCallsTest, ParentIdIsReadIntoItsLengthPlusOne) {
  BuildCorrelationWorld(world);
  EXPECT_EQ(Narrow(GetHidParentInstanceId(world, kCompositePath)), Narrow(kCompositeMi01));
  const auto reads = world.CallsOf(Call::CM_Get_Device_IDW);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].args[1], kCompositeMi01.size() + 1);
}

TEST_F(CorrelationCallsTest, ChildrenComeInListOrderFromABufferTwoUnitsLarger) {
  BuildCorrelationWorld(world);
  const std::vector<std::u16string> children = ListChildInstanceIds(world, kCompositeId);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(Narrow(children[0]), Narrow(kCompositeMi00));
  EXPECT_EQ(Narrow(children[1]), Narrow(kCompositeMi01));
  const auto lists = world.CallsOf(Call::CM_Get_Device_ID_ListW);
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists[0].args[0], kCmGetIdListFilterBusRelations);
  EXPECT_EQ(lists[0].args[1], kCompositeMi00.size() + 1 + kCompositeMi01.size() + 1 + 1 + 2);
  EXPECT_EQ(ListChildInstanceIds(world, kSingleId).size(), 2u);  // its two HID devices
  EXPECT_TRUE(ListChildInstanceIds(world, kHb4Id).empty());
}

TEST_F(CorrelationCallsTest, DriverKeyIsAskedWithTenBytesThenItsActualLength) {
  BuildCorrelationWorld(world);
  const Handle hub = world.CreateFileW((u"\\\\.\\" + kHC).c_str(), kGenericWrite, kFileShareWrite, nullptr,
                                       kOpenExisting, 0, nullptr);
  world.ResetCounters();
  EXPECT_EQ(Narrow(GetPortDriverKeyName(world, hub, 2)), Narrow(DriverKey(22)));
  const auto requests = world.CallsOf(Call::DeviceIoControl);
  ASSERT_EQ(requests.size(), 2u);
  const uint32_t actual = static_cast<uint32_t>(8 + (DriverKey(22).size() + 1) * 2);
  EXPECT_EQ(requests[0].args, (std::array<uint32_t, 4>{usb::kIoctlGetNodeConnectionDriverKeyName, 10, 10, 2}));
  EXPECT_EQ(requests[1].args, (std::array<uint32_t, 4>{usb::kIoctlGetNodeConnectionDriverKeyName, actual, actual, 2}));
  EXPECT_TRUE(GetPortDriverKeyName(world, hub, 4).empty());  // an empty port
  world.CloseHandle(hub);
}

TEST_F(CorrelationCallsTest, DriverKeyLookupGrowsItsBufferToTheAskedSize) {
  BuildCorrelationWorld(world);
  EXPECT_EQ(Narrow(GetInstanceIdOfDriverKey(world, DriverKey(22))), Narrow(kSingleId));
  EXPECT_TRUE(GetInstanceIdOfDriverKey(world, DriverKey(99)).empty());
  EXPECT_TRUE(GetInstanceIdOfDriverKey(world, u"").empty());
  // A driver key compares exactly: case counts.
  EXPECT_TRUE(GetInstanceIdOfDriverKey(world, Upper(DriverKey(22))).empty());
}

using HidListTest = FakeWorldTest;

TEST_F(HidListTest, ListExportFollowsTheListConventionAndWritesEmptyWhenNotFound) {
  BuildCorrelationWorld(world);
  // The family list in enumeration order: the ACPI keyboard, the composite, the single device.
  OutputBuffer hubName;
  int32_t connectionIndex = -7;
  EXPECT_EQ(GetUsbDeviceFromHidList(0x09DA, 0, -1, hubName.data(), &connectionIndex), 3);
  EXPECT_EQ(GetUsbDeviceFromHidList(0x09DA, 0, 3, hubName.data(), &connectionIndex), 3);
  EXPECT_TRUE(hubName.Untouched());
  EXPECT_EQ(connectionIndex, -7);
  EXPECT_EQ(GetUsbDeviceFromHidList(0x109DA, 0x10000, 2, hubName.data(), &connectionIndex), 3);
  EXPECT_EQ(Narrow(hubName.Text()), Narrow(kHC));
  EXPECT_EQ(connectionIndex, 2);
  EXPECT_EQ(GetUsbDeviceFromHidList(0x09DA, 0x1111, 0, hubName.data(), &connectionIndex), 1);
  EXPECT_EQ(Narrow(hubName.Text()), Narrow(kRA));
  EXPECT_EQ(connectionIndex, 1);
  EXPECT_EQ(GetUsbDeviceFromHidList(0x09DA, 0, 0, hubName.data(), &connectionIndex), 3);
  EXPECT_EQ(hubName.Text(), u"");
  EXPECT_EQ(connectionIndex, 0);
}

TEST_F(HidListTest, NullPathAndNullOutputsAreRefusedOrSkipped) {
  BuildCorrelationWorld(world);
  OutputBuffer hubName;
  int32_t connectionIndex = -7;
  EXPECT_EQ(GetUsbDeviceFromHidDevice(nullptr, hubName.data(), &connectionIndex), 0);
  EXPECT_EQ(hubName.Text(), u"");
  EXPECT_EQ(connectionIndex, 0);
  EXPECT_EQ(GetUsbDeviceFromHidDevice(kSinglePath.c_str(), nullptr, nullptr), 1);
}

TEST_F(HidListTest, ScenarioMiceAreFoundOnTheirPorts) {
  ASSERT_TRUE(BuildScenario(u"bridge_two_mice", world));
  OutputBuffer hubName;
  int32_t connectionIndex = 0;
  const std::u16string second = HidPath(kBridgeVendor, kBridgeSecondMousePid, 1, 2, 3);
  EXPECT_EQ(GetUsbDeviceFromHidDevice(second.c_str(), hubName.data(), &connectionIndex), 1);
  EXPECT_EQ(Narrow(hubName.Text()), Narrow(ExternalHubName(0x05E3, 0x0608, 3)));
  EXPECT_EQ(connectionIndex, 2);
  const std::u16string keyboard = HidPath(0x046D, 0xC31C, 0, 0, 2);
  EXPECT_EQ(GetUsbDeviceFromHidDevice(keyboard.c_str(), hubName.data(), &connectionIndex), 1);
  EXPECT_EQ(Narrow(hubName.Text()), Narrow(RootHubName(1)));
  EXPECT_EQ(connectionIndex, 2);
}

}  // namespace
}  // namespace device_library::fake
