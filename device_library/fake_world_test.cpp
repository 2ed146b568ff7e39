// The fake world itself: it must answer like Windows, record for record, or the other tests prove
// nothing about sizes and offsets.
#include "device_library/fake_world.h"

#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

const std::u16string kRoot = u"USB#ROOT_HUB30#4&1&0&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

class FakeWorldRecordsTest : public FakeWorldTest {
 protected:
  void SetUp() override {
    world.AddHostController(kRoot, 2, u"\\\\?\\pci#hc", 3);
    world.AttachDevice(kRoot, 2, 0x09DA, 0x1234, 0x0210);
    world.AddHidCollection(u"\\\\?\\hid#a", 0x09DA, 0x1234, 0xFFA7, 1);
  }
  Handle Open(const std::u16string& path) {
    return world.CreateFileW(path.c_str(), 0x40000000, 2, nullptr, 3, 0, nullptr);
  }
};

TEST_F(FakeWorldRecordsTest, RootHubNameTwoStepWithActualLength) {
  Handle controller = Open(u"\\\\.\\HCD2");
  ASSERT_NE(controller, InvalidHandleValue());
  uint8_t first[6];
  std::fill(std::begin(first), std::end(first), 0xEE);
  uint32_t returned = 99;
  ASSERT_TRUE(world.DeviceIoControl(controller, 0x220408, nullptr, 0, first, 6, &returned, nullptr));
  const uint32_t actual = Load32(first, 0);
  EXPECT_EQ(actual, 4 + (kRoot.size() + 1) * 2);
  EXPECT_EQ(Load16(first, 4), u'U');
  EXPECT_EQ(returned, 6u);
  std::vector<uint8_t> whole(actual, 0xEE);
  ASSERT_TRUE(world.DeviceIoControl(controller, 0x220408, nullptr, 0, whole.data(), actual, &returned, nullptr));
  EXPECT_EQ(returned, actual);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(whole.data() + 4)), kRoot);
  uint8_t tooSmall[5];
  EXPECT_FALSE(world.DeviceIoControl(controller, 0x220408, nullptr, 0, tooSmall, 5, &returned, nullptr));
  world.CloseHandle(controller);
}

TEST_F(FakeWorldRecordsTest, NodeInformationCarriesThePortCountAtOffsetSix) {
  Handle hub = Open(u"\\\\.\\" + kRoot);
  uint8_t node[76] = {};
  uint32_t returned = 0;
  ASSERT_TRUE(world.DeviceIoControl(hub, 0x220408, node, 76, node, 76, &returned, nullptr));
  EXPECT_EQ(returned, 76u);
  EXPECT_EQ(node[5], 0x29);
  EXPECT_EQ(node[6], 3);
  EXPECT_FALSE(world.DeviceIoControl(hub, 0x220408, node, 75, node, 75, &returned, nullptr));
  world.CloseHandle(hub);
}

TEST_F(FakeWorldRecordsTest, ConnectionInformationAtThePublishedOffsets) {
  Handle hub = Open(u"\\\\.\\" + kRoot);
  uint8_t record[365] = {};
  Store32(record, 0, 2);
  uint32_t returned = 0;
  ASSERT_TRUE(world.DeviceIoControl(hub, 0x220448, record, 365, record, 365, &returned, nullptr));
  EXPECT_EQ(returned, 35u + 11u);
  EXPECT_EQ(record[4], 18);                   // bLength of the device descriptor
  EXPECT_EQ(Load16(record, 4 + 8), 0x09DA);   // idVendor
  EXPECT_EQ(Load16(record, 4 + 10), 0x1234);  // idProduct
  EXPECT_EQ(Load16(record, 4 + 12), 0x0210);  // bcdDevice
  EXPECT_EQ(record[24], 0);                   // DeviceIsHub
  EXPECT_EQ(Load32(record, 31), 1u);          // DeviceConnected
  // The fixed part alone is enough room; less is not.
  EXPECT_TRUE(world.DeviceIoControl(hub, 0x220448, record, 35, record, 35, &returned, nullptr));
  EXPECT_EQ(returned, 35u);
  EXPECT_FALSE(world.DeviceIoControl(hub, 0x220448, record, 34, record, 34, &returned, nullptr));
  world.CloseHandle(hub);
}

