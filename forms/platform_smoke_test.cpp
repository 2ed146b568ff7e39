// Proves the Windows test setup: a real window on the session's display receives a real timer.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

int g_timerMessages = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    ++g_timerMessages;
    KillTimer(window, wParam);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(PlatformSmoke, RealWindowReceivesRealTimer) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"PlatformSmokeWindow";
  ASSERT_NE(RegisterClassW(&windowClass), 0);
  HWND window = CreateWindowExW(0, L"PlatformSmokeWindow", L"smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);

  const DWORD start = GetTickCount();
  ASSERT_NE(SetTimer(window, 1, 30, nullptr), 0u);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  EXPECT_EQ(g_timerMessages, 1);
  EXPECT_GE(GetTickCount() - start, 20u);
  DestroyWindow(window);
  UnregisterClassW(L"PlatformSmokeWindow", windowClass.hInstance);
}

}  // namespace
