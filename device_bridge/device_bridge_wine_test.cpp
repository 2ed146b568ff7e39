// The device bridge under Wine, through the real DLL boundary: the exe's embedded library (here
// the build over a simulated world: one mouse of the maker with its 0xFFA7 collection) is
// deployed to the documents folder, loaded with LoadLibraryW and called by name.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "forms/message_pump.h"
#include "device_bridge/library_loader.h"
#include "shell/main_form.h"

namespace {

using namespace std::chrono_literals;
using forms::Pump;

std::wstring LibraryPath() {
  wchar_t folder[MAX_PATH] = L"";
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, FALSE);
  return std::wstring(folder) + L"\\resource.dll";
}

std::vector<char> FileBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<char> EmbeddedBytes() {
  HRSRC resource = FindResourceW(nullptr, L"resource", L"DLL");
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
  return {bytes, bytes + SizeofResource(nullptr, resource)};
}

FILETIME LastWrite(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

// The simulated world's own exports: what reached its collections.
struct FakeWorld {
  HMODULE module = GetModuleHandleW(LibraryPath().c_str());
  template <typename F>
  F Entry(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  int ReportCount() const { return Entry<int(__cdecl*)()>("FakeWorldReportCount")(); }
  std::pair<std::wstring, std::vector<std::uint8_t>> Report(int index) const {
    wchar_t path[1025] = L"";
    std::vector<std::uint8_t> bytes(256);
    unsigned char accepted = 0;
    const int length = Entry<int(__cdecl*)(int, wchar_t*, std::uint8_t*, unsigned, unsigned char*)>("FakeWorldGetReport")(
        index, path, bytes.data(), static_cast<unsigned>(bytes.size()), &accepted);
    bytes.resize(length > 0 ? length : 0);
    return {path, bytes};
  }
  bool UseScenario(const wchar_t* name) const { return Entry<unsigned char(__cdecl*)(const wchar_t*)>("FakeWorldUseScenario")(name); }
};

std::vector<std::uint8_t> ExpectedReport(std::uint8_t mode) {
  std::vector<std::uint8_t> bytes(72, 0);
  bytes[0] = 7, bytes[1] = 4, bytes[8] = mode;
  return bytes;
}

class DeviceBridgeTest : public testing::Test {
 protected:
  void SetUp() override { DeleteFileW(LibraryPath().c_str()); }
  void TearDown() override {
    if (form_) {
      if (form_->Handle()) form_->ExitSequence();
      MainForm = nullptr;
      form_.reset();
    }
    device_bridge::CloseDeviceLibrary();
    DeleteFileW(LibraryPath().c_str());
  }
  void Start() {
    form_ = std::make_unique<TMainForm>();
    MainForm = form_.get();
    form_->Show();
    Pump(50ms);
  }
  void Hotkey(const wchar_t* atom) { SendMessageW(form_->Handle(), WM_HOTKEY, GlobalFindAtomW(atom), 0); }

  std::unique_ptr<TMainForm> form_;
};

TEST_F(DeviceBridgeTest, FirstStartWritesTheLibraryByteForByteAndLoadsIt) {
  Start();
  EXPECT_EQ(form_->DllPath, LibraryPath());
  EXPECT_EQ(FileBytes(LibraryPath()), EmbeddedBytes());
  EXPECT_TRUE(device_bridge::DeviceLibraryLoaded());
  EXPECT_NE(GetModuleHandleW(LibraryPath().c_str()), nullptr);
}

TEST_F(DeviceBridgeTest, F1AndF2SendTheirReportsToTheMousesTestCollection) {
  Start();
  FakeWorld world;
  ASSERT_NE(world.module, nullptr);
  Hotkey(L"OpenMouseHook");
  EXPECT_TRUE(form_->MouseHook);
  Hotkey(L"StopTest");
  ASSERT_EQ(world.ReportCount(), 2);
  const auto [startPath, startReport] = world.Report(0);
  const auto [stopPath, stopReport] = world.Report(1);
  EXPECT_EQ(startReport, ExpectedReport(4));
  EXPECT_EQ(stopReport, ExpectedReport(8));
  EXPECT_NE(startPath.find(L"vid_09da&pid_1234"), std::wstring::npos) << "the mouse's path";
  wchar_t expected[device_bridge::kLibraryTextCapacity] = L"";
  device_bridge::GetHidDeviceFromCustomHidList(0x09DA, 0x1234, 0xFFA7, 0, 0, expected);
  EXPECT_EQ(startPath, expected) << "its 0xFFA7 collection";
  EXPECT_EQ(stopPath, expected);
}

TEST_F(DeviceBridgeTest, RefusedReportShowsTheErrorBoxAndTheRunDoesNotStart) {
  Start();
  FakeWorld world;
  ASSERT_TRUE(world.UseScenario(L"bridge_mouse_refuses_report"));
  std::atomic<bool> stop{false};
  std::wstring boxText;
  std::thread watcher([&] {
    while (!stop) {
      if (HWND box = FindWindowW(nullptr, L"錯誤訊息")) {
        wchar_t text[512] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        boxText = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      std::this_thread::sleep_for(5ms);
    }
  });
  Hotkey(L"OpenMouseHook");
  stop = true;
  watcher.join();
  EXPECT_FALSE(boxText.empty()) << "the box shows the system's text for the error";
  EXPECT_EQ(boxText.back() == L'.', false);
  EXPECT_FALSE(form_->MouseHook) << "the run does not start";
  EXPECT_EQ(form_->lb_F1->Font().FontColor, 64767u);
  ASSERT_TRUE(world.UseScenario(L"bridge_mouse"));  // so that leaving can send its report
}

TEST_F(DeviceBridgeTest, ExitSequenceLeavesNoFileButASystemCloseLeavesIt) {
  Start();
  form_->btn_CancelClick();
  EXPECT_EQ(GetFileAttributesW(LibraryPath().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(device_bridge::DeviceLibraryLoaded());
  MainForm = nullptr;
  form_.reset();

  Start();
  SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_NE(GetFileAttributesW(LibraryPath().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(device_bridge::DeviceLibraryLoaded()) << "stays loaded until the process ends";
}

TEST_F(DeviceBridgeTest, SecondStartLoadsAnIdenticalFileWithoutWritingIt) {
  {
    std::ofstream file(std::filesystem::path(LibraryPath()), std::ios::binary);
    const std::vector<char> bytes = EmbeddedBytes();
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  FILETIME old{};
  old.dwLowDateTime = 0x12345678;
  old.dwHighDateTime = 0x01D00000;
  {
    forms::UniqueFile file(CreateFileW(LibraryPath().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    SetFileTime(file.get(), nullptr, nullptr, &old);
  }
  Start();
  const FILETIME now = LastWrite(LibraryPath());
  EXPECT_EQ(CompareFileTime(&old, &now), 0) << "not written again";
  EXPECT_TRUE(device_bridge::DeviceLibraryLoaded());
}

TEST_F(DeviceBridgeTest, ADifferentFileIsReplaced) {
  { std::ofstream(std::filesystem::path(LibraryPath()), std::ios::binary) << "an older library"; }
  Start();
  EXPECT_EQ(FileBytes(LibraryPath()), EmbeddedBytes());
  EXPECT_TRUE(device_bridge::DeviceLibraryLoaded());
}

TEST_F(DeviceBridgeTest, ALockedDifferentFileIsNotLoaded) {
  { std::ofstream(std::filesystem::path(LibraryPath()), std::ios::binary) << "someone else's file"; }
  forms::UniqueFile lock(CreateFileW(LibraryPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);
  Start();
  EXPECT_FALSE(device_bridge::DeviceLibraryLoaded());
  EXPECT_EQ(device_bridge::GetUsbDeviceFromHub(0, 0, 0, nullptr, nullptr), -1) << "wrappers fall back";
  Hotkey(L"OpenMouseHook");
  EXPECT_TRUE(form_->MouseHook) << "the tool runs without the library";
  lock.reset();
  EXPECT_NE(FileBytes(LibraryPath()), EmbeddedBytes()) << "the foreign file was left alone";
}

}  // namespace
