// The USB topology the walk and port-query tests share, and the records its walk must give.
#pragma once

#include <string>
#include <vector>

#include "device_library/fake_world.h"
#include "device_library/usb_hub_walk.h"

namespace device_library::fake {

// Controller A: "\\.\HCD0" and interface IA, root hub RA
//   RA:1 mouse 09DA:1111
//   RA:2 hub HB: HB:1 046D:C077, HB:2 hub HC (HC:1 empty, HC:2 09DA:2222), HB:3 empty, HB:4 09DA:3333
//   RA:3 09DA:4444, RA:4 empty
// Controller B: "\\.\HCD3" only, root hub RB: RB:1 empty, RB:2 046D:AAAA
// Controller C: interface IC only, root hub RC: RC:1 1234:0001
// Controller D: "\\.\HCD5", gives no root hub name.
inline const std::u16string kRA = u"USB#ROOT_HUB30#4&aaaa&0&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
inline const std::u16string kRB = u"USB#ROOT_HUB20#4&bbbb&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
inline const std::u16string kRC = u"USB#ROOT_HUB30#4&cccc&0&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
inline const std::u16string kHB = u"USB#VID_05E3&PID_0610#5&bbbb&0&2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
inline const std::u16string kHC = u"USB#VID_05E3&PID_0608#6&cccc&0&2#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
inline const std::u16string kIA = u"\\\\?\\pci#ven_8086&dev_a36d#3&aaaa&0&a0#{3abf6f2d-71c4-462a-8a92-1e6861e6af27}";
inline const std::u16string kIC = u"\\\\?\\pci#ven_1022&dev_149c#3&cccc&0&c0#{3abf6f2d-71c4-462a-8a92-1e6861e6af27}";

inline void BuildReferenceUsbWorld(FakeWorld& world) {
  world.AddHostController(kRA, 0, kIA, 4);
  world.AttachDevice(kRA, 1, 0x09DA, 0x1111);
  world.AttachHub(kRA, 2, kHB, 4);
  world.AttachDevice(kHB, 1, 0x046D, 0xC077);
  world.AttachHub(kHB, 2, kHC, 2);
  world.AttachDevice(kHC, 2, 0x09DA, 0x2222);
  world.AttachDevice(kHB, 4, 0x09DA, 0x3333);
  world.AttachDevice(kRA, 3, 0x09DA, 0x4444);
  world.AddHostController(kRB, 3, u"", 2);
  world.AttachDevice(kRB, 2, 0x046D, 0xAAAA);
  world.AddHostController(kRC, -1, kIC, 1);
  world.AttachDevice(kRC, 1, 0x1234, 0x0001);
  const size_t d = world.AddHostController(u"USB#ROOT_HUB#nameless", 5, u"", 1);
  world.hostControllers[d].answersRootHubName = false;
}

inline std::vector<UsbPortRecord> ReferenceRecords() {
  return {{kRA, 1, 0x09DA, 0x1111}, {kHB, 1, 0x046D, 0xC077}, {kHC, 2, 0x09DA, 0x2222}, {kHB, 4, 0x09DA, 0x3333},
          {kRA, 3, 0x09DA, 0x4444}, {kRB, 2, 0x046D, 0xAAAA}, {kRC, 1, 0x1234, 0x0001}};
}

}  // namespace device_library::fake
