#include "device_library/usb_port_queries.h"

#include "device_library/device_library.h"
#include "device_library/test_support.h"
#include "device_library/usb_test_world.h"

namespace device_library::fake {
namespace {

class PortQueriesTest : public FakeWorldTest {
 protected:
  void SetUp() override { BuildReferenceUsbWorld(world); }
};

TEST_F(PortQueriesTest, EveryWalkEntryGivesTheIdsTheWalkSaw) {
  for (const UsbPortRecord& record : ReferenceRecords()) {
    uint16_t vid = 0, pid = 0;
    EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(record.hubName.c_str(), record.connectionIndex, &vid, &pid), 1);
    EXPECT_EQ(vid, record.vid);
    EXPECT_EQ(pid, record.pid);
  }
}

TEST_F(PortQueriesTest, OneOpenOneRequestCancelAndClose) {
  uint16_t vid = 0, pid = 0;
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(kHB.c_str(), 4, &vid, &pid), 1);
  std::vector<Call> calls;
  for (const CallRecord& call : world.CallLog())
    if (call.call != Call::LocalAlloc && call.call != Call::LocalFree) calls.push_back(call.call);
  EXPECT_EQ(calls, (std::vector<Call>{Call::CreateFileW, Call::DeviceIoControl, Call::CancelIo, Call::CloseHandle}));
  const CallRecord open = world.CallsOf(Call::CreateFileW)[0];
  EXPECT_EQ(open.text, u"\\\\.\\" + kHB);
  EXPECT_EQ(open.args, (std::array<uint32_t, 4>{0x40000000, 2, 3, 0}));
  EXPECT_EQ(world.CallsOf(Call::DeviceIoControl)[0].args, (std::array<uint32_t, 4>{0x220448, 365, 365, 4}));
}

TEST_F(PortQueriesTest, HubNameWithItsOwnPrefixGetsASecondOneAndNamesNoHub) {
  uint16_t vid = 0xAAAA, pid = 0xBBBB;
  const std::u16string prefixed = u"\\\\.\\" + kRA;
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(prefixed.c_str(), 1, &vid, &pid), 0);
  EXPECT_EQ(vid, 0xAAAA);
  EXPECT_EQ(pid, 0xBBBB);
  EXPECT_EQ(world.CallsOf(Call::CreateFileW)[0].text, u"\\\\.\\\\\\.\\" + kRA);
}

struct RefusedCase {
  const char* name;
  int32_t connectionIndex;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
class PortQueriesRefusedTest : public PortQueriesTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(PortQueriesRefusedTest, RefusedConnectionIndexLeavesTheOutputs) {
  uint16_t vid = 0xAAAA, pid = 0xBBBB;
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(kRA.c_str(), GetParam().connectionIndex, &vid, &pid), 0);
  EXPECT_EQ(vid, 0xAAAA);
  EXPECT_EQ(pid, 0xBBBB);
  // Both requests were tried.
  EXPECT_EQ(world.CallCount(Call::DeviceIoControl), 2u);
}

INSTANTIATE_TEST_SUITE_P(Indexes, PortQueriesRefusedTest,
                         testing::Values(RefusedCase{"Zero", 0}, RefusedCase{"AbovePortCount", 5},
                                         RefusedCase{"Negative", -1}),
                         [](const auto& info) { return info.param.name; });

TEST_F(PortQueriesTest, EmptyPortThatAnswersGivesTrueWithTheAnswersIds) {
  uint16_t vid = 0xAAAA, pid = 0xBBBB;
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(kRA.c_str(), 4, &vid, &pid), 1);
  EXPECT_EQ(vid, 0);
  EXPECT_EQ(pid, 0);
  // An empty port whose hub driver keeps a stale descriptor: those ids, the status not looked at.
  world.PortAt(kRA, 4).deviceDescriptor = MakeDeviceDescriptor(0x0BAD, 0xF00D);
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(kRA.c_str(), 4, &vid, &pid), 1);
  EXPECT_EQ(vid, 0x0BAD);
  EXPECT_EQ(pid, 0xF00D);
}

TEST_F(PortQueriesTest, HubThatRejectsTheNewerRequestAnswersTheOlderOneWithTheSameIds) {
  world.hubs[kHB].rejectsConnectionInformationEx = true;
  uint16_t vid = 0, pid = 0;
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(kHB.c_str(), 4, &vid, &pid), 1);
  EXPECT_EQ(vid, 0x09DA);
  EXPECT_EQ(pid, 0x3333);
  const std::vector<CallRecord> requests = world.CallsOf(Call::DeviceIoControl);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].args, (std::array<uint32_t, 4>{0x220448, 365, 365, 4}));
  EXPECT_EQ(requests[1].args, (std::array<uint32_t, 4>{0x22040C, 365, 365, 4}));
  // The walk through that hub finds the same records, and the hub below it (older requests too).
  world.hubs[kHC].rejectsConnectionInformationEx = true;
  EXPECT_EQ(CollectUsbPorts(world, WalkKey{}), ReferenceRecords());
}

TEST_F(PortQueriesTest, OlderAnswerIsCopiedWholeIntoTheFirstRecord) {
  world.hubs[kRA].rejectsConnectionInformationEx = true;
  Handle hub = world.CreateFileW((u"\\\\.\\" + kRA).c_str(), 0x40000000, 2, nullptr, 3, 0, nullptr);
  {
    std::optional<PortConnectionInfo> info = GetPortConnectionInfo(world, hub, 2);
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(info->DeviceIsHub());
    EXPECT_EQ(info->ConnectionStatus(), 1u);
    EXPECT_EQ(Load32(info->Bytes(), 0), 2u);
    EXPECT_EQ(Load32(info->Bytes(), 27), 1u);        // one open pipe
    EXPECT_EQ(info->Bytes()[35 + 2], 0x81);          // its endpoint address, from the pipe list
    EXPECT_EQ(info->Bytes()[35 + 11], 0x00);         // the rest of the 365 bytes stays zero
  }
  EXPECT_EQ(world.Open().localMemory, 0);  // the second record went at once, the first with info
  world.CloseHandle(hub);
}

TEST_F(PortQueriesTest, BothRequestsFailingReleasesBothRecords) {
  world.PortAt(kRA, 1).answersConnectionInformation = false;
  Handle hub = world.CreateFileW((u"\\\\.\\" + kRA).c_str(), 0x40000000, 2, nullptr, 3, 0, nullptr);
  EXPECT_FALSE(GetPortConnectionInfo(world, hub, 1).has_value());
  EXPECT_EQ(world.CallCount(Call::LocalAlloc), 2u);
  EXPECT_EQ(world.CallCount(Call::LocalFree), 2u);
  world.CloseHandle(hub);
}

TEST_F(PortQueriesTest, NoMemoryForTheRecordGivesFalse) {
  world.FailAlways(Call::LocalAlloc, kErrorNotEnoughMemory);
  uint16_t vid = 1, pid = 2;
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(kRA.c_str(), 1, &vid, &pid), 0);
  EXPECT_EQ(vid, 1);
  EXPECT_EQ(pid, 2);
}

TEST_F(PortQueriesTest, ConnectionIndexIsUsedInFullAndNullNameFails) {
  uint16_t vid = 0, pid = 0;
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(kRA.c_str(), 0x10001, &vid, &pid), 0);
  EXPECT_EQ(GetUsbDeviceVIDPIDFromHub(nullptr, 1, &vid, &pid), 0);
}

}  // namespace
}  // namespace device_library::fake
