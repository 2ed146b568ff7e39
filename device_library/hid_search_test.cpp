#include "device_library/hid_search.h"

#include <climits>

#include "device_library/device_library.h"
#include "device_library/fake_world_scenarios.h"
#include "device_library/test_support.h"

namespace device_library::fake {
namespace {

// c0 09DA:1111 1/2, c1 09DA:1111 FFA7/1, c2 09DA:1111 FFA0/A5, c3 046D:C077 1/2,
// c4 09DA:2222 FFA7/2, c5 09DA:2222 FFA0/A5
const std::vector<std::u16string> kPaths = {HidPath(0x09DA, 0x1111, 0, 0, 1), HidPath(0x09DA, 0x1111, 1, 1, 1),
                                            HidPath(0x09DA, 0x1111, 1, 2, 1), HidPath(0x046D, 0xC077, -1, 0, 2),
                                            HidPath(0x09DA, 0x2222, 1, 1, 3), HidPath(0x09DA, 0x2222, 1, 2, 3)};

class HidSearchTest : public FakeWorldTest {
 protected:
  void SetUp() override {
    world.AddHidCollection(kPaths[0], 0x09DA, 0x1111, 0x0001, 0x02);
    world.AddHidCollection(kPaths[1], 0x09DA, 0x1111, 0xFFA7, 0x01);
    world.AddHidCollection(kPaths[2], 0x09DA, 0x1111, 0xFFA0, 0xA5);
    world.AddHidCollection(kPaths[3], 0x046D, 0xC077, 0x0001, 0x02);
    world.AddHidCollection(kPaths[4], 0x09DA, 0x2222, 0xFFA7, 0x02);
    world.AddHidCollection(kPaths[5], 0x09DA, 0x2222, 0xFFA0, 0xA5);
  }
  static HidInterfaceList Paths(std::initializer_list<size_t> indexes) {
    HidInterfaceList list;
    for (size_t i : indexes) list.push_back(kPaths[i]);
    return list;
  }
};

struct KeyCase {
  const char* name;
  uint32_t vid, pid, usagePage, usage;
  std::vector<size_t> expected;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
class HidSearchKeyTest : public HidSearchTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(HidSearchKeyTest, ListsTheMatchingPathsInEnumerationOrder) {
  const KeyCase& c = GetParam();
  HidInterfaceList expected;
  for (size_t i : c.expected) expected.push_back(kPaths[i]);
  EXPECT_EQ(EnumerateHidInterfaces(world, c.vid, c.pid, c.usagePage, c.usage), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HidSearchKeyTest,
    testing::Values(KeyCase{"AllZeroListsEverything", 0, 0, 0, 0, {0, 1, 2, 3, 4, 5}},
                    KeyCase{"Vendor", 0x09DA, 0, 0, 0, {0, 1, 2, 4, 5}},
                    KeyCase{"ProductWithUsagePage", 0x09DA, 0x1111, 0xFFA7, 0, {1}},
                    KeyCase{"VendorUsagePageTwoProducts", 0x09DA, 0, 0xFFA7, 0, {1, 4}},
                    KeyCase{"UsagePageAndUsage", 0, 0, 1, 2, {0, 3}},
                    KeyCase{"UsageOnly", 0, 0, 0, 0xA5, {2, 5}},
                    KeyCase{"ProductOnly", 0, 0x2222, 0, 0, {4, 5}},
                    KeyCase{"NothingMatches", 0x1234, 0, 0, 0, {}},
                    KeyCase{"UsagePageAbove16BitsMatchesNothing", 0, 0, 0x10001, 0, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(HidSearchTest, OpensForQueriesOnlyAndReleasesInOrder) {
  EnumerateHidInterfaces(world, 0, 0, 0, 0);
  for (const CallRecord& open : world.CallsOf(Call::CreateFileW))
    EXPECT_EQ(open.args, (std::array<uint32_t, 4>{0, 3, 3, 0x40000000}));
  EXPECT_EQ(world.CallCount(Call::CreateFileW), 6u);
  EXPECT_EQ(world.CallCount(Call::HidD_FreePreparsedData), 6u);
  EXPECT_EQ(world.CallCount(Call::SetupDiDestroyDeviceInfoList), 1u);
  const std::vector<CallRecord> sets = world.CallsOf(Call::SetupDiGetClassDevsW);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].args[0], 0x12u);
  EXPECT_EQ(sets[0].args[1], 0x4D1E55B2u);
}

TEST_F(HidSearchTest, UsesTheRecordSizesOfThisBuild) {
  EnumerateHidInterfaces(world, 0, 0, 0, 0);
  const uint32_t interfaceSize = sizeof(void*) == 4 ? 28 : 32, detailSize = sizeof(void*) == 4 ? 6 : 8;
  for (const CallRecord& call : world.CallsOf(Call::SetupDiEnumDeviceInterfaces)) EXPECT_EQ(call.args[1], interfaceSize);
  const std::vector<CallRecord> details = world.CallsOf(Call::SetupDiGetDeviceInterfaceDetailW);
  ASSERT_EQ(details.size(), 12u);  // a size query, then the read, for each of the six
  for (size_t i = 0; i < details.size(); i += 2) {
    EXPECT_EQ(details[i].args, (std::array<uint32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(details[i + 1].args[0], 4 + (kPaths[i / 2].size() + 1) * 2);
    EXPECT_EQ(details[i + 1].args[1], detailSize);
  }
  // Seven enumerations: six interfaces and the seventh that ends the set.
  EXPECT_EQ(world.CallCount(Call::SetupDiEnumDeviceInterfaces), 7u);
}

struct SkipCase {
  const char* name;
  std::function<void(HidCollection&)> spoil;
};
void PrintTo(const SkipCase& c, std::ostream* os) { *os << c.name; }
class HidSearchSkipTest : public HidSearchTest, public testing::WithParamInterface<SkipCase> {};

TEST_P(HidSearchSkipTest, CollectionThatFailsIsLeftOutAndTheSearchGoesOn) {
  GetParam().spoil(world.hidCollections[1]);
  EXPECT_EQ(EnumerateHidInterfaces(world, 0x09DA, 0, 0, 0), Paths({0, 2, 4, 5}));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HidSearchSkipTest,
    testing::Values(SkipCase{"DoesNotOpen", [](HidCollection& c) { c.opens = false; }},
                    SkipCase{"NoAttributes", [](HidCollection& c) { c.answersAttributes = false; }},
                    SkipCase{"NoPreparsedData", [](HidCollection& c) { c.answersPreparsedData = false; }},
                    SkipCase{"NoCapabilities", [](HidCollection& c) { c.answersCaps = false; }}),
    [](const auto& info) { return info.param.name; });

TEST_F(HidSearchTest, CollectionsRefusingReadWriteAccessAreStillFound) {
  for (HidCollection& c : world.hidCollections) c.opensForReadWrite = false;  // mice, keyboards
  EXPECT_EQ(EnumerateHidInterfaces(world, 0, 0, 1, 2), Paths({0, 3}));
}

TEST_F(HidSearchTest, UnreadablePathEndsTheSearchThere) {
  world.interfaces[3].detailReadable = false;
  EXPECT_EQ(EnumerateHidInterfaces(world, 0, 0, 0, 0), Paths({0, 1, 2}));
  EXPECT_EQ(world.CallCount(Call::CreateFileW), 3u);  // later positions are not visited
}

TEST_F(HidSearchTest, InterfaceReportedTwiceIsListedOnceAtItsFirstPosition) {
  world.interfaces.push_back(world.interfaces[1]);
  const DeviceInterface fifth = world.interfaces[4];
  world.interfaces.insert(world.interfaces.begin(), fifth);
  EXPECT_EQ(EnumerateHidInterfaces(world, 0, 0, 0, 0), Paths({4, 0, 1, 2, 3, 5}));
}

TEST_F(HidSearchTest, NoDeviceInformationSetFindsNothing) {
  world.FailAlways(Call::SetupDiGetClassDevsW);
  OutputBuffer path;
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0, 0, 0, 0, 0, path.data()), 0);
  EXPECT_TRUE(path.Untouched());
}

TEST_F(HidSearchTest, PathAtAPositionAndNoneBeyondTheEnd) {
  Handle set = world.SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr, 0x12);
  EXPECT_EQ(GetHidInterfacePath(world, set, 0), kPaths[0]);
  EXPECT_EQ(GetHidInterfacePath(world, set, 6), u"");
  world.SetupDiDestroyDeviceInfoList(set);
}

TEST_F(HidSearchTest, NoMemoryForTheDetailEndsTheSearch) {
  world.FailNth(Call::LocalAlloc, 3);
  EXPECT_EQ(EnumerateHidInterfaces(world, 0, 0, 0, 0), Paths({0, 1}));
}

// ---- the four exports

class HidExportsTest : public HidSearchTest {};

TEST_F(HidExportsTest, CustomListFindsThatProductsVendorCollectionsWithoutWriting) {
  OutputBuffer path;
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0x09DA, 0x1111, 0xFFA7, 0, -1, path.data()), 1);
  EXPECT_TRUE(path.Untouched());
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0x09DA, 0x1111, 0xFFA7, 0, 0, path.data()), 1);
  EXPECT_EQ(path.Text(), kPaths[1]);
  EXPECT_EQ(path.UnitsWritten(), kPaths[1].size() + 1);
}