TEST_F(FakeWorldRecordsTest, InterfaceAndDetailRecordsMustCarryTheirExactSizes) {
  DeviceInfoSet set = world.SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr, 0x12);
  ASSERT_NE(set, InvalidHandleValue());
  DeviceInterfaceData data{};
  data.cbSize = sizeof(DeviceInterfaceData) - 4;
  EXPECT_FALSE(world.SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, 0, &data));
  EXPECT_EQ(world.GetLastError(), kErrorInvalidUserBuffer);
  data.cbSize = sizeof(DeviceInterfaceData);
  ASSERT_TRUE(world.SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, 0, &data));
  EXPECT_FALSE(world.SetupDiEnumDeviceInterfaces(set, nullptr, &kHidInterfaceClass, 1, &data));
  EXPECT_EQ(world.GetLastError(), kErrorNoMoreItems);

  uint32_t required = 0;
  EXPECT_FALSE(world.SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr));
  EXPECT_EQ(world.GetLastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(required, 4u + 10u * 2u);  // "\\?\hid#a" and its terminator
  std::vector<uint8_t> buffer(required, 0);
  auto* detail = reinterpret_cast<DeviceInterfaceDetailDataW*>(buffer.data());
  detail->cbSize = 6 + 2;  // neither 6 nor 8 fits both targets: only sizeof does
  detail->cbSize = sizeof(DeviceInterfaceDetailDataW) == 6 ? 8 : 6;
  EXPECT_FALSE(world.SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, nullptr, nullptr));
  EXPECT_EQ(world.GetLastError(), kErrorInvalidUserBuffer);
  detail->cbSize = sizeof(DeviceInterfaceDetailDataW);
  EXPECT_FALSE(world.SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required - 1, nullptr, nullptr));
  ASSERT_TRUE(world.SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, nullptr, nullptr));
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer.data() + 4)), u"\\\\?\\hid#a");
  world.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(FakeWorldRecordsTest, CountsOpensAndReleasesOfEveryKind) {
  Handle hid = world.CreateFileW(u"\\\\?\\HID#A", 0, 3, nullptr, 3, 0x40000000, nullptr);  // names ignore case
  ASSERT_NE(hid, InvalidHandleValue());
  PreparsedData preparsed = nullptr;
  ASSERT_TRUE(world.HidD_GetPreparsedData(hid, &preparsed));
  DeviceInfoSet set = world.SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr, 0x12);
  void* memory = world.LocalAlloc(0, 10);
  EXPECT_EQ(static_cast<uint8_t*>(memory)[9], 0xCD);  // not zero-filled unless asked
  const Outstanding open = world.Open();
  EXPECT_EQ(open.files, 1);
  EXPECT_EQ(open.preparsedData, 1);
  EXPECT_EQ(open.deviceInfoSets, 1);
  EXPECT_EQ(open.localMemory, 1);
  world.LocalFree(memory);
  world.SetupDiDestroyDeviceInfoList(set);
  world.HidD_FreePreparsedData(preparsed);
  world.CloseHandle(hid);
  EXPECT_FALSE(world.CloseHandle(hid));  // twice is an error
  EXPECT_EQ(world.GetLastError(), kErrorInvalidHandle);
}

TEST_F(FakeWorldRecordsTest, FailsTheNthCallOnDemand) {
  world.FailNth(Call::CreateFileW, 2, kErrorAccessDenied);
  Handle first = Open(u"\\\\.\\HCD2");
  EXPECT_NE(first, InvalidHandleValue());
  EXPECT_EQ(Open(u"\\\\.\\HCD2"), InvalidHandleValue());
  EXPECT_EQ(world.GetLastError(), kErrorAccessDenied);
  Handle third = Open(u"\\\\.\\HCD2");
  EXPECT_NE(third, InvalidHandleValue());
  world.CloseHandle(first);
  world.CloseHandle(third);
  EXPECT_EQ(world.CallCount(Call::CreateFileW), 3u);
}

TEST(FakeWorldCalls, NamesRoundTrip) {
  for (size_t c = 0; c < kCallCount; ++c) {
    Call call;
    ASSERT_TRUE(CallFromName(CallName(static_cast<Call>(c)), &call));
    EXPECT_EQ(call, static_cast<Call>(c));
  }
  Call call;
  EXPECT_FALSE(CallFromName("SetupDiChangeState", &call));
}

}  // namespace
}  // namespace device_library::fake
