// The USB hub walk: every non-hub device on every port of every hub below every host
// controller, reached first by legacy name, then by device interface, as UsbPortRecords.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "device_library/platform.h"

namespace device_library {

struct UsbPortRecord {
  std::u16string hubName;
  int32_t connectionIndex;
  uint16_t vid;
  uint16_t pid;
  friend bool operator==(const UsbPortRecord&, const UsbPortRecord&) = default;
};

// Vendor and product, each a 16-bit value or kAnyId, compared as unsigned 32-bit numbers.
struct WalkKey {
  static constexpr uint32_t kAnyId = 0xFFFFFFFF;
  uint32_t vid = kAnyId;
  uint32_t pid = kAnyId;
};

// The export's rule: the low 16 bits of each argument, 0 meaning any.
WalkKey WalkKeyFromExportArguments(uint32_t vidArgument, uint32_t pidArgument);

// Records in walk order, at most one per attachment point (hub name exact, connection index).
class UsbPortList {
 public:
  // False when the list already holds that attachment point.
  bool Append(UsbPortRecord record);
  const std::vector<UsbPortRecord>& Records() const { return records_; }
  std::vector<UsbPortRecord> TakeRecords() { return std::move(records_); }

 private:
  std::vector<UsbPortRecord> records_;
  std::unordered_set<std::u16string> attachmentPoints_;  // hub name, a zero unit, the connection index
};

std::vector<UsbPortRecord> CollectUsbPorts(Platform& platform, WalkKey key);
void ScanLegacyHostControllers(Platform& platform, WalkKey key, UsbPortList& list);
void ScanHostControllerInterfaces(Platform& platform, WalkKey key, UsbPortList& list);
std::u16string GetRootHubName(Platform& platform, Handle hostController);
bool WalkHub(Platform& platform, WalkKey key, std::u16string_view hubName, UsbPortList& list);
std::u16string GetExternalHubName(Platform& platform, Handle hub, uint32_t connectionIndex);

}  // namespace device_library
