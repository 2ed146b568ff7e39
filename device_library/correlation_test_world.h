// The device tree the correlation, descriptor and utility tests share, over the reference USB world
// (usb_test_world.h): device nodes with driver keys, composite and single-interface HID devices.
#pragma once

#include <string>

#include "device_library/fake_world.h"
#include "device_library/fake_world_scenarios.h"
#include "device_library/usb_test_world.h"

namespace device_library::fake {

// RA:1 09DA:1111 composite (MI_00, MI_01), its HID device under MI_01: the family collection.
// HC:2 09DA:2222 single-interface, its HID device directly below: the family collection and a mouse.
// HB:4 09DA:3333 and RA:3 09DA:4444 have driver keys, no HID device.
// A keyboard on no USB bus (below ACPI), family usage pair too.
inline const std::u16string kCompositeId = u"USB\\VID_09DA&PID_1111\\5&2A2B&0&1";
inline const std::u16string kCompositeMi00 = u"USB\\VID_09DA&PID_1111&MI_00\\6&3B3C&0&0000";
inline const std::u16string kCompositeMi01 = u"USB\\VID_09DA&PID_1111&MI_01\\6&3B3C&0&0001";
inline const std::u16string kSingleId = u"USB\\VID_09DA&PID_2222\\7&4C4D&0&2";
inline const std::u16string kHb4Id = u"USB\\VID_09DA&PID_3333\\6&5D5E&0&4";
inline const std::u16string kRa3Id = u"USB\\VID_09DA&PID_4444\\5&2A2B&0&3";
inline const std::u16string kAcpiId = u"ACPI\\PNP0303\\4&1F2E&0";
inline const std::u16string kCompositePath = HidPath(0x09DA, 0x1111, 1, 0, 0x11);
inline const std::u16string kSinglePath = HidPath(0x09DA, 0x2222, 0, 1, 0x22);
inline const std::u16string kSingleMousePath = HidPath(0x09DA, 0x2222, 0, 2, 0x22);
inline const std::u16string kAcpiPath = u"\\\\?\\hid#acpi_pnp0303#5&3c4d&0#{4d1e55b2-f16f-11cf-88cb-001111000030}";

inline std::u16string DriverKey(int n) {
  std::u16string key = u"{36fc9e60-c465-11cf-8056-444553540000}\\00";
  key += static_cast<char16_t>(u'0' + n / 10);
  key += static_cast<char16_t>(u'0' + n % 10);
  return key;
}

inline void AddHidDevice(FakeWorld& world, const std::u16string& path, uint16_t vid, uint16_t pid, uint16_t usagePage,
                         uint16_t usage, const std::u16string& parent, const std::u16string& nodeId) {
  world.AddHidCollection(path, vid, pid, usagePage, usage);
  if (world.FindDeviceNode(nodeId) == nullptr) world.AddDeviceNode(nodeId, parent, u"HID", DriverKey(90));
  world.SetInterfaceDevice(path, nodeId);
}

inline void BuildCorrelationWorld(FakeWorld& world) {
  BuildReferenceUsbWorld(world);
  world.PortAt(kRA, 1).driverKey = DriverKey(11);
  world.PortAt(kHC, 2).driverKey = DriverKey(22);
  world.PortAt(kHB, 4).driverKey = DriverKey(33);
  world.PortAt(kRA, 3).driverKey = DriverKey(44);
  world.AddDeviceNode(kAcpiId, u"ACPI\\ROOT", u"ACPI", DriverKey(5));
  world.AddDeviceNode(kCompositeId, u"USB\\ROOT_HUB30\\4&AAAA&0&0", u"USB", DriverKey(11));
  world.AddDeviceNode(kCompositeMi00, kCompositeId, u"USB", DriverKey(12));
  world.AddDeviceNode(kCompositeMi01, kCompositeId, u"USB", DriverKey(13));
  world.AddDeviceNode(kSingleId, u"USB\\VID_05E3&PID_0608\\6&CCCC&0&2", u"USB", DriverKey(22));
  world.AddDeviceNode(kHb4Id, u"USB\\VID_05E3&PID_0610\\5&BBBB&0&2", u"USB", DriverKey(33));
  world.AddDeviceNode(kRa3Id, u"USB\\ROOT_HUB30\\4&AAAA&0&0", u"USB", DriverKey(44));
  AddHidDevice(world, kAcpiPath, 0x09DA, 0x7777, 0xFFA0, 0xA5, kAcpiId, u"HID\\ACPI_PNP0303\\5&3C4D&0");
  AddHidDevice(world, kCompositePath, 0x09DA, 0x1111, 0xFFA0, 0xA5, kCompositeMi01,
               u"HID\\VID_09DA&PID_1111&MI_01\\7&11&0&0000");
  AddHidDevice(world, kSinglePath, 0x09DA, 0x2222, 0xFFA0, 0xA5, kSingleId, u"HID\\VID_09DA&PID_2222&COL01\\8&22&0&0000");
  AddHidDevice(world, kSingleMousePath, 0x09DA, 0x2222, 0x01, 0x02, kSingleId,
               u"HID\\VID_09DA&PID_2222&COL02\\8&22&0&0001");
}

}  // namespace device_library::fake
