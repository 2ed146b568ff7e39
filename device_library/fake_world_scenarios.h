// Ready-made fake worlds: the small scenarios the fake-world DLL can be switched to, and the
// benchmark's large world.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device_library/fake_world.h"

namespace device_library::fake {

// A HID interface path as Windows writes it (lower case), e.g.
// \\?\hid#vid_09da&pid_1234&mi_01&col02#8&1a2b3c4d&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}
std::u16string HidPath(uint16_t vid, uint16_t pid, int interfaceNumber, int collection, uint32_t instance);
// A hub name as a host controller or hub reports it (no "\\.\"), e.g.
// USB#ROOT_HUB30#4&1a2b3c4d&0&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}
std::u16string RootHubName(uint32_t instance);
std::u16string ExternalHubName(uint16_t vid, uint16_t pid, uint32_t instance);
std::u16string HostControllerInterfacePath(uint32_t instance);

// The bridge mouse: vendor 0x09DA, product kBridgeMousePid, a mouse collection (1/2), a consumer
// collection (0x0C/1) and the vendor collection on usage page 0xFFA7 (usage 1, 72-byte feature report).
inline constexpr uint16_t kBridgeVendor = 0x09DA;
inline constexpr uint16_t kBridgeMousePid = 0x1234;
inline constexpr uint16_t kBridgeSecondMousePid = 0x5678;
inline constexpr uint16_t kBridgeUsagePage = 0xFFA7;
inline constexpr uint16_t kBridgeFeatureReportLength = 72;

// Adds one bridge mouse with its three collections; returns the path of its 0xFFA7 collection.
std::u16string AddBridgeMouse(FakeWorld& world, const std::u16string& hubName, uint32_t connectionIndex, uint16_t pid,
                              uint32_t instance);

// The device tree of a composite USB device on a port: the port's driver key, the device node, one
// interface node per entry of pathsPerInterface and below each a HID node per path it exposes.
void AddCompositeDeviceNodes(FakeWorld& world, const std::u16string& hubName, uint32_t connectionIndex, uint16_t vid,
                             uint16_t pid, uint32_t instance,
                             const std::vector<std::vector<std::u16string>>& pathsPerInterface);

// The scenarios, by name (every attached device carries its device tree):
//   empty                        nothing attached, no host controller
//   bridge_mouse                 one controller (HCD0 and its interface), a bridge mouse on root port 1,
//                                a keyboard of another vendor (046D:C31C, collection 1/6) on port 2
//   bridge_two_mice              bridge_mouse plus an external hub on root port 3 carrying a second
//                                bridge mouse (product 0x5678) on its port 2
//   bridge_mouse_refuses_report  bridge_mouse whose 0xFFA7 collection fails every report (ERROR_GEN_FAILURE)
//   bridge_second_mouse_refuses_report  bridge_two_mice whose second mouse fails every report
//   bridge_other_vendor_same_pid bridge_mouse plus a device 046D:1234 (no HID collection) on root port 4
//   bridge_no_vendor_collection  bridge_mouse without its 0xFFA7 collection
std::vector<std::u16string> ScenarioNames();
// Replaces the world's model with the named scenario; false (world untouched) for an unknown name.
bool BuildScenario(std::u16string_view name, FakeWorld& world);

// The benchmark's world: 4 host controllers (two reachable both ways, one by legacy name only,
// one by interface only), 3 hub tiers below each root hub, 16 devices with 2 collections each
// per controller: 64 devices and 128 collections. More controllers (interface only) scale it.
void BuildBenchmarkWorld(FakeWorld& world, uint32_t controllers = 4);

}  // namespace device_library::fake
