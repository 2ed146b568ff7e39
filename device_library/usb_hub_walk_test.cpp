#include "device_library/usb_hub_walk.h"

#include <climits>

#include "device_library/device_library.h"
#include "device_library/test_support.h"
#include "device_library/usb_test_world.h"

namespace device_library {
// Found by argument-dependent lookup when a record list differs.
void PrintTo(const UsbPortRecord& r, std::ostream* os) {
  *os << fake::Narrow(r.hubName) << ":" << r.connectionIndex << " " << std::hex << r.vid << ":" << r.pid;
}
}  // namespace device_library

namespace device_library::fake {
namespace {

class HubWalkTest : public FakeWorldTest {
 protected:
  void SetUp() override { BuildReferenceUsbWorld(world); }
};

TEST_F(HubWalkTest, ListsDevicesDepthFirstLegacyScanFirstEachAttachmentPointOnce) {
  // RA is reached twice (HCD0 and interface IA) and yields its devices once; hubs are never listed.
  EXPECT_EQ(CollectUsbPorts(world, WalkKey{}), ReferenceRecords());
}

TEST_F(HubWalkTest, TriesTheTenLegacyNamesInOrderThenTheInterfaceClass) {
  CollectUsbPorts(world, WalkKey{});
  std::vector<std::u16string> controllerOpens;
  for (const CallRecord& call : world.CallsOf(Call::CreateFileW))
    if (!call.text.starts_with(u"\\\\.\\USB#")) {
      controllerOpens.push_back(call.text);
      EXPECT_EQ(call.args, (std::array<uint32_t, 4>{0x40000000, 2, 3, 0})) << Narrow(call.text);
    }
  EXPECT_EQ(controllerOpens, (std::vector<std::u16string>{u"\\\\.\\HCD0", u"\\\\.\\HCD1", u"\\\\.\\HCD2", u"\\\\.\\HCD3",
                                                           u"\\\\.\\HCD4", u"\\\\.\\HCD5", u"\\\\.\\HCD6", u"\\\\.\\HCD7",
                                                           u"\\\\.\\HCD8", u"\\\\.\\HCD9", kIA, kIC}));
  const std::vector<CallRecord> sets = world.CallsOf(Call::SetupDiGetClassDevsW);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].args[0], 0x12u);
  EXPECT_EQ(sets[0].args[1], 0x3ABF6F2Du);
}

TEST_F(HubWalkTest, OpensHubsWithThePrefixForWritingAndCancelsIoBeforeClosing) {
  CollectUsbPorts(world, WalkKey{});
  int hubOpens = 0;
  for (const CallRecord& call : world.CallsOf(Call::CreateFileW))
    if (call.text.starts_with(u"\\\\.\\USB#")) {
      ++hubOpens;
      EXPECT_EQ(call.args, (std::array<uint32_t, 4>{0x40000000, 2, 3, 0}));
    }
  // RA twice, HB twice, HC twice, RB, RC.
  EXPECT_EQ(hubOpens, 8);
  EXPECT_EQ(world.CallCount(Call::CancelIo), 8u);
}

TEST_F(HubWalkTest, SendsTheRecordsOfThePublishedSizes) {
  CollectUsbPorts(world, WalkKey{});
  for (const CallRecord& call : world.CallsOf(Call::DeviceIoControl)) {
    const uint32_t code = call.args[0], in = call.args[1], out = call.args[2];
    switch (code) {
      case 0x220408:  // root hub name (no input) or node information (76 both ways)
        EXPECT_TRUE((in == 0 && out >= 6) || (in == 76 && out == 76)) << in << " " << out;
        break;
      case 0x220448:
        EXPECT_EQ(in, 365u);
        EXPECT_EQ(out, 365u);
        break;
      case 0x220414:
        EXPECT_EQ(in, out);
        EXPECT_GE(in, 10u);
        break;
      default:
        ADD_FAILURE() << "unexpected control code " << std::hex << code;
    }
  }
}

TEST_F(HubWalkTest, KeepsAtMostOneHubHandlePerTierOpen) {
  size_t mostOpen = 0;
  world.FailWhen([&](const CallRecord&) {
    mostOpen = std::max(mostOpen, static_cast<size_t>(world.Open().files));
    return false;
  });
  CollectUsbPorts(world, WalkKey{});
  EXPECT_EQ(mostOpen, 4u);  // the controller, RA, HB and HC
}

struct FilterCase {
  const char* name;
  uint32_t vid, pid;
  int32_t count;
};
void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

class HubWalkFilterTest : public HubWalkTest, public testing::WithParamInterface<FilterCase> {};

