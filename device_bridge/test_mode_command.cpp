#include "device_bridge/test_mode_command.h"

#include <windows.h>

#include "device_bridge/library_loader.h"
#include "device_bridge/test_mode.h"

namespace device_bridge {
namespace {

void ShowSendError(DWORD code) {
  wchar_t text[256] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256, nullptr);
  text[255] = L'\0';
  MessageBoxW(nullptr, TrimSystemMessage(text).c_str(), L"錯誤訊息", MB_OK);
}

}  // namespace

bool SendTestModeCommand(TestMode mode) {
  LoadedLibraryApi library;
  return RunTestModeCommand(library, mode, [] { ShowSendError(GetLastError()); });
}

}  // namespace device_bridge