TEST_F(HidExportsTest, TwoMatchingCollectionsInEnumerationOrder) {
  OutputBuffer first, second;
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0x09DA, 0, 0xFFA7, 0, 0, first.data()), 2);
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0x09DA, 0, 0xFFA7, 0, 1, second.data()), 2);
  EXPECT_EQ(first.Text(), kPaths[1]);
  EXPECT_EQ(second.Text(), kPaths[4]);
}

class HidExportsIndexTest : public HidSearchTest, public testing::WithParamInterface<int32_t> {};

TEST_P(HidExportsIndexTest, IndexOutsideTheListWritesNothingInAnyOfTheFour) {
  const int32_t index = GetParam();
  OutputBuffer a, b, c, d;
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0x09DA, 0, 0, 0, index, a.data()), 5);
  EXPECT_EQ(GetHidDeviceFromHidList(0x09DA, 0, index, b.data()), 2);
  EXPECT_EQ(GetHidDeviceName(0x09DA, 0, 0, 0, index, c.data()), 5);
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0x09DA, 0x1111, 0xFFA0, 0xA5, index, d.data()), 1);
  EXPECT_TRUE(a.Untouched() && b.Untouched() && c.Untouched() && d.Untouched());
}

INSTANTIATE_TEST_SUITE_P(Indexes, HidExportsIndexTest, testing::Values(-1, INT_MIN, 5, 6, INT_MAX));

