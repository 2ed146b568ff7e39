// Family identification in the fake world: the class text, the family test, the product id read
// from a path, and the ids a collection reports.
#include "device_library/device_family.h"

#include "device_library/correlation_test_world.h"
#include "device_library/device_library.h"
#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

TEST(GuidPathText, WritesTheStandardLowerCaseFormWithoutBraces) {
  EXPECT_EQ(Narrow(GuidPathText(kHidInterfaceClass)), "4d1e55b2-f16f-11cf-88cb-001111000030");
  const Guid small{0xA, 0xB, 0xC, {0x00, 0x0D, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x0F}};
  EXPECT_EQ(Narrow(GuidPathText(small)), "0000000a-000b-000c-000d-00000e00000f");
  EXPECT_EQ(Narrow(GuidPathText(kUsbDeviceInterfaceClass)), "a5dcbf10-6530-11d2-901f-00c04fb951ed");
}

struct Hex {
  const char* name;
  std::u16string text;
  uint32_t value;
};
void PrintTo(const Hex& h, std::ostream* os) { *os << h.name; }
class ParseHexPrefixTest : public testing::TestWithParam<Hex> {};
TEST_P(ParseHexPrefixTest, ReadsLeadingDigitsOnly) { EXPECT_EQ(ParseHexPrefix(GetParam().text), GetParam().value); }
INSTANTIATE_TEST_SUITE_P(Texts, ParseHexPrefixTest,
                         testing::Values(Hex{"UpperCase", u"1A2B", 0x1A2B}, Hex{"LowerCase", u"ffff", 0xFFFF},
                                         Hex{"StopsAtOther", u"12&3", 0x12}, Hex{"NoDigits", u"&123", 0},
                                         Hex{"Empty", u"", 0}, Hex{"GIsNoDigit", u"9g1", 9}),
                         [](const auto& info) { return info.param.name; });

struct PidCase {
  const char* name;
  std::u16string path;
  uint16_t pid;
};
void PrintTo(const PidCase& p, std::ostream* os) { *os << p.name; }
class PidOfPathTest : public testing::TestWithParam<PidCase> {};
TEST_P(PidOfPathTest, ReadsUpToFourCharactersAfterPid) {
  EXPECT_EQ(GetPID_OfQV7Path(GetParam().path.c_str()), GetParam().pid);
}
INSTANTIATE_TEST_SUITE_P(
    Paths, PidOfPathTest,
    testing::Values(PidCase{"UpperCasePath", u"\\\\?\\HID#VID_09DA&PID_1A2B&MI_01#8&1", 0x1A2B},
                    PidCase{"StopsAtAmpersand", u"\\\\?\\hid#vid_09da&pid_12&3", 0x12},
                    PidCase{"OnlyFourCharacters", u"hid#pid_123456", 0x1234},
                    PidCase{"PathEndsEarly", u"hid#pid_7", 7},
                    PidCase{"FirstPidWins", u"pid_0001#pid_0002", 1},
                    PidCase{"NoPidGivesZero", u"\\\\?\\hid#vid_09da&xyz_1234", 0},
                    PidCase{"Empty", u"", 0}),
    [](const auto& info) { return info.param.name; });

TEST(PidOfPath, NullPathGivesZero) { EXPECT_EQ(GetPID_OfQV7Path(nullptr), 0); }

struct Family {
  const char* name;
  std::u16string path;
  uint8_t result;
  bool opens;  // whether the path is opened at all
};
void PrintTo(const Family& f, std::ostream* os) { *os << f.name; }
class FamilyTest : public FakeWorldTest, public testing::WithParamInterface<Family> {};

TEST_P(FamilyTest, TellsTheFamilyInterface) {
  BuildCorrelationWorld(world);
  world.AddHidCollection(HidPath(0x1234, 0x5678, -1, 0, 1), 0x1234, 0x5678, 0xFFA0, 0xA6);
  EXPECT_EQ(isQV7Device(GetParam().path.c_str()), GetParam().result);
  const auto opens = world.CallsOf(Call::CreateFileW);
  ASSERT_EQ(opens.size(), GetParam().opens ? 1u : 0u);
  if (GetParam().opens) {
    EXPECT_EQ(opens[0].args, (std::array<uint32_t, 4>{0, kFileShareRead | kFileShareWrite, kOpenExisting,
                                                      kFileFlagOverlapped}));
  }
}

std::u16string UpperGuid(std::u16string path) {
  const size_t at = path.find(u'{');
  for (size_t i = at; i < path.size(); ++i)
    if (path[i] >= u'a' && path[i] <= u'z') path[i] = static_cast<char16_t>(path[i] - u'a' + u'A');
  return path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FamilyTest,
    testing::Values(Family{"VendorInterfaceWhateverItsIds", kSinglePath, 1, true},
                    Family{"OffUsbFamilyInterfaceToo", kAcpiPath, 1, true},
                    Family{"MouseInterfaceOfTheSameDevice", kSingleMousePath, 0, true},
                    Family{"OtherUsage", HidPath(0x1234, 0x5678, -1, 0, 1), 0, true},
                    Family{"UpperCaseGuidIsNotOpened", UpperGuid(kSinglePath), 0, false},
                    Family{"OtherClassIsNotOpened",
                           u"\\\\?\\usb#vid_09da&pid_2222#7&4c4d&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", 0, false},
                    Family{"AbsentPath", u"\\\\?\\hid#none#{4d1e55b2-f16f-11cf-88cb-001111000030}", 0, true}),
    [](const auto& info) { return info.param.name; });

using HidIdsTest = FakeWorldTest;

TEST_F(HidIdsTest, ReportsIdsAndUsagesThroughEachNonNullPointer) {
  BuildCorrelationWorld(world);
  uint16_t vid = 1, pid = 1, usagePage = 1, usage = 1;
  EXPECT_EQ(GetHidIDs(kSingleMousePath.c_str(), &vid, &pid, &usagePage, &usage), 1);
  EXPECT_EQ(vid, 0x09DA);
  EXPECT_EQ(pid, 0x2222);
  EXPECT_EQ(usagePage, 1);
  EXPECT_EQ(usage, 2);
  uint16_t only = 0;
  EXPECT_EQ(GetHidIDs(kSinglePath.c_str(), nullptr, nullptr, &only, nullptr), 1);
  EXPECT_EQ(only, 0xFFA0);
  EXPECT_EQ(GetHidIDs(kSinglePath.c_str(), nullptr, nullptr, nullptr, nullptr), 1);
}

TEST_F(HidIdsTest, AnyFailingStepLeavesTheOutputsUntouched) {
  BuildCorrelationWorld(world);
  for (Call failing : {Call::CreateFileW, Call::HidD_GetAttributes, Call::HidD_GetPreparsedData, Call::HidP_GetCaps}) {
    world.ClearFaults();
    world.FailAlways(failing);
    uint16_t vid = 0x5A5A, pid = 0x5A5A, usagePage = 0x5A5A, usage = 0x5A5A;
    EXPECT_EQ(GetHidIDs(kSinglePath.c_str(), &vid, &pid, &usagePage, &usage), 0) << CallName(failing);
    EXPECT_EQ(vid & pid & usagePage & usage, 0x5A5A) << CallName(failing);
  }
  world.ClearFaults();
  EXPECT_EQ(GetHidIDs(nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

}  // namespace
}  // namespace device_library::fake