TEST_P(HubWalkFilterTest, CountsTheMatchingDevices) {
  const FilterCase& c = GetParam();
  OutputBuffer hubName;
  int32_t connectionIndex = -7;
  EXPECT_EQ(GetUsbDeviceFromHub(c.vid, c.pid, -1, hubName.data(), &connectionIndex), c.count);
  EXPECT_TRUE(hubName.Untouched());
  EXPECT_EQ(connectionIndex, -7);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, HubWalkFilterTest,
    testing::Values(FilterCase{"AnyAny", 0, 0, 7}, FilterCase{"Vendor09DA", 0x09DA, 0, 4},
                    FilterCase{"HighBitsIgnored", 0x109DA, 0, 4}, FilterCase{"Vendor0x10000IsAny", 0x10000, 0, 7},
                    FilterCase{"Product0x10000IsAny", 0x046D, 0x10000, 2}, FilterCase{"ProductOnly", 0, 0x2222, 1},
                    FilterCase{"VendorAndProduct", 0x09DA, 0x3333, 1}, FilterCase{"ProductOfOtherVendor", 0x046D, 0x2222, 0},
                    FilterCase{"NoSuchVendor", 0xFFFF, 0, 0}, FilterCase{"Vendor0xFFFF0000IsAny", 0xFFFF0000u, 0, 7}),
    [](const auto& info) { return info.param.name; });

TEST_F(HubWalkTest, ValidIndexWritesThatRecordsHubNameAndTerminatorOnly) {
  const std::vector<UsbPortRecord> expected = ReferenceRecords();
  for (int32_t i = 0; i < static_cast<int32_t>(expected.size()); ++i) {
    OutputBuffer hubName;
    int32_t connectionIndex = -7;
    EXPECT_EQ(GetUsbDeviceFromHub(0, 0, i, hubName.data(), &connectionIndex), 7);
    EXPECT_EQ(hubName.Text(), expected[i].hubName);
    EXPECT_EQ(hubName.UnitsWritten(), expected[i].hubName.size() + 1);
    EXPECT_EQ(connectionIndex, expected[i].connectionIndex);
  }
}

TEST_F(HubWalkTest, FilteredIndexNamesTheFilteredList) {
  OutputBuffer hubName;
  int32_t connectionIndex = 0;
  EXPECT_EQ(GetUsbDeviceFromHub(0x09DA, 0, 2, hubName.data(), &connectionIndex), 4);
  EXPECT_EQ(hubName.Text(), kHB);
  EXPECT_EQ(connectionIndex, 4);
}

class HubWalkIndexTest : public HubWalkTest, public testing::WithParamInterface<int32_t> {};

TEST_P(HubWalkIndexTest, IndexOutsideTheListWritesNothing) {
  OutputBuffer hubName;
  int32_t connectionIndex = 0x5A5A5A5A;
  EXPECT_EQ(GetUsbDeviceFromHub(0, 0, GetParam(), hubName.data(), &connectionIndex), 7);
  EXPECT_TRUE(hubName.Untouched());
  EXPECT_EQ(connectionIndex, 0x5A5A5A5A);
}

INSTANTIATE_TEST_SUITE_P(Indexes, HubWalkIndexTest, testing::Values(-1, -2, INT_MIN, 7, 8, INT_MAX));

TEST_F(HubWalkTest, NullOutputsAreNotWritten) {
  EXPECT_EQ(GetUsbDeviceFromHub(0, 0, 0, nullptr, nullptr), 7);
}

// ---- failures inside the walk

struct WalkFailureCase {
  const char* name;
  std::function<void(FakeWorld&)> shape;
  std::vector<UsbPortRecord> expected;
};
void PrintTo(const WalkFailureCase& c, std::ostream* os) { *os << c.name; }

class HubWalkFailureTest : public HubWalkTest, public testing::WithParamInterface<WalkFailureCase> {};

TEST_P(HubWalkFailureTest, SkipsWhatFailsAndKeepsTheRest) {
  GetParam().shape(world);
  EXPECT_EQ(CollectUsbPorts(world, WalkKey{}), GetParam().expected);
}

// RA reached only through its interface: after RB of the legacy scan.
std::vector<UsbPortRecord> RaAfterRb() {
  std::vector<UsbPortRecord> all = ReferenceRecords();
  return {all[5], all[0], all[1], all[2], all[3], all[4], all[6]};
}

