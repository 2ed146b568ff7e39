// The fake-world DLL's extra exports and its built-in scenarios, driven as the device bridge of
// the program drives the library.
#include "device_library/fake_world_exports.h"

#include "device_library/fake_world_scenarios.h"
#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

// The program's SendTestModeCommand, reduced to its calls: the paths the reports went to.
std::vector<std::u16string> SendTestMode(uint8_t mode, bool* allSent) {
  std::vector<std::u16string> sentTo;
  *allSent = true;
  char16_t hubName[128];
  int32_t connectionIndex = 0;
  const int32_t count = GetUsbDeviceFromHub(0, 0, 0, hubName, &connectionIndex);
  for (int32_t i = 0; i < count; ++i) {
    GetUsbDeviceFromHub(0, 0, i, hubName, &connectionIndex);
    uint16_t vid = 0, pid = 0;
    GetUsbDeviceVIDPIDFromHub(hubName, connectionIndex, &vid, &pid);
    const int32_t n = GetHidDeviceFromCustomHidList(0x09DA, pid, 0xFFA7, 0, -1, nullptr);
    if (n <= 0) continue;
    char16_t path[128] = {};
    GetHidDeviceFromCustomHidList(0x09DA, pid, 0xFFA7, 0, 0, path);
    uint8_t report[72] = {0x07, 0x04};
    report[8] = mode;
    sentTo.push_back(path);
    if (!HidSetFeatureReport(path, report, 72)) {
      *allSent = false;
      break;
    }
  }
  return sentTo;
}

class FakeWorldExportsTest : public testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(FakeWorldOpenObjectCount(), 0);
    FakeWorldUseScenario(u"bridge_mouse");
  }
};

TEST_F(FakeWorldExportsTest, BuiltInBridgeMouseReceivesTheTestModeReport) {
  ASSERT_EQ(FakeWorldUseScenario(u"bridge_mouse"), 1);
  bool allSent = false;
  const std::vector<std::u16string> sentTo = SendTestMode(4, &allSent);
  EXPECT_TRUE(allSent);
  ASSERT_EQ(sentTo.size(), 1u);
  EXPECT_EQ(sentTo[0], HidPath(0x09DA, 0x1234, 1, 2, 1));
  ASSERT_EQ(FakeWorldReportCount(), 1);
  char16_t path[1024];
  uint8_t bytes[80] = {};
  uint8_t accepted = 9;
  EXPECT_EQ(FakeWorldGetReport(0, path, bytes, sizeof bytes, &accepted), 72);
  EXPECT_EQ(std::u16string(path), sentTo[0]);
  EXPECT_EQ(bytes[0], 7);
  EXPECT_EQ(bytes[1], 4);
  EXPECT_EQ(bytes[8], 4);
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(FakeWorldGetReport(1, nullptr, nullptr, 0, nullptr), -1);
  EXPECT_EQ(FakeWorldGetReport(-1, nullptr, nullptr, 0, nullptr), -1);
}

struct ScenarioCase {
  const char* name;
  const char16_t* scenario;
  bool allSent;
  std::vector<std::u16string> sentTo;
};
void PrintTo(const ScenarioCase& c, std::ostream* os) { *os << c.name; }
class FakeWorldScenarioTest : public FakeWorldExportsTest, public testing::WithParamInterface<ScenarioCase> {};

TEST_P(FakeWorldScenarioTest, SendsToTheExpectedCollections) {
  ASSERT_EQ(FakeWorldUseScenario(GetParam().scenario), 1);
  bool allSent = false;
  EXPECT_EQ(SendTestMode(4, &allSent), GetParam().sentTo);
  EXPECT_EQ(allSent, GetParam().allSent);
}

const std::u16string kFirst = HidPath(0x09DA, 0x1234, 1, 2, 1), kSecond = HidPath(0x09DA, 0x5678, 1, 2, 3);
INSTANTIATE_TEST_SUITE_P(
    Scenarios, FakeWorldScenarioTest,
    testing::Values(ScenarioCase{"Empty", u"empty", true, {}}, ScenarioCase{"OneMouse", u"bridge_mouse", true, {kFirst}},
                    ScenarioCase{"TwoMice", u"bridge_two_mice", true, {kFirst, kSecond}},
                    ScenarioCase{"Refused", u"bridge_mouse_refuses_report", false, {kFirst}},
                    ScenarioCase{"SecondRefused", u"bridge_second_mouse_refuses_report", false, {kFirst, kSecond}},
                    ScenarioCase{"OtherVendorSamePid", u"bridge_other_vendor_same_pid", true, {kFirst, kFirst}},
                    ScenarioCase{"NoVendorCollection", u"bridge_no_vendor_collection", true, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(FakeWorldExportsTest, UnknownScenarioChangesNothing) {
  ASSERT_EQ(FakeWorldUseScenario(u"bridge_two_mice"), 1);
  EXPECT_EQ(FakeWorldUseScenario(u"no_such_world"), 0);
  EXPECT_EQ(FakeWorldUseScenario(nullptr), 0);
  EXPECT_EQ(GetUsbDeviceFromHub(0x09DA, 0, -1, nullptr, nullptr), 2);
}

TEST_F(FakeWorldExportsTest, FailCallMakesTheNamedCallFail) {
  ASSERT_EQ(FakeWorldUseScenario(u"bridge_mouse"), 1);
  EXPECT_EQ(FakeWorldFailCall(u"HidD_SetFeature", 1, 1167), 1);
  uint8_t report[72] = {7, 4};
  const std::u16string path = HidPath(0x09DA, 0x1234, 1, 2, 1);
  EXPECT_EQ(HidSetFeatureReport(path.c_str(), report, 72), 0);
  EXPECT_EQ(InstalledFakeWorld().GetLastError(), 1167u);
  EXPECT_EQ(HidSetFeatureReport(path.c_str(), report, 72), 1);  // only the first
  EXPECT_EQ(FakeWorldFailCall(u"CreateFileW", 0, 2), 1);         // every one from now on
  EXPECT_EQ(GetUsbDeviceFromHub(0, 0, -1, nullptr, nullptr), 0);
  EXPECT_EQ(FakeWorldFailCall(u"NoSuchCall", 1, 2), 0);
  EXPECT_EQ(FakeWorldFailCall(u"CreateFileW", -1, 2), 0);
}

TEST(FakeWorldScenarios, EveryNamedScenarioBuildsAndHubNamesFitThe128UnitBuffers) {
  for (const std::u16string& name : ScenarioNames()) {
    FakeWorld world;
    ASSERT_TRUE(BuildScenario(name, world)) << Narrow(name);
    for (const auto& [hubName, hub] : world.hubs) EXPECT_LT(hubName.size(), 128u);
    for (const HidCollection& c : world.hidCollections) EXPECT_LT(c.path.size(), 128u);
  }
}

}  // namespace
}  // namespace device_library::fake
