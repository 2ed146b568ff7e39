// The fake-world DLL's extra exports over the built-in world.
#include "device_library/fake_world_exports.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "device_library/fake_world_installed.h"
#include "device_library/string_output.h"

using namespace device_library;
using namespace device_library::fake;

extern "C" {

uint8_t DEVICE_LIBRARY_CALL FakeWorldUseScenario(const char16_t* name) {
  try {
    return name && UseBuiltInScenario(name) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int32_t DEVICE_LIBRARY_CALL FakeWorldReportCount(void) {
  return static_cast<int32_t>(InstalledFakeWorld().reportTransfers.size());
}

int32_t DEVICE_LIBRARY_CALL FakeWorldGetReport(int32_t index, char16_t* pathOut, uint8_t* bytesOut,
                                               uint32_t bytesCapacity, uint8_t* acceptedOut) {
  try {
    const auto& reports = InstalledFakeWorld().reportTransfers;
    if (index < 0 || static_cast<size_t>(index) >= reports.size()) return -1;
    const ReportTransfer& report = reports[static_cast<size_t>(index)];
    WriteStringOutput(pathOut, report.path);
    if (bytesOut) std::memcpy(bytesOut, report.bytes.data(), std::min<size_t>(report.bytes.size(), bytesCapacity));
    if (acceptedOut) *acceptedOut = report.accepted ? 1 : 0;
    return static_cast<int32_t>(report.bytes.size());
  } catch (...) {
    return -1;
  }
}

int32_t DEVICE_LIBRARY_CALL FakeWorldOpenObjectCount(void) { return InstalledFakeWorld().Open().Total(); }

uint8_t DEVICE_LIBRARY_CALL FakeWorldFailCall(const char16_t* callName, int32_t occurrence, uint32_t error) {
  try {
    if (callName == nullptr || occurrence < 0) return 0;
    std::string name;
    for (const char16_t* c = callName; *c; ++c) name += static_cast<char>(*c);
    Call call;
    if (!CallFromName(name, &call)) return 0;
    if (occurrence == 0)
      InstalledFakeWorld().FailAlways(call, error);
    else
      InstalledFakeWorld().FailNth(call, static_cast<uint64_t>(occurrence), error);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // extern "C"
