// resource.dll for real, under Wine: loaded by path with LoadLibraryW, every export found by name
// with GetProcAddress and called with the C calling convention against Wine's own devices (two
// virtual HID collections, no USB host controller). The fake-world build is loaded the same way.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "device_library/device_library.h"
#include "device_library/fake_world_exports.h"
#include "device_library/string_output.h"

namespace {

std::wstring BesideThisExe(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path, length);
  return directory.substr(0, directory.find_last_of(L'\\') + 1) + name;
}

const char* const kExports[] = {"GetUsbDeviceFromHub",
                                "GetUsbDeviceVIDPIDFromHub",
                                "GetHidDeviceFromCustomHidList",
                                "GetHidDeviceFromHidList",
                                "GetHidDeviceName",
                                "xEnumHidDevice",
                                "HidSetFeatureReport",
                                "HidGetFeatureReport",
                                "HidSetOutputReport",
                                "xHidD_GetFeature",
                                "xHidD_SetFeature",
                                "xHidD_GetOutputReport",
                                "xHidD_SetOutputReport",
                                "Write",
                                "Read",
                                "ReadEx",
                                "RegisterDeviceNotification_ArrivalRemove",
                                "UnregisterDeviceNotification_ArrivalRemove",
                                "RegisterDeviceNotification_QueryRemove",
                                "GetUsbDeviceFromHidList",
                                "GetUsbDeviceFromHidDevice",
                                "isQV7Device",
                                "GetPID_OfQV7Path",
                                "GetHidIDs",
                                "isDeviceExist",
                                "GetUsbDeviceVIDPIDSNFromHub",
                                "GetUSBDeviceInterfacePath",
                                "GetDeviceViaInterfaceGUID",
                                "UsbReset"};

// The library through its module handle, as a host sees it.
class Library {
 public:
  explicit Library(const wchar_t* file) : module_(LoadLibraryW(BesideThisExe(file).c_str())) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module() const { return module_; }
  template <typename Function>
  Function* Get(const char* name) const {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

#define EXPORT(library, name) (library).Get<decltype(name)>(#name)

// A caller's buffer pre-filled with a pattern, to tell exactly what was written.
struct Buffer {
  Buffer() { units.fill(0xCCCC); }
  bool Untouched() const {
    for (wchar_t unit : units)
      if (unit != 0xCCCC) return false;
    return true;
  }
  std::wstring Text() const { return std::wstring(units.data()); }
  DeviceLibraryChar* data() { return reinterpret_cast<DeviceLibraryChar*>(units.data()); }
  std::array<wchar_t, 1200> units;
};

class RealLibraryTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(library.module(), nullptr) << "resource.dll beside the test did not load"; }
  Library library{L"resource.dll"};
};

