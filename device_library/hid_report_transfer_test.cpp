#include "device_library/hid_report_transfer.h"

#include <numeric>

#include "device_library/device_library.h"
#include "device_library/fake_world_scenarios.h"
#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

class ReportTransferTest : public FakeWorldTest {
 protected:
  void SetUp() override {
    HidCollection& vendor = world.AddHidCollection(kPath, 0x09DA, 0x1234, 0xFFA7, 1);
    vendor.featureReportLength = 72;
    vendor.outputReportLength = 9;
    vendor.inputReportLength = 9;
    std::vector<uint8_t> feature(72);
    std::iota(feature.begin(), feature.end(), uint8_t{0x40});
    feature[0] = 7;
    vendor.featureReports[7] = feature;
    vendor.inputReports[2] = {2, 0xA1, 0xA2, 0xA3};
    world.AddHidCollection(kMousePath, 0x09DA, 0x1234, 1, 2).opensForReadWrite = false;
  }
  // The program's test-mode report.
  static std::vector<uint8_t> TestModeReport(uint8_t mode) {
    std::vector<uint8_t> report(72, 0);
    report[0] = 0x07;
    report[1] = 0x04;
    report[8] = mode;
    return report;
  }
  const std::u16string kPath = HidPath(0x09DA, 0x1234, 1, 2, 1);
  const std::u16string kMousePath = HidPath(0x09DA, 0x1234, 0, 0, 1);
};

TEST_F(ReportTransferTest, FeatureReportReachesHidDSetFeatureUnchanged) {
  std::vector<uint8_t> report = TestModeReport(4);
  const std::vector<uint8_t> sent = report;
  EXPECT_EQ(HidSetFeatureReport(kPath.c_str(), report.data(), 72), 1);
  ASSERT_EQ(world.reportTransfers.size(), 1u);
  EXPECT_EQ(world.reportTransfers[0].call, Call::HidD_SetFeature);
  EXPECT_EQ(world.reportTransfers[0].path, kPath);
  EXPECT_EQ(world.reportTransfers[0].bytes, sent);
  EXPECT_TRUE(world.reportTransfers[0].accepted);
  EXPECT_EQ(report, sent);
  const std::vector<CallRecord> opens = world.CallsOf(Call::CreateFileW);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].text, kPath);  // the path as given, not rewritten
  EXPECT_EQ(opens[0].args, (std::array<uint32_t, 4>{0xC0000000, 3, 3, 0}));
  EXPECT_EQ(world.CallsOf(Call::HidD_SetFeature)[0].args[0], 72u);
}

TEST_F(ReportTransferTest, PathIsPassedAsGivenEvenInAnotherCase) {
  std::u16string upper = kPath;
  for (char16_t& c : upper)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  std::vector<uint8_t> report = TestModeReport(8);
  EXPECT_EQ(HidSetFeatureReport(upper.c_str(), report.data(), 72), 1);
  EXPECT_EQ(world.CallsOf(Call::CreateFileW)[0].text, upper);
}

TEST_F(ReportTransferTest, PathThatDoesNotOpenFailsWithoutAnyHidCall) {
  std::vector<uint8_t> report = TestModeReport(4);
  const std::u16string missing = HidPath(0x09DA, 0x9999, 1, 2, 9);
  EXPECT_EQ(HidSetFeatureReport(missing.c_str(), report.data(), 72), 0);
  EXPECT_EQ(HidGetFeatureReport(missing.c_str(), report.data(), 72), 0);
  EXPECT_EQ(HidSetOutputReport(missing.c_str(), report.data(), 72), 0);
  EXPECT_EQ(world.GetLastError(), kErrorFileNotFound);
  EXPECT_EQ(report, TestModeReport(4));
  for (Call call : {Call::HidD_SetFeature, Call::HidD_GetFeature, Call::HidD_SetOutputReport})
    EXPECT_EQ(world.CallCount(call), 0u);
}