std::vector<UsbPortRecord> Without(std::initializer_list<size_t> drop) {
  std::vector<UsbPortRecord> all = ReferenceRecords(), kept;
  for (size_t i = 0; i < all.size(); ++i)
    if (std::find(drop.begin(), drop.end(), i) == drop.end()) kept.push_back(all[i]);
  return kept;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HubWalkFailureTest,
    testing::Values(
        WalkFailureCase{"ExternalHubDoesNotOpen", [](FakeWorld& w) { w.hubs[kHC].opens = false; }, Without({2})},
        WalkFailureCase{"HubWithoutNodeInformationHasNoPorts",
                        [](FakeWorld& w) { w.hubs[kHB].answersNodeInformation = false; }, Without({1, 2, 3})},
        WalkFailureCase{"PortWithoutConnectionInformationIsSkipped",
                        [](FakeWorld& w) { w.PortAt(kHB, 1).answersConnectionInformation = false; }, Without({1})},
        WalkFailureCase{"ExternalHubWithoutNameHidesWhatIsBelow",
                        [](FakeWorld& w) { w.PortAt(kRA, 2).answersConnectionName = false; }, Without({1, 2, 3})},
        WalkFailureCase{"DisconnectedPortIsSkippedWhateverItsDescriptor",
                        [](FakeWorld& w) { w.PortAt(kRA, 3).connectionStatus = 2; }, Without({4})},
        WalkFailureCase{"LegacyNameThatDoesNotOpenLeavesTheInterfaceRoute",
                        [](FakeWorld& w) {
                          w.FailWhen([](const CallRecord& c) {
                            return c.call == Call::CreateFileW && c.text == u"\\\\.\\HCD0";
                          });
                        },
                        RaAfterRb()},
        WalkFailureCase{"ControllerThatDoesNotOpenAtAll",
                        [](FakeWorld& w) { w.hostControllers[0].opens = false; }, Without({0, 1, 2, 3, 4})},
        WalkFailureCase{"NoInterfaceSetLeavesTheLegacyScan",
                        [](FakeWorld& w) { w.FailAlways(Call::SetupDiGetClassDevsW); }, Without({6})},
        WalkFailureCase{"UnreadableControllerDetailSkipsThatController",
                        [](FakeWorld& w) { w.interfaces[1].detailReadable = false; }, Without({6})},
        WalkFailureCase{"RootHubNameRefusedOnTheSecondRequest",
                        [](FakeWorld& w) {
                          // the first controller's first request answers, its second fails: RA comes from IA
                          w.FailNth(Call::DeviceIoControl, 2);
                        },
                        RaAfterRb()},
        WalkFailureCase{"NoControllerOpens", [](FakeWorld& w) { w.FailAlways(Call::CreateFileW); }, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(HubWalkTest, NothingAttachedCountsZeroAndWritesNothing) {
  FakeWorld empty;
  ScopedFakeWorld installed(empty);
  OutputBuffer hubName;
  int32_t connectionIndex = 3;
  EXPECT_EQ(GetUsbDeviceFromHub(0, 0, -1, hubName.data(), &connectionIndex), 0);
  EXPECT_EQ(GetUsbDeviceFromHub(0, 0, 0, hubName.data(), &connectionIndex), 0);
  EXPECT_TRUE(hubName.Untouched());
  EXPECT_EQ(connectionIndex, 3);
  EXPECT_EQ(empty.Open().Total(), 0);
}

TEST_F(HubWalkTest, TheSameHubNameInAnotherCaseIsAnotherAttachmentPoint) {
  UsbPortList list;
  EXPECT_TRUE(list.Append({u"HUB", 1, 1, 1}));
  EXPECT_FALSE(list.Append({u"HUB", 1, 2, 2}));
  EXPECT_TRUE(list.Append({u"hub", 1, 1, 1}));
  EXPECT_TRUE(list.Append({u"HUB", 2, 1, 1}));
  EXPECT_TRUE(list.Append({u"HUB", 0x10001, 1, 1}));
  EXPECT_EQ(list.Records().size(), 4u);
  EXPECT_EQ(list.Records()[0].vid, 1);
}

TEST_F(HubWalkTest, RootHubNameTakesTwoRequests) {
  Handle controller = world.CreateFileW(u"\\\\.\\HCD0", 0x40000000, 2, nullptr, 3, 0, nullptr);
  world.ResetCounters();
  EXPECT_EQ(GetRootHubName(world, controller), kRA);
  const std::vector<CallRecord> requests = world.CallsOf(Call::DeviceIoControl);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].args[2], 6u);
  EXPECT_EQ(requests[1].args[2], 4 + (kRA.size() + 1) * 2);
  world.CloseHandle(controller);
}

TEST_F(HubWalkTest, ExternalHubNameTakesTwoRequestsWithTheConnectionIndex) {
  Handle hub = world.CreateFileW((u"\\\\.\\" + kRA).c_str(), 0x40000000, 2, nullptr, 3, 0, nullptr);
  world.ResetCounters();
  EXPECT_EQ(GetExternalHubName(world, hub, 2), kHB);
  const std::vector<CallRecord> requests = world.CallsOf(Call::DeviceIoControl);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].args, (std::array<uint32_t, 4>{0x220414, 10, 10, 2}));
  const uint32_t actual = static_cast<uint32_t>(8 + (kHB.size() + 1) * 2);
  EXPECT_EQ(requests[1].args, (std::array<uint32_t, 4>{0x220414, actual, actual, 2}));
  EXPECT_EQ(GetExternalHubName(world, hub, 1), u"");  // a device, not a hub: an empty name
  world.CloseHandle(hub);
}

}  // namespace
}  // namespace device_library::fake
