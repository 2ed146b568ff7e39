#include "device_bridge/library_loader.h"

#include <shlobj.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "forms/unique_handle.h"

namespace device_bridge {
namespace {

// The one module handle of the library in this process.
forms::UniqueModule LibraryModule;
// False when a foreign file sits at the library's path and could not be replaced.
bool DeployedFileIsOurs = true;

// The library's entries: C calling convention; 16-bit arguments travel in 32-bit slots and the
// truth values are one byte.
using GetUsbDeviceFromHubEntry = std::int32_t(__cdecl*)(std::uint32_t, std::uint32_t, std::int32_t, wchar_t*, std::int32_t*);
using GetUsbDeviceVIDPIDFromHubEntry = std::uint8_t(__cdecl*)(const wchar_t*, std::int32_t, std::uint16_t*, std::uint16_t*);
using GetHidDeviceFromCustomHidListEntry = std::int32_t(__cdecl*)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                                                  std::int32_t, wchar_t*);
using HidSetFeatureReportEntry = std::uint8_t(__cdecl*)(const wchar_t*, std::uint8_t*, std::uint32_t);
using InitialEntry = void(__cdecl*)(HWND);
using CloseQueryEntry = void(__cdecl*)();

template <typename Entry>
Entry Lookup(const char* name) {
  if (!LibraryModule) return nullptr;
  return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(LibraryModule.get(), name)));
}

struct EmbeddedLibrary {
  const std::uint8_t* bytes;
  DWORD size;
};

EmbeddedLibrary FindEmbeddedLibrary() {
  const HMODULE self = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(self, L"resource", L"DLL");
  HGLOBAL loaded = resource ? LoadResource(self, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) throw std::runtime_error("The device library is missing from the program's resources.");
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(self, resource)};
}

bool FileHoldsExactly(const std::wstring& path, const EmbeddedLibrary& library) {
  forms::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart != library.size) return false;
  std::vector<std::uint8_t> content(library.size);
  DWORD read = 0;
  return ReadFile(file.get(), content.data(), library.size, &read, nullptr) && read == library.size &&
         std::equal(content.begin(), content.end(), library.bytes);
}

bool WriteWholeFile(const std::wstring& path, const EmbeddedLibrary& library) {
  bool written = false;
  {
    forms::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD count = 0;
    written = WriteFile(file.get(), library.bytes, library.size, &count, nullptr) && count == library.size;
  }
  if (!written) DeleteFileW(path.c_str());  // never leave a truncated library behind
  return written;
}

}  // namespace

std::wstring DeployDeviceLibrary() {
  wchar_t folder[MAX_PATH] = L"";
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, FALSE);
  const std::wstring path = std::wstring(folder) + L"\\resource.dll";
  const EmbeddedLibrary library = FindEmbeddedLibrary();

  const bool present = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (present && FileHoldsExactly(path, library)) {
    DeployedFileIsOurs = true;  // an identical file is used as it is, without writing it again
  } else if (present) {
    DeployedFileIsOurs = WriteWholeFile(path, library);
  } else if (!WriteWholeFile(path, library)) {
    throw std::runtime_error("The device library could not be written to the documents folder.");
  } else {
    DeployedFileIsOurs = true;
  }
  return path;
}

void OpenDeviceLibrary(HWND window, const std::wstring& dllPath) {
  if (!LibraryModule && DeployedFileIsOurs) LibraryModule.reset(LoadLibraryW(dllPath.c_str()));
  if (auto initial = Lookup<InitialEntry>("Initial")) initial(window);
}

void CloseDeviceLibrary() {
  if (auto closeQuery = Lookup<CloseQueryEntry>("CloseQuery")) closeQuery();
  LibraryModule.reset();
}

bool DeviceLibraryLoaded() { return static_cast<bool>(LibraryModule); }

std::int32_t GetUsbDeviceFromHub(std::uint16_t vid, std::uint16_t pid, std::int32_t index, wchar_t* hubNameOut,
                                 std::int32_t* connectionIndexOut) {
  auto entry = Lookup<GetUsbDeviceFromHubEntry>("GetUsbDeviceFromHub");
  return entry ? entry(vid, pid, index, hubNameOut, connectionIndexOut) : -1;
}

bool GetUsbDeviceVIDPIDFromHub(const wchar_t* hubName, std::int32_t connectionIndex, std::uint16_t* vidOut,
                               std::uint16_t* pidOut) {
  auto entry = Lookup<GetUsbDeviceVIDPIDFromHubEntry>("GetUsbDeviceVIDPIDFromHub");
  return entry && entry(hubName, connectionIndex, vidOut, pidOut) != 0;
}

std::int32_t GetHidDeviceFromCustomHidList(std::uint16_t vid, std::uint16_t pid, std::uint16_t usagePage, std::uint16_t usage,
                                           std::int32_t index, wchar_t* pathOut) {
  auto entry = Lookup<GetHidDeviceFromCustomHidListEntry>("GetHidDeviceFromCustomHidList");
  return entry ? entry(vid, pid, usagePage, usage, index, pathOut) : -1;
}

bool HidSetFeatureReport(const wchar_t* hidPath, std::uint8_t* report, std::int32_t reportLength) {
  auto entry = Lookup<HidSetFeatureReportEntry>("HidSetFeatureReport");
  return entry && entry(hidPath, report, static_cast<std::uint32_t>(reportLength)) != 0;
}

std::int32_t LoadedLibraryApi::GetUsbDeviceFromHub(std::uint16_t vid, std::uint16_t pid, std::int32_t index,
                                                   std::wstring& hubName, std::int32_t& connectionIndex) {
  wchar_t buffer[kLibraryTextCapacity] = L"";
  std::int32_t connection = connectionIndex;
  const std::int32_t count = device_bridge::GetUsbDeviceFromHub(vid, pid, index, buffer, &connection);
  buffer[kLibraryTextCapacity - 1] = L'\0';
  hubName = buffer;
  connectionIndex = connection;
  return count;
}

bool LoadedLibraryApi::GetUsbDeviceVIDPIDFromHub(const std::wstring& hubName, std::int32_t connectionIndex, std::uint16_t& vid,
                                                 std::uint16_t& pid) {
  return device_bridge::GetUsbDeviceVIDPIDFromHub(hubName.c_str(), connectionIndex, &vid, &pid);
}

std::int32_t LoadedLibraryApi::GetHidDeviceFromCustomHidList(std::uint16_t vid, std::uint16_t pid, std::uint16_t usagePage,
                                                             std::uint16_t usage, std::int32_t index, std::wstring* path) {
  if (!path) return device_bridge::GetHidDeviceFromCustomHidList(vid, pid, usagePage, usage, index, nullptr);
  wchar_t buffer[kLibraryTextCapacity] = L"";
  const std::int32_t count = device_bridge::GetHidDeviceFromCustomHidList(vid, pid, usagePage, usage, index, buffer);
  buffer[kLibraryTextCapacity - 1] = L'\0';
  *path = buffer;
  return count;
}

bool LoadedLibraryApi::HidSetFeatureReport(const std::wstring& path, const std::uint8_t* report, std::int32_t length) {
  std::vector<std::uint8_t> copy(report, report + length);  // the entry takes a writable buffer
  const bool sent = device_bridge::HidSetFeatureReport(path.c_str(), copy.data(), length);
  const DWORD error = GetLastError();  // the caller reports the send's own error
  copy = {};
  SetLastError(error);
  return sent;
}

}  // namespace device_bridge
