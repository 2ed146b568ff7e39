// Descriptor requests through a hub in the fake world: the request block, the three exports'
// copies, short and overlong answers, null outputs and refusals.
#include "device_library/hub_descriptor_request.h"

#include <optional>

#include "device_library/device_library.h"
#include "device_library/test_support.h"
#include "device_library/usb_test_world.h"

namespace device_library::fake {
namespace {

enum class Export { Write, Read, ReadEx };
constexpr uint8_t kUnwritten = 0xEE;
constexpr uint16_t kReceivedUnset = 0xBEEF;

// String descriptor 2 in US English: "ABC".
const std::vector<uint8_t> kProductString = {8, 3, 'A', 0, 'B', 0, 'C', 0};

struct Request {
  const char* name;
  void (*shape)(FakeWorld&);
  Export which;
  std::u16string hub;
  uint32_t port, wValue, wIndex, wLength;
  bool nullData, nullReceived;
  uint8_t result;
  std::vector<uint8_t> written;  // the bytes of data written, in full (the rest stays unwritten)
  uint16_t received;             // kReceivedUnset: untouched
};
void PrintTo(const Request& r, std::ostream* os) { *os << r.name; }

void Nothing(FakeWorld&) {}
std::vector<uint8_t> Descriptor(uint16_t vid, uint16_t pid) {
  const auto d = MakeDeviceDescriptor(vid, pid);
  return {d.begin(), d.end()};
}
std::vector<uint8_t> Padded(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size, 0);
  return bytes;
}
std::vector<uint8_t> Head(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

const Request kRequests[] = {
    {"ReadExDeviceDescriptorWithRoomToSpare", Nothing, Export::ReadEx, kRA, 1, 0x0100, 0, 255, false, false, 1,
     Descriptor(0x09DA, 0x1111), 18},
    {"ReadCopiesWLengthWithZerosPastTheAnswer", Nothing, Export::Read, kRA, 1, 0x0100, 0, 40, false, false, 1,
     Padded(Descriptor(0x09DA, 0x1111), 40), kReceivedUnset},
    {"ReadExStringDescriptorCutToWLength", Nothing, Export::ReadEx, kHB, 4, 0x0302, 0x0409, 4, false, false, 1,
     {8, 3, 'A', 0}, 4},
    {"HighBitsOfTheSixteenBitArgumentsIgnored", Nothing, Export::ReadEx, kHB, 4, 0x10302, 0x30409, 0x10008, false,
     false, 1, kProductString, 8},
    {"ZeroLengthCopiesNothing", Nothing, Export::Read, kRA, 1, 0x0100, 0, 0, false, false, 1, {}, kReceivedUnset},
    {"ReadExWithNullDataStillCounts", Nothing, Export::ReadEx, kRA, 1, 0x0100, 0, 255, true, false, 1, {}, 18},
    {"ReadExWithNullReceivedActsAsRead", Nothing, Export::ReadEx, kRA, 1, 0x0100, 0, 20, false, true, 1,
     Padded(Descriptor(0x09DA, 0x1111), 20), kReceivedUnset},
    {"WriteOnlyReportsTheOutcome", Nothing, Export::Write, kRA, 1, 0x0100, 0, 18, false, false, 1, {},
     kReceivedUnset},
    {"EmptyPortRefuses", Nothing, Export::ReadEx, kRA, 4, 0x0100, 0, 18, false, false, 0, {}, kReceivedUnset},
    {"UnsupportedDescriptorStalls", Nothing, Export::ReadEx, kRA, 1, 0x0600, 0, 10, false, false, 0, {},
     kReceivedUnset},
    {"NoSuchHub", Nothing, Export::Read, u"USB#NONE", 1, 0x0100, 0, 18, false, false, 0, {}, kReceivedUnset},
    {"HubThatDoesNotOpen", [](FakeWorld& w) { w.hubs.at(kRA).opens = false; }, Export::ReadEx, kRA, 1, 0x0100, 0, 18,
     false, false, 0, {}, kReceivedUnset},
    // A driver that reports success with less than the 12-byte header: no data, nothing copied.
    {"ShortSuccessCopiesNothingReadEx", [](FakeWorld& w) { w.PortAt(kRA, 1).descriptorBytesReturned = 8; },
     Export::ReadEx, kRA, 1, 0x0100, 0, 18, false, false, 1, {}, 0},
    {"ShortSuccessCopiesNothingRead", [](FakeWorld& w) { w.PortAt(kRA, 1).descriptorBytesReturned = 8; },
     Export::Read, kRA, 1, 0x0100, 0, 18, false, false, 1, {}, kReceivedUnset},
    {"HeaderOnlySuccessReadExCountsZero", [](FakeWorld& w) { w.PortAt(kRA, 1).descriptorBytesReturned = 12; },
     Export::ReadEx, kRA, 1, 0x0100, 0, 18, false, false, 1, {}, 0},
    // A driver that reports more than it was asked for: held to wLength.
    {"OverlongAnswerHeldToWLength", [](FakeWorld& w) { w.PortAt(kRA, 1).descriptorBytesReturned = 12 + 10 + 50; },
     Export::ReadEx, kRA, 1, 0x0100, 0, 10, false, false, 1, Head(Descriptor(0x09DA, 0x1111), 10), 10},
};

class DescriptorRequestTest : public FakeWorldTest, public testing::WithParamInterface<Request> {};

TEST_P(DescriptorRequestTest, CopiesWhatTheHubAnswered) {
  const Request& r = GetParam();
  BuildReferenceUsbWorld(world);
  world.PortAt(kHB, 4).descriptors[(0x0302u << 16) | 0x0409] = kProductString;
  r.shape(world);
  std::vector<uint8_t> data(300, kUnwritten);
  uint16_t received = kReceivedUnset;
  uint8_t* dataArg = r.nullData ? nullptr : data.data();
  uint16_t* receivedArg = r.nullReceived ? nullptr : &received;
  uint8_t result = 0;
  switch (r.which) {
    case Export::Write: result = Write(r.hub.c_str(), r.port, r.wValue, r.wIndex, r.wLength); break;
    case Export::Read: result = Read(r.hub.c_str(), r.port, r.wValue, r.wIndex, r.wLength, dataArg); break;
    case Export::ReadEx:
      result = ReadEx(r.hub.c_str(), r.port, r.wValue, r.wIndex, r.wLength, dataArg, receivedArg);
      break;
  }
  EXPECT_EQ(result, r.result);
  EXPECT_EQ(received, r.received);
  const std::vector<uint8_t> written(data.begin(), data.begin() + static_cast<ptrdiff_t>(r.written.size()));
  EXPECT_EQ(written, r.written);
  for (size_t i = r.written.size(); i < data.size(); ++i) ASSERT_EQ(data[i], kUnwritten) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Requests, DescriptorRequestTest, testing::ValuesIn(kRequests),
                         [](const auto& info) { return info.param.name; });

using DescriptorBlockTest = FakeWorldTest;

TEST_F(DescriptorBlockTest, OneZeroFilledBlockGoesOutAsInputAndOutputAndTheHubIsClosed) {
  BuildReferenceUsbWorld(world);
  std::array<uint8_t, 18> data{};
  uint16_t received = 0;
  ASSERT_EQ(ReadEx(kHB.c_str(), 4, 0x0100, 0, 18, data.data(), &received), 1);
  const auto opens = world.CallsOf(Call::CreateFileW);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(Narrow(opens[0].text), Narrow(u"\\\\.\\" + kHB));
  EXPECT_EQ(opens[0].args, (std::array<uint32_t, 4>{kGenericWrite, kFileShareWrite, kOpenExisting, 0}));
  const auto allocs = world.CallsOf(Call::LocalAlloc);
  ASSERT_EQ(allocs.size(), 1u);
  EXPECT_EQ(allocs[0].args, (std::array<uint32_t, 4>{kLmemZeroInit, 30, 0, 0}));
  const auto requests = world.CallsOf(Call::DeviceIoControl);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].args, (std::array<uint32_t, 4>{usb::kIoctlGetDescriptorFromNodeConnection, 30, 30, 4}));
  EXPECT_EQ(world.CallCount(Call::CancelIo), 1u);
  EXPECT_EQ(world.CallCount(Call::CloseHandle), 1u);
  EXPECT_EQ(data[8], 0xDA);  // idVendor 0x09DA, little-endian
  EXPECT_EQ(data[9], 0x09);
}

