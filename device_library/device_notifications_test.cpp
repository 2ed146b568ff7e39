// Device-change subscriptions in the fake world: the four registrations and their records, the
// handle record, and unregistering.
#include "device_library/device_notifications.h"

#include <cstring>

#include "device_library/device_library.h"
#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

Handle Window() { return reinterpret_cast<Handle>(uintptr_t{0x10042}); }

DevBroadcastDeviceInterfaceW InterfaceRecord(const Registration& r) {
  DevBroadcastDeviceInterfaceW record;
  EXPECT_EQ(r.filter.size(), sizeof record);
  std::memcpy(&record, r.filter.data(), std::min(sizeof record, r.filter.size()));
  return record;
}

using NotificationTest = FakeWorldTest;

TEST_F(NotificationTest, FourRegistrationsInOrderEachAZeroFilledInterfaceRecord) {
  void* handle = RegisterDeviceNotification_ArrivalRemove(Window());
  ASSERT_EQ(world.registrations.size(), 4u);
  const Guid expected[] = {kUsbDeviceInterfaceClass, kHidInterfaceClass, kMouseInterfaceClass,
                           kKeyboardInterfaceClass};
  for (size_t i = 0; i < 4; ++i) {
    const Registration& r = world.registrations[i];
    EXPECT_EQ(r.recipient, Window());
    EXPECT_EQ(r.flags, kDeviceNotifyWindowHandle);
    const DevBroadcastDeviceInterfaceW record = InterfaceRecord(r);
    EXPECT_EQ(record.dbcc_size, 32u);
    EXPECT_EQ(record.dbcc_devicetype, 5u);
    EXPECT_EQ(record.dbcc_reserved, 0u);
    EXPECT_TRUE(record.dbcc_classguid == expected[i]) << i;
    EXPECT_EQ(r.filter[28], 0);  // the empty name and the padding after it
    EXPECT_EQ(r.filter[31], 0);
  }
  EXPECT_EQ(world.CallCount(Call::HidD_GetHidGuid), 1u);
  // The result is the keyboard registration: unregistering it ends that one only.
  EXPECT_EQ(UnregisterDeviceNotification_ArrivalRemove(handle), 1);
  EXPECT_FALSE(world.registrations[3].active);
  EXPECT_TRUE(world.registrations[0].active && world.registrations[1].active && world.registrations[2].active);
}

TEST_F(NotificationTest, HidClassIsAskedAtEveryCall) {
  void* first = RegisterDeviceNotification_ArrivalRemove(Window());
  void* second = RegisterDeviceNotification_ArrivalRemove(Window());
  EXPECT_EQ(world.registrations.size(), 8u);
  EXPECT_EQ(world.CallCount(Call::HidD_GetHidGuid), 2u);
  EXPECT_NE(first, second);
  EXPECT_EQ(UnregisterDeviceNotification_ArrivalRemove(second), 1);
  EXPECT_TRUE(world.registrations[3].active);
  EXPECT_FALSE(world.registrations[7].active);
}

TEST_F(NotificationTest, AFailedRegistrationStopsNoneOfTheOthersAndOnlyTheLastDecides) {
  world.FailNth(Call::RegisterDeviceNotificationW, 1);
  EXPECT_NE(RegisterDeviceNotification_ArrivalRemove(Window()), nullptr);
  EXPECT_EQ(world.registrations.size(), 3u);
  EXPECT_EQ(world.CallCount(Call::RegisterDeviceNotificationW), 4u);
  world.FailNth(Call::RegisterDeviceNotificationW, 4);
  EXPECT_EQ(RegisterDeviceNotification_ArrivalRemove(Window()), nullptr);
  EXPECT_EQ(world.registrations.size(), 6u);
}

TEST_F(NotificationTest, UnregisterReturnsExactlyTheSystemsResult) {
  void* handle = RegisterDeviceNotification_QueryRemove(Window(), reinterpret_cast<Handle>(uintptr_t{0x2468}));
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(UnregisterDeviceNotification_ArrivalRemove(handle), 1);
  EXPECT_EQ(UnregisterDeviceNotification_ArrivalRemove(handle), 0);
  EXPECT_EQ(UnregisterDeviceNotification_ArrivalRemove(nullptr), 0);
}

TEST_F(NotificationTest, QueryRemoveRecordCarriesOnlySizeTypeAndTheDeviceHandle) {
  const Handle device = reinterpret_cast<Handle>(uintptr_t{0x2468});
  ASSERT_NE(RegisterDeviceNotification_QueryRemove(Window(), device), nullptr);
  ASSERT_EQ(world.registrations.size(), 1u);
  const std::vector<uint8_t>& bytes = world.registrations[0].filter;
  ASSERT_EQ(bytes.size(), sizeof(void*) == 4 ? 44u : 56u);
  EXPECT_EQ(Load32(bytes.data(), 0), bytes.size());
  EXPECT_EQ(Load32(bytes.data(), 4), 6u);
  const size_t handleAt = offsetof(DevBroadcastHandle, dbch_handle);
  Handle stored;
  std::memcpy(&stored, bytes.data() + handleAt, sizeof stored);
  EXPECT_EQ(stored, device);
  for (size_t i = 8; i < bytes.size(); ++i)
    if (i < handleAt || i >= handleAt + sizeof(Handle)) {
      EXPECT_EQ(bytes[i], 0) << "byte " << i;
    }
}

TEST_F(NotificationTest, NoWindowNoRegistration) {
  EXPECT_EQ(RegisterDeviceNotification_QueryRemove(nullptr, nullptr), nullptr);
  EXPECT_EQ(RegisterDeviceNotification_ArrivalRemove(nullptr), nullptr);
  EXPECT_TRUE(world.registrations.empty());
}

}  // namespace
}  // namespace device_library::fake