TEST_F(RealLibraryTest, EveryExportResolvesByNameAndTwoNamesAreOneFunction) {
  EXPECT_EQ(std::size(kExports), 29u);
  for (const char* name : kExports) EXPECT_NE(GetProcAddress(library.module(), name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(library.module(), "GetHidDeviceName"), GetProcAddress(library.module(), "xEnumHidDevice"));
  EXPECT_EQ(GetProcAddress(library.module(), "FakeWorldUseScenario"), nullptr);  // only in the fake build
  EXPECT_EQ(GetProcAddress(library.module(), "DllInitialize"), nullptr);
}

TEST_F(RealLibraryTest, LoadingAndUnloadingRepeatedlyLeavesNoHandleBehind) {
  DWORD before = 0, after = 0;
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
  for (int i = 0; i < 50; ++i) {
    Library again(L"resource.dll");
    ASSERT_NE(again.module(), nullptr);
    auto count = EXPORT(again, GetHidDeviceFromCustomHidList);
    count(0, 0, 0, 0, -1, nullptr);
  }
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
  EXPECT_LE(after, before + 2);  // Wine may keep a cached handle or two of its own
}

TEST_F(RealLibraryTest, HubWalkFindsNoHostControllerAndWritesNothing) {
  auto walk = EXPORT(library, GetUsbDeviceFromHub);
  Buffer hubName;
  int32_t connectionIndex = 0x5A5A5A5A;
  EXPECT_EQ(walk(0, 0, -1, hubName.data(), &connectionIndex), 0);
  EXPECT_EQ(walk(0, 0, 0, hubName.data(), &connectionIndex), 0);
  EXPECT_EQ(walk(0x09DA, 0, 0, hubName.data(), &connectionIndex), 0);
  EXPECT_TRUE(hubName.Untouched());
  EXPECT_EQ(connectionIndex, 0x5A5A5A5A);

  auto ids = EXPORT(library, GetUsbDeviceVIDPIDFromHub);
  uint16_t vid = 0x1111, pid = 0x2222;
  EXPECT_EQ(ids(u"USB#ROOT_HUB30#4&1&0&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}", 1, &vid, &pid), 0);
  EXPECT_EQ(vid, 0x1111);
  EXPECT_EQ(pid, 0x2222);
}

class WineHidTest : public RealLibraryTest {
 protected:
  decltype(&GetHidDeviceFromCustomHidList) custom = nullptr;
  decltype(&GetHidDeviceName) name = nullptr;
  void SetUp() override {
    RealLibraryTest::SetUp();
    custom = EXPORT(library, GetHidDeviceFromCustomHidList);
    name = EXPORT(library, GetHidDeviceName);
    ASSERT_TRUE(custom && name);
  }
  std::wstring MousePath() {
    Buffer path;
    EXPECT_EQ(custom(0x845E, 0x0001, 1, 2, 0, path.data()), 1);
    return path.Text();
  }
};

struct WineKey {
  const char* name;
  uint32_t vid, pid, usagePage, usage;
  int32_t count;
};
void PrintTo(const WineKey& k, std::ostream* os) { *os << k.name; }
class WineHidKeyTest : public WineHidTest, public testing::WithParamInterface<WineKey> {};

TEST_P(WineHidKeyTest, CountsWinesVirtualCollections) {
  const WineKey& k = GetParam();
  Buffer path;
  EXPECT_EQ(custom(k.vid, k.pid, k.usagePage, k.usage, -1, path.data()), k.count);
  EXPECT_TRUE(path.Untouched());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WineHidKeyTest,
    testing::Values(WineKey{"Mouse", 0x845E, 0x0001, 0, 0, 1}, WineKey{"Keyboard", 0x845E, 0x0002, 0, 0, 1},
                    WineKey{"WineVendor", 0x845E, 0, 0, 0, 2}, WineKey{"MouseUsage", 0, 0, 1, 2, 1},
                    WineKey{"KeyboardUsage", 0, 0, 1, 6, 1}, WineKey{"MouseByAll", 0x845E, 1, 1, 2, 1},
                    WineKey{"MouseIsNoKeyboard", 0x845E, 1, 1, 6, 0}, WineKey{"HighBitsIgnored", 0x1845E, 0x10001, 0x10001, 0x10002, 1},
                    WineKey{"NoMakerMouse", 0x09DA, 0, 0xFFA7, 0, 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(WineHidTest, AllZeroKeyListsAtLeastTheTwo) { EXPECT_GE(custom(0, 0, 0, 0, -1, nullptr), 2); }

TEST_F(WineHidTest, ValidIndexWritesTheLowerCasePathAndItsTerminatorOnly) {
  Buffer path;
  EXPECT_EQ(custom(0x845E, 0x0001, 0, 0, 0, path.data()), 1);
  const std::wstring text = path.Text();
  EXPECT_NE(text.find(L"vid_845e&pid_0001"), std::wstring::npos) << std::string(text.begin(), text.end());
  EXPECT_NE(text.find(L"{4d1e55b2-f16f-11cf-88cb-001111000030}"), std::wstring::npos);
  EXPECT_EQ(path.units[text.size()], L'\0');
  EXPECT_EQ(path.units[text.size() + 1], 0xCCCC);
}

TEST_F(WineHidTest, IndexAtTheCountOrBeyondWritesNothing) {
  for (int32_t index : {1, 2, 1000}) {
    Buffer path;
    EXPECT_EQ(custom(0x845E, 0x0001, 0, 0, index, path.data()), 1);
    EXPECT_TRUE(path.Untouched());
  }
}

TEST_F(WineHidTest, HidListAndTheFullWidthCompare) {
  auto list = EXPORT(library, GetHidDeviceFromHidList);
  auto second = library.Get<decltype(GetHidDeviceName)>("xEnumHidDevice");
  Buffer path;
  EXPECT_EQ(list(0, 0, 0, path.data()), 0);  // no collection on 0xFFA0 / 0xA5 here
  EXPECT_TRUE(path.Untouched());
  EXPECT_EQ(custom(0x845E, 1, 0x10001, 0x10002, -1, nullptr), 1);
  EXPECT_EQ(name(0x845E, 1, 0x10001, 0x10002, -1, nullptr), 0);
  EXPECT_EQ(name(0x845E, 1, 1, 2, -1, nullptr), 1);
  EXPECT_EQ(custom(0, 0, 0x10000, 0, -1, nullptr), custom(0, 0, 0, 0, -1, nullptr));
  EXPECT_EQ(name(0, 0, 0x10000, 0, -1, nullptr), 0);
  Buffer a, b;
  EXPECT_EQ(name(0x845E, 2, 1, 6, 0, a.data()), second(0x845E, 2, 1, 6, 0, b.data()));
  EXPECT_EQ(a.Text(), b.Text());
}

TEST_F(WineHidTest, FeatureReportToWinesMouseFailsCleanly) {
  const std::wstring mouse = MousePath();
  ASSERT_FALSE(mouse.empty());
  auto setFeature = EXPORT(library, HidSetFeatureReport);
  auto getFeature = EXPORT(library, HidGetFeatureReport);
  std::array<uint8_t, 72> report{};
  report[0] = 0x07;
  report[1] = 0x04;
  report[8] = 4;
  const std::array<uint8_t, 72> sent = report;
  SetLastError(0);
  EXPECT_EQ(setFeature(reinterpret_cast<const DeviceLibraryChar*>(mouse.c_str()), report.data(), 72), 0);
  EXPECT_NE(GetLastError(), 0u);  // whatever the failing call left, for the bridge's message box
  EXPECT_EQ(report, sent);
  EXPECT_EQ(getFeature(reinterpret_cast<const DeviceLibraryChar*>(mouse.c_str()), report.data(), 72), 0);
  // And again at once: the handle of the first call was closed.
  EXPECT_EQ(setFeature(reinterpret_cast<const DeviceLibraryChar*>(mouse.c_str()), report.data(), 72), 0);
  EXPECT_EQ(setFeature(u"\\\\?\\hid#vid_09da&pid_1234#none", report.data(), 72), 0);
  EXPECT_TRUE(GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND) << GetLastError();
}

TEST_F(WineHidTest, HandleExportsPassTheCallThrough) {
  const std::wstring mouse = MousePath();
  HANDLE handle = CreateFileW(mouse.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  std::array<uint8_t, 72> report{};
  report[0] = 7;
  EXPECT_EQ(EXPORT(library, xHidD_SetFeature)(handle, report.data(), 72), 0);
  EXPECT_EQ(EXPORT(library, xHidD_GetFeature)(handle, report.data(), 72), 0);
  EXPECT_EQ(EXPORT(library, xHidD_SetFeature)(INVALID_HANDLE_VALUE, report.data(), 72), 0);
  EXPECT_EQ(EXPORT(library, xHidD_SetOutputReport)(INVALID_HANDLE_VALUE, report.data(), 72), 0);
  EXPECT_EQ(EXPORT(library, xHidD_GetOutputReport)(INVALID_HANDLE_VALUE, report.data(), 72), 0);
  CloseHandle(handle);  // the caller's, not the library's
}

const wchar_t* const kNoHub = L"USB#ROOT_HUB30#4&1&0&0#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";
const DeviceLibraryChar* U(const wchar_t* text) { return reinterpret_cast<const DeviceLibraryChar*>(text); }

TEST_F(RealLibraryTest, HubExportsFailWithoutHubsAndWriteNothing) {
  std::array<uint8_t, 64> data;
  data.fill(0xEE);
  uint16_t received = 0xBEEF;
  EXPECT_EQ(EXPORT(library, Write)(U(kNoHub), 1, 0x0100, 0, 18), 0);
  EXPECT_EQ(EXPORT(library, Read)(U(kNoHub), 1, 0x0100, 0, 18, data.data()), 0);
  EXPECT_EQ(EXPORT(library, ReadEx)(U(kNoHub), 1, 0x0100, 0, 18, data.data(), &received), 0);
  EXPECT_EQ(received, 0xBEEF);
  EXPECT_EQ(data[0], 0xEE);
  EXPECT_EQ(EXPORT(library, isDeviceExist)(U(kNoHub), 1), 0);
  uint16_t vid = 0x1111, pid = 0x2222, release = 0x3333;
  EXPECT_EQ(EXPORT(library, GetUsbDeviceVIDPIDSNFromHub)(U(kNoHub), 1, &vid, &pid, &release), 0);
  EXPECT_EQ(vid + pid + release, 0x6666);
  EXPECT_EQ(EXPORT(library, UsbReset)(0x845E, 0x0001), 0);  // no USB enumerator devices here
  EXPECT_EQ(EXPORT(library, UsbReset)(0x09DA, 0x1234), 0);
}

// Wine stubs the configuration manager (CM_Get_Parent fails, the list size is not written): the
// correlation finds nothing for Wine's HID devices and says so through its outputs.
TEST_F(WineHidTest, CorrelationFindsNoUsbPortForWinesDevices) {
  const std::wstring mouse = MousePath();
  ASSERT_FALSE(mouse.empty());
  Buffer hubName;
  int32_t connectionIndex = 0x5A5A;
  EXPECT_EQ(EXPORT(library, GetUsbDeviceFromHidDevice)(U(mouse.c_str()), hubName.data(), &connectionIndex), 0);
  EXPECT_EQ(hubName.Text(), L"");
  EXPECT_EQ(connectionIndex, 0);
  Buffer untouched;
  EXPECT_EQ(EXPORT(library, GetUsbDeviceFromHidList)(0, 0, -1, untouched.data(), &connectionIndex), 0);
  EXPECT_TRUE(untouched.Untouched());
}

TEST_F(WineHidTest, FamilyAndIdsOfWinesMouse) {
  const std::wstring mouse = MousePath();
  ASSERT_FALSE(mouse.empty());
  EXPECT_EQ(EXPORT(library, isQV7Device)(U(mouse.c_str())), 0);  // usage page 1, not the family's
  EXPECT_EQ(EXPORT(library, GetPID_OfQV7Path)(U(mouse.c_str())), 0x0001);
  uint16_t vid = 0, pid = 0, usagePage = 0, usage = 0;
  EXPECT_EQ(EXPORT(library, GetHidIDs)(U(mouse.c_str()), &vid, &pid, &usagePage, &usage), 1);
  EXPECT_EQ(vid, 0x845E);
  EXPECT_EQ(pid, 0x0001);
  EXPECT_EQ(usagePage, 1);
  EXPECT_EQ(usage, 2);
  EXPECT_EQ(EXPORT(library, GetHidIDs)(U(L"\\\\?\\hid#none"), &vid, nullptr, nullptr, nullptr), 0);
}

TEST_F(WineHidTest, UnfilteredListAndInterfaceByClass) {
  auto all = EXPORT(library, GetUSBDeviceInterfacePath);
  const int32_t count = all(123, 456, -1, nullptr);
  EXPECT_EQ(count, custom(0, 0, 0, 0, -1, nullptr));
  Buffer first;
  EXPECT_EQ(all(0, 0, 0, first.data()), count);
  EXPECT_NE(first.Text().find(L"{4d1e55b2-f16f-11cf-88cb-001111000030}"), std::wstring::npos);

  auto open = EXPORT(library, GetDeviceViaInterfaceGUID);
  const GUID hid{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
  EXPECT_EQ(open(&hid, static_cast<uint32_t>(count)), nullptr);
  EXPECT_EQ(open(nullptr, 0), nullptr);
  // Wine's virtual devices may or may not open for read and write; either way the handle is ours.
  if (HANDLE handle = open(&hid, 0)) {
    EXPECT_TRUE(CloseHandle(handle));
  }
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(RealLibraryTest, ARealWindowReceivesTheRegistrations) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"DeviceLibraryNotificationTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  auto arrival = EXPORT(library, RegisterDeviceNotification_ArrivalRemove);
  auto unregister = EXPORT(library, UnregisterDeviceNotification_ArrivalRemove);
  auto queryRemove = EXPORT(library, RegisterDeviceNotification_QueryRemove);
  SetLastError(0);
  void* keyboard = arrival(window);
  EXPECT_NE(keyboard, nullptr) << GetLastError();
  EXPECT_NE(unregister(keyboard), 0);
  EXPECT_EQ(unregister(nullptr), 0);

  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  void* handleRegistration = queryRemove(window, file);
  if (handleRegistration) {  // Wine may refuse a file handle
    EXPECT_NE(unregister(handleRegistration), 0);
  }
  CloseHandle(file);
  DestroyWindow(window);
  UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}

TEST(StringOutputOnWindows, WsprintfWStopsAt1024Units) {
  std::u16string text(2000, u'a');
  std::array<char16_t, 2100> out;
  out.fill(0xCCCC);
  device_library::WriteStringOutput(out.data(), text);
  size_t written = 0;
  while (written < out.size() && out[written] != 0xCCCC) ++written;
  // 1,023 units of text and the terminator, as the native build's own copy writes them.
  EXPECT_EQ(written, device_library::kMaxStringOutputUnits);
  EXPECT_EQ(out[written - 1], u'\0');
  EXPECT_EQ(out[written - 2], u'a');
  device_library::WriteStringOutput(out.data(), u"hub");
  EXPECT_EQ(std::u16string(out.data()), u"hub");
}

// The fake-world build through the same boundary: the bridge's sequence of calls, and the last
// error of a refused report mirrored into the thread's own.
TEST(FakeWorldLibrary, BridgeSequenceReachesTheSimulatedMouse) {
  Library fake(L"resource_fake.dll");
  ASSERT_NE(fake.module(), nullptr);
  ASSERT_EQ(EXPORT(fake, FakeWorldUseScenario)(u"bridge_mouse_refuses_report"), 1);
  DeviceLibraryChar hubName[128];
  int32_t connectionIndex = 0;
  ASSERT_EQ(EXPORT(fake, GetUsbDeviceFromHub)(0, 0, 0, hubName, &connectionIndex), 2);
  uint16_t vid = 0, pid = 0;
  ASSERT_EQ(EXPORT(fake, GetUsbDeviceVIDPIDFromHub)(hubName, connectionIndex, &vid, &pid), 1);
  EXPECT_EQ(vid, 0x09DA);
  DeviceLibraryChar path[128] = {};
  ASSERT_EQ(EXPORT(fake, GetHidDeviceFromCustomHidList)(0x09DA, pid, 0xFFA7, 0, 0, path), 1);
  uint8_t report[72] = {7, 4};
  SetLastError(0);
  EXPECT_EQ(EXPORT(fake, HidSetFeatureReport)(path, report, 72), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
  EXPECT_EQ(EXPORT(fake, FakeWorldReportCount)(), 1);
  EXPECT_EQ(EXPORT(fake, FakeWorldOpenObjectCount)(), 0);

  ASSERT_EQ(EXPORT(fake, FakeWorldUseScenario)(u"bridge_mouse"), 1);
  EXPECT_EQ(EXPORT(fake, HidSetFeatureReport)(path, report, 72), 1);
  uint8_t accepted = 0;
  EXPECT_EQ(EXPORT(fake, FakeWorldGetReport)(0, nullptr, nullptr, 0, &accepted), 72);
  EXPECT_EQ(accepted, 1);
}

}  // namespace