TEST_F(DescriptorBlockTest, PrefixIsAddedAlsoToANameThatCarriesIt) {
  BuildReferenceUsbWorld(world);
  EXPECT_EQ(Write((u"\\\\.\\" + kRA).c_str(), 1, 0x0100, 0, 18), 0);
  EXPECT_EQ(Narrow(world.CallsOf(Call::CreateFileW).at(0).text), Narrow(u"\\\\.\\\\\\.\\" + kRA));
  EXPECT_EQ(Write(nullptr, 1, 0x0100, 0, 18), 0);
}

TEST_F(DescriptorBlockTest, IssuedRequestYieldsTheFilledBlockOrNothing) {
  BuildReferenceUsbWorld(world);
  const Handle hub = world.CreateFileW((u"\\\\.\\" + kRA).c_str(), kGenericWrite, kFileShareWrite, nullptr,
                                       kOpenExisting, 0, nullptr);
  uint16_t received = kReceivedUnset;
  {
    LocalBuffer block = IssuePortDescriptorRequest(world, hub, 1, &received, 0x0100, 0, 64);
    ASSERT_TRUE(block);
    EXPECT_EQ(block.size(), 76u);
    EXPECT_EQ(Load32(block.data(), 0), 1u);
    EXPECT_EQ(block.data()[4], 0x80);
    EXPECT_EQ(block.data()[5], 0x06);
    EXPECT_EQ(Load16(block.data(), 6), 0x0100);
    EXPECT_EQ(Load16(block.data(), 10), 64);
    EXPECT_EQ(block.data()[12], 18);
    EXPECT_EQ(block.data()[12 + 18], 0);
    EXPECT_EQ(received, 18);
  }
  received = kReceivedUnset;
  EXPECT_FALSE(IssuePortDescriptorRequest(world, hub, 4, &received, 0x0100, 0, 64));
  EXPECT_EQ(received, kReceivedUnset);
  world.CloseHandle(hub);
}

}  // namespace
}  // namespace device_library::fake
