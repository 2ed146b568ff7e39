// The scenarios and the benchmark world.
#include "device_library/fake_world_scenarios.h"

#include <cstdio>

namespace device_library::fake {

namespace {

std::u16string Widen(const char* text) {
  std::u16string wide;
  for (; *text; ++text) wide += static_cast<char16_t>(static_cast<unsigned char>(*text));
  return wide;
}

char Hex(uint32_t value) { return "0123456789ABCDEF"[value & 0xF]; }

}  // namespace

void AddCompositeDeviceNodes(FakeWorld& world, const std::u16string& hubName, uint32_t connectionIndex, uint16_t vid,
                             uint16_t pid, uint32_t instance,
                             const std::vector<std::vector<std::u16string>>& pathsPerInterface) {
  char text[96];
  std::snprintf(text, sizeof text, "USB\\VID_%04X&PID_%04X\\6&%08X&0&%u", vid, pid, 0x2B3C0000u + instance,
                connectionIndex);
  const std::u16string deviceId = Widen(text);
  std::snprintf(text, sizeof text, "{36fc9e60-c465-11cf-8056-444553540000}\\%04u", instance % 10000);
  const std::u16string driverKey = Widen(text);
  world.PortAt(hubName, connectionIndex).driverKey = driverKey;
  std::snprintf(text, sizeof text, "USB\\VID_%04X&PID_%04X", vid, pid);
  world.AddDeviceNode(deviceId, u"", u"USB", driverKey).hardwareIds = {Widen(text)};
  for (size_t mi = 0; mi < pathsPerInterface.size(); ++mi) {
    std::snprintf(text, sizeof text, "USB\\VID_%04X&PID_%04X&MI_%02u\\7&%08X&0&%04u", vid, pid,
                  static_cast<unsigned>(mi), 0x3C4D0000u + instance, static_cast<unsigned>(mi));
    const std::u16string interfaceId = Widen(text);
    world.AddDeviceNode(interfaceId, deviceId, u"USB", driverKey + u"-" + static_cast<char16_t>(u'0' + mi));
    for (size_t c = 0; c < pathsPerInterface[mi].size(); ++c) {
      std::u16string hidId = u"HID\\" + interfaceId.substr(4) + u"&COL" + static_cast<char16_t>(Hex(c + 1));
      world.AddDeviceNode(hidId, interfaceId, u"HID");
      world.SetInterfaceDevice(pathsPerInterface[mi][c], hidId);
    }
  }
}

std::u16string HidPath(uint16_t vid, uint16_t pid, int interfaceNumber, int collection, uint32_t instance) {
  char text[192];
  char part[32] = "";
  if (interfaceNumber >= 0) std::snprintf(part, sizeof part, "&mi_%02x", interfaceNumber);
  if (collection > 0) std::snprintf(part + std::char_traits<char>::length(part), 16, "&col%02d", collection);
  std::snprintf(text, sizeof text, "\\\\?\\hid#vid_%04x&pid_%04x%s#8&%08x&0&%04x#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                vid, pid, part, 0x1a2b0000u + instance, collection > 0 ? collection - 1 : 0);
  return Widen(text);
}

std::u16string RootHubName(uint32_t instance) {
  char text[128];
  std::snprintf(text, sizeof text, "USB#ROOT_HUB30#4&%08x&0&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}",
                0x2c3d0000u + instance);
  return Widen(text);
}

std::u16string ExternalHubName(uint16_t vid, uint16_t pid, uint32_t instance) {
  char text[128];
  std::snprintf(text, sizeof text, "USB#VID_%04X&PID_%04X#5&%08x&0&%u#{f18a0e88-c30c-11d0-8815-00a0c906bed8}", vid, pid,
                0x3e4f0000u + instance, instance % 16);
  return Widen(text);
}

std::u16string HostControllerInterfacePath(uint32_t instance) {
  char text[160];
  std::snprintf(text, sizeof text,
                "\\\\?\\pci#ven_8086&dev_a36d&subsys_86941043&rev_10#3&%08x&0&a%u#{3abf6f2d-71c4-462a-8a92-1e6861e6af27}",
                0x11583650u + instance, instance);
  return Widen(text);
}

std::u16string AddBridgeMouse(FakeWorld& world, const std::u16string& hubName, uint32_t connectionIndex, uint16_t pid,
                              uint32_t instance) {
  world.AttachDevice(hubName, connectionIndex, kBridgeVendor, pid);
  world.AddHidCollection(HidPath(kBridgeVendor, pid, 0, 0, instance), kBridgeVendor, pid, 0x01, 0x02)
      .opensForReadWrite = false;  // Windows keeps mice and keyboards for itself
  world.AddHidCollection(HidPath(kBridgeVendor, pid, 1, 1, instance), kBridgeVendor, pid, 0x0C, 0x01);
  HidCollection& vendor = world.AddHidCollection(HidPath(kBridgeVendor, pid, 1, 2, instance), kBridgeVendor, pid,
                                                 kBridgeUsagePage, 0x01);
  vendor.featureReportLength = kBridgeFeatureReportLength;
  std::vector<uint8_t> answer(kBridgeFeatureReportLength, 0);
  answer[0] = 0x07;
  vendor.featureReports[0x07] = answer;
  AddCompositeDeviceNodes(world, hubName, connectionIndex, kBridgeVendor, pid, instance,
                          {{HidPath(kBridgeVendor, pid, 0, 0, instance)},
                           {HidPath(kBridgeVendor, pid, 1, 1, instance), vendor.path}});
  return vendor.path;
}

std::vector<std::u16string> ScenarioNames() {
  return {u"empty",
          u"bridge_mouse",
          u"bridge_two_mice",
          u"bridge_mouse_refuses_report",
          u"bridge_second_mouse_refuses_report",
          u"bridge_other_vendor_same_pid",
          u"bridge_no_vendor_collection"};
}

bool BuildScenario(std::u16string_view name, FakeWorld& world) {
  bool known = false;
  for (const std::u16string& scenario : ScenarioNames()) known = known || scenario == name;
  if (!known) return false;

  world.hostControllers.clear();
  world.legacyControllerNames.clear();
  world.controllerInterfaces.clear();
  world.hubs.clear();
  world.hidCollections.clear();
  world.interfaces.clear();
  world.reportTransfers.clear();
  world.deviceNodes.clear();
  world.registrations.clear();
  world.restartedDevices.clear();
  world.sleptMilliseconds = 0;
  world.listSizeLeavesLength = false;
  world.ClearFaults();
  if (name == u"empty") return true;

  const std::u16string root = RootHubName(1);
  world.AddHostController(root, 0, HostControllerInterfacePath(1), 4);
  const std::u16string vendorPath = AddBridgeMouse(world, root, 1, kBridgeMousePid, 1);
  world.AttachDevice(root, 2, 0x046D, 0xC31C);
  world.AddHidCollection(HidPath(0x046D, 0xC31C, 0, 0, 2), 0x046D, 0xC31C, 0x01, 0x06).opensForReadWrite = false;
  AddCompositeDeviceNodes(world, root, 2, 0x046D, 0xC31C, 2, {{HidPath(0x046D, 0xC31C, 0, 0, 2)}});

  if (name == u"bridge_mouse_refuses_report") world.FindHidCollection(vendorPath)->acceptsReports = false;
  if (name == u"bridge_other_vendor_same_pid") world.AttachDevice(root, 4, 0x046D, kBridgeMousePid);
  if (name == u"bridge_no_vendor_collection") {
    std::erase_if(world.hidCollections, [&](const HidCollection& c) { return c.path == vendorPath; });
    std::erase_if(world.interfaces, [&](const DeviceInterface& i) { return i.path == vendorPath; });
  }
  if (name == u"bridge_two_mice" || name == u"bridge_second_mouse_refuses_report") {
    const std::u16string hub = ExternalHubName(0x05E3, 0x0608, 3);
    world.AttachHub(root, 3, hub, 4);
    const std::u16string second = AddBridgeMouse(world, hub, 2, kBridgeSecondMousePid, 3);
    if (name == u"bridge_second_mouse_refuses_report") world.FindHidCollection(second)->acceptsReports = false;
  }
  return true;
}

void BuildBenchmarkWorld(FakeWorld& world, uint32_t controllers) {
  // Per controller: root hub (8 ports: devices on 1-4, a hub on 5), tier-2 hub (8 ports: devices
  // on 1-4, a hub on 5), tier-3 hub (8 ports: devices on 1-8): 16 devices, 64 in all.
  uint32_t instance = 0;
  for (uint32_t c = 0; c < controllers; ++c) {
    const std::u16string root = RootHubName(c);
    const int legacyNumber = c <= 2 ? static_cast<int>(c) : -1;
    const std::u16string interfacePath = c != 2 ? HostControllerInterfacePath(c) : u"";
    world.AddHostController(root, legacyNumber, interfacePath, 8);
    const std::u16string tier2 = ExternalHubName(0x05E3, 0x0610, 100 + c);
    const std::u16string tier3 = ExternalHubName(0x05E3, 0x0608, 200 + c);
    world.AttachHub(root, 5, tier2, 8);
    world.AttachHub(tier2, 5, tier3, 8);
    auto attach = [&](const std::u16string& hub, uint32_t port) {
      const uint16_t vid = (instance % 4 == 0) ? kBridgeVendor : 0x046D;
      const uint16_t pid = static_cast<uint16_t>(0x1000 + instance);  // unique: one device per product
      world.AttachDevice(hub, port, vid, pid);
      world.AddHidCollection(HidPath(vid, pid, 0, 0, instance), vid, pid, 0x01, 0x02);
      world.AddHidCollection(HidPath(vid, pid, 1, 0, instance), vid, pid, vid == kBridgeVendor ? kBridgeUsagePage : 0x0C,
                             0x01);
      AddCompositeDeviceNodes(world, hub, port, vid, pid, instance,
                              {{HidPath(vid, pid, 0, 0, instance)}, {HidPath(vid, pid, 1, 0, instance)}});
      ++instance;
    };
    for (uint32_t port = 1; port <= 4; ++port) attach(root, port);
    for (uint32_t port = 1; port <= 4; ++port) attach(tier2, port);
    for (uint32_t port = 1; port <= 8; ++port) attach(tier3, port);
  }
}

}  // namespace device_library::fake