TEST_F(ReportTransferTest, CollectionThatRefusesReadWriteAccessFails) {
  std::vector<uint8_t> report = TestModeReport(4);
  EXPECT_EQ(HidSetFeatureReport(kMousePath.c_str(), report.data(), 72), 0);
  EXPECT_EQ(world.GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(world.CallCount(Call::HidD_SetFeature), 0u);
}

TEST_F(ReportTransferTest, LengthIsPassedThroughAndAWrongOneFailsButTheHandleIsClosed) {
  std::vector<uint8_t> report = TestModeReport(4);
  EXPECT_EQ(HidSetFeatureReport(kPath.c_str(), report.data(), 71), 0);
  ASSERT_EQ(world.reportTransfers.size(), 1u);
  EXPECT_EQ(world.reportTransfers[0].bytes.size(), 71u);
  EXPECT_FALSE(world.reportTransfers[0].accepted);
  EXPECT_EQ(world.GetLastError(), kErrorInvalidParameter);
  EXPECT_EQ(world.CallCount(Call::CloseHandle), 1u);
  // The same path right away again.
  EXPECT_EQ(HidSetFeatureReport(kPath.c_str(), report.data(), 72), 1);
}

TEST_F(ReportTransferTest, RefusedTransferLeavesTheSystemsLastError) {
  world.hidCollections[0].acceptsReports = false;
  std::vector<uint8_t> report = TestModeReport(4);
  EXPECT_EQ(HidSetFeatureReport(kPath.c_str(), report.data(), 72), 0);
  EXPECT_EQ(world.GetLastError(), kErrorGenFailure);
}

TEST_F(ReportTransferTest, GetFeatureReadsTheReportOfTheIdInTheFirstByte) {
  std::vector<uint8_t> report(72, 0);
  report[0] = 7;
  EXPECT_EQ(HidGetFeatureReport(kPath.c_str(), report.data(), 72), 1);
  EXPECT_EQ(report, world.hidCollections[0].featureReports[7]);
  report.assign(72, 0);
  report[0] = 3;  // an id the collection does not have
  EXPECT_EQ(HidGetFeatureReport(kPath.c_str(), report.data(), 72), 0);
  EXPECT_EQ(world.CallsOf(Call::CreateFileW)[1].args, (std::array<uint32_t, 4>{0xC0000000, 3, 3, 0}));
}

TEST_F(ReportTransferTest, OutputReportGoesToHidDSetOutputReport) {
  std::vector<uint8_t> report = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(HidSetOutputReport(kPath.c_str(), report.data(), 9), 1);
  ASSERT_EQ(world.reportTransfers.size(), 1u);
  EXPECT_EQ(world.reportTransfers[0].call, Call::HidD_SetOutputReport);
  EXPECT_EQ(world.reportTransfers[0].bytes, report);
}

TEST_F(ReportTransferTest, NullPathFailsWithoutAnyCall) {
  uint8_t report[72] = {7};
  EXPECT_EQ(HidSetFeatureReport(nullptr, report, 72), 0);
  EXPECT_EQ(world.TotalCalls(), 0u);
}

TEST_F(ReportTransferTest, HandleExportsPassOneCallThroughAndOwnNothing) {
  Handle handle = world.CreateFileW(kPath.c_str(), 0xC0000000, 3, nullptr, 3, 0x40000000, nullptr);
  world.ResetCounters();
  std::vector<uint8_t> feature(72, 0);
  feature[0] = 7;
  EXPECT_EQ(xHidD_GetFeature(handle, feature.data(), 72), 1);
  EXPECT_EQ(feature, world.hidCollections[0].featureReports[7]);
  std::vector<uint8_t> report = TestModeReport(4);
  EXPECT_EQ(xHidD_SetFeature(handle, report.data(), 72), 1);
  std::vector<uint8_t> input(9, 0);
  input[0] = 2;
  EXPECT_EQ(xHidD_GetOutputReport(handle, input.data(), 9), 1);  // an input report, whatever the name
  EXPECT_EQ(input, (std::vector<uint8_t>{2, 0xA1, 0xA2, 0xA3, 0, 0, 0, 0, 0}));
  std::vector<uint8_t> output(9, 1);
  EXPECT_EQ(xHidD_SetOutputReport(handle, output.data(), 9), 1);
  std::vector<Call> calls;
  for (const CallRecord& call : world.CallLog()) calls.push_back(call.call);
  EXPECT_EQ(calls, (std::vector<Call>{Call::HidD_GetFeature, Call::HidD_SetFeature, Call::HidD_GetInputReport,
                                      Call::HidD_SetOutputReport}));
  EXPECT_EQ(xHidD_SetFeature(handle, report.data(), 71), 0);       // the system call's answer
  EXPECT_EQ(xHidD_SetFeature(nullptr, report.data(), 72), 0);      // not validated, just passed on
  EXPECT_EQ(world.Open().files, 1);                                // still the caller's
  world.CloseHandle(handle);
}

}  // namespace
}  // namespace device_library::fake