TEST_F(HidExportsTest, HidListIsTheCustomListOfUsagePageFFA0Usage165) {
  for (int32_t index = -1; index <= 2; ++index) {
    OutputBuffer list, custom;
    EXPECT_EQ(GetHidDeviceFromHidList(0x09DA, 0, index, list.data()),
              GetHidDeviceFromCustomHidList(0x09DA, 0, 0xFFA0, 0xA5, index, custom.data()));
    EXPECT_EQ(list.Text(), custom.Text());
    EXPECT_EQ(list.UnitsWritten(), custom.UnitsWritten());
  }
  OutputBuffer path;
  EXPECT_EQ(GetHidDeviceFromHidList(0x109DA, 0x12222, 0, path.data()), 1);
  EXPECT_EQ(path.Text(), kPaths[5]);
}

struct WidthCase {
  const char* name;
  uint32_t usagePage, usage;
  int32_t customCount, nameCount;
};
void PrintTo(const WidthCase& c, std::ostream* os) { *os << c.name; }
class HidExportsWidthTest : public HidSearchTest, public testing::WithParamInterface<WidthCase> {};

TEST_P(HidExportsWidthTest, CustomListReadsLow16BitsGetHidDeviceNameAll32) {
  const WidthCase& c = GetParam();
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0, 0, c.usagePage, c.usage, -1, nullptr), c.customCount);
  EXPECT_EQ(GetHidDeviceName(0, 0, static_cast<int32_t>(c.usagePage), static_cast<int32_t>(c.usage), -1, nullptr),
            c.nameCount);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, HidExportsWidthTest,
    testing::Values(WidthCase{"UsagePage0x10000", 0x10000, 0, 6, 0}, WidthCase{"UsagePage0x1FFA0", 0x1FFA0, 0xA5, 2, 0},
                    WidthCase{"Usage0x100A5", 0xFFA0, 0x100A5, 2, 0}, WidthCase{"UsagePageMinus1", 0xFFFFFFFF, 0, 0, 0},
                    WidthCase{"PlainFFA0A5", 0xFFA0, 0xA5, 2, 2}, WidthCase{"AllZero", 0, 0, 6, 6}),
    [](const auto& info) { return info.param.name; });

TEST_F(HidExportsTest, GetHidDeviceNameWritesLikeTheCustomList) {
  OutputBuffer a, b;
  EXPECT_EQ(GetHidDeviceName(0x09DA, 0x2222, 0xFFA7, 2, 0, a.data()), 1);
  EXPECT_EQ(GetHidDeviceFromCustomHidList(0x09DA, 0x2222, 0xFFA7, 2, 0, b.data()), 1);
  EXPECT_EQ(a.Text(), kPaths[4]);
  EXPECT_EQ(a.Text(), b.Text());
}

}  // namespace
}  // namespace device_library::fake
