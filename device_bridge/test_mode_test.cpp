#include "device_bridge/test_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace device_bridge {
namespace {

struct UsbDevice {
  std::wstring hub;
  std::int32_t connection;
  std::uint16_t vid, pid;
};

struct HidCollection {
  std::uint16_t vid, pid, usagePage;
  std::wstring path;
};

struct Sent {
  std::wstring path;
  std::vector<std::uint8_t> report;
  bool operator==(const Sent&) const = default;
};

// Answers as the library does: lists rebuilt on every call, filters with 0 meaning any, outputs
// untouched for an index out of range, -1 everywhere when it is "not loaded".
class ScriptedLibrary : public DeviceLibraryApi {
 public:
  std::vector<UsbDevice> usb;
  std::vector<HidCollection> hid;
  bool loaded = true;
  int failSendNumber = 0;  // 1-based send that fails; 0 = none
  std::vector<Sent> sent;
  int usbCalls = 0;

  std::int32_t GetUsbDeviceFromHub(std::uint16_t, std::uint16_t, std::int32_t index, std::wstring& hubName,
                                   std::int32_t& connectionIndex) override {
    ++usbCalls;
    if (!loaded) return -1;
    if (index >= 0 && index < static_cast<std::int32_t>(usb.size())) {
      hubName = usb[index].hub;
      connectionIndex = usb[index].connection;
    }
    return static_cast<std::int32_t>(usb.size());
  }
  bool GetUsbDeviceVIDPIDFromHub(const std::wstring& hubName, std::int32_t connectionIndex, std::uint16_t& vid,
                                 std::uint16_t& pid) override {
    for (const UsbDevice& d : usb) {
      if (loaded && d.hub == hubName && d.connection == connectionIndex) {
        vid = d.vid;
        pid = d.pid;
        return true;
      }
    }
    return false;
  }
  std::int32_t GetHidDeviceFromCustomHidList(std::uint16_t vid, std::uint16_t pid, std::uint16_t usagePage, std::uint16_t,
                                             std::int32_t index, std::wstring* path) override {
    if (!loaded) return -1;
    std::vector<std::wstring> found;
    for (const HidCollection& c : hid) {
      if ((!vid || c.vid == vid) && (!pid || c.pid == pid) && (!usagePage || c.usagePage == usagePage)) found.push_back(c.path);
    }
    if (index >= 0 && index < static_cast<std::int32_t>(found.size()) && path) *path = found[index];
    return static_cast<std::int32_t>(found.size());
  }
  bool HidSetFeatureReport(const std::wstring& path, const std::uint8_t* report, std::int32_t length) override {
    if (!loaded) return false;
    sent.push_back({path, std::vector<std::uint8_t>(report, report + length)});
    return static_cast<int>(sent.size()) != failSendNumber;
  }
};

std::vector<std::uint8_t> Report(std::uint8_t mode) {
  std::vector<std::uint8_t> bytes(72, 0);
  bytes[0] = 0x07;
  bytes[1] = 0x04;
  bytes[8] = mode;
  return bytes;
}

TEST(BuildTestModeReport, ExactBytesForBothModes) {
  const TestModeReport start = BuildTestModeReport(TestMode::ModeRunStart);
  const TestModeReport stop = BuildTestModeReport(TestMode::ModeRunStop);
  EXPECT_EQ(std::vector<std::uint8_t>(start.begin(), start.end()), Report(4));
  EXPECT_EQ(std::vector<std::uint8_t>(stop.begin(), stop.end()), Report(8));
}

TEST(PathList, KeepsOrderAndListsEachPathOnceWhateverItsCase) {
  PathList list;
  EXPECT_TRUE(list.Add(L"\\\\?\\hid#vid_09da&pid_1234#a"));
  EXPECT_FALSE(list.Add(L"\\\\?\\HID#VID_09DA&PID_1234#A"));
  EXPECT_TRUE(list.Add(L""));
  EXPECT_FALSE(list.Add(L""));
  EXPECT_TRUE(list.Add(L"\\\\?\\hid#b"));
  EXPECT_EQ(list.Paths(), (std::vector<std::wstring>{L"\\\\?\\hid#vid_09da&pid_1234#a", L"", L"\\\\?\\hid#b"}));
}

struct LoopCase {
  const char* name;
  std::vector<UsbDevice> usb;
  std::vector<HidCollection> hid;
  int failSendNumber;
  bool result;
  std::vector<std::wstring> sentTo;
};

void PrintTo(const LoopCase& c, std::ostream* os) { *os << c.name; }

class TestModeLoopTest : public testing::TestWithParam<LoopCase> {};

TEST_P(TestModeLoopTest, SendsToTheFirstPathOfEachDevice) {
  const LoopCase& c = GetParam();
  ScriptedLibrary library;
  library.usb = c.usb;
  library.hid = c.hid;
  library.failSendNumber = c.failSendNumber;
  int failures = 0;
  EXPECT_EQ(RunTestModeCommand(library, TestMode::ModeRunStart, [&] { ++failures; }), c.result);
  EXPECT_EQ(failures, c.result ? 0 : 1);
  std::vector<std::wstring> sentTo;
  for (const Sent& s : library.sent) {
    sentTo.push_back(s.path);
    EXPECT_EQ(s.report, Report(4));
  }
  EXPECT_EQ(sentTo, c.sentTo);
}

const UsbDevice kMouseA{L"hub1", 1, 0x09DA, 0x1001}, kMouseB{L"hub1", 2, 0x09DA, 0x2002};
const UsbDevice kTwinOfA{L"hub2", 3, 0x09DA, 0x1001}, kForeignWithPidOfA{L"hub2", 4, 0x046D, 0x1001};
const UsbDevice kKeyboard{L"hub2", 5, 0x1234, 0x0001};
const HidCollection kPathA{0x09DA, 0x1001, 0xFFA7, L"path-a"}, kPathB{0x09DA, 0x2002, 0xFFA7, L"path-b"};
const HidCollection kPathAOtherPage{0x09DA, 0x1001, 0x0001, L"path-a-mouse"}, kPathTwin{0x09DA, 0x1001, 0xFFA7, L"path-twin"};

INSTANTIATE_TEST_SUITE_P(
    Scenarios, TestModeLoopTest,
    testing::Values(
        LoopCase{"NoDevices", {}, {}, 0, true, {}},
        LoopCase{"NoMakerCollectionOnTheTestPage", {kMouseA, kKeyboard}, {kPathAOtherPage}, 0, true, {}},
        LoopCase{"TwoMiceInWalkOrder", {kMouseB, kKeyboard, kMouseA}, {kPathA, kPathB}, 0, true, {L"path-b", L"path-a"}},
        LoopCase{"SameProductIdFirstPathTwice", {kMouseA, kTwinOfA}, {kPathA, kPathTwin}, 0, true, {L"path-a", L"path-a"}},
        LoopCase{"ForeignVendorSharingAProductId", {kMouseA, kForeignWithPidOfA}, {kPathA}, 0, true, {L"path-a", L"path-a"}},
        LoopCase{"DuplicateAndCaseDifferentPathsListedOnce", {kMouseA},
                 {{0x09DA, 0x1001, 0xFFA7, L"PATH-A"}, kPathA, kPathA}, 0, true, {L"PATH-A"}},
        LoopCase{"FailedSendOnTheSecondDeviceStopsThere", {kMouseA, kMouseB, kTwinOfA}, {kPathA, kPathB}, 2, false,
                 {L"path-a", L"path-b"}}),
    [](const auto& info) { return info.param.name; });

TEST(TestModeLoop, NoLibrarySendsNothingAndSucceeds) {
  ScriptedLibrary library;
  library.loaded = false;
  library.usb = {kMouseA};
  library.hid = {kPathA};
  EXPECT_TRUE(RunTestModeCommand(library, TestMode::ModeRunStop, [] { FAIL() << "no error box without a library"; }));
  EXPECT_TRUE(library.sent.empty());
  EXPECT_EQ(library.usbCalls, 1);
}

TEST(TestModeLoop, StopModeSendsTheStopReport) {
  ScriptedLibrary library;
  library.usb = {kMouseA};
  library.hid = {kPathA};
  EXPECT_TRUE(RunTestModeCommand(library, TestMode::ModeRunStop, nullptr));
  ASSERT_EQ(library.sent.size(), 1u);
  EXPECT_EQ(library.sent[0].report, Report(8));
}

TEST(TrimSystemMessage, DropsTrailingBreaksBlanksAndFullStops) {
  const struct {
    const wchar_t *in, *out;
  } cases[] = {{L"The parameter is incorrect.\r\n", L"The parameter is incorrect"},
               {L"Access is denied. \r\n", L"Access is denied"},
               {L"...\t", L""},
               {L"", L""},
               {L"v1.2 ok", L"v1.2 ok"},
               {L"\u53C3\u6578\u932F\u8AA4\u3002\r\n", L"\u53C3\u6578\u932F\u8AA4\u3002"}};  // an ideographic full stop stays
  for (const auto& c : cases) EXPECT_EQ(TrimSystemMessage(c.in), c.out);
}

}  // namespace
}  // namespace device_bridge
