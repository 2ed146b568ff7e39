// The input path alone, for comparison with the tool: a window with the cursor pinned on it and a
// low-level mouse hook that only stamps button-downs. Prints the gap of every pair of downs in
// milliseconds, one line a pair, once `pairs` pairs have arrived (or after a minute).
// usage: bare_hook PAIRS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::vector<long long> g_stamps;
std::size_t g_wanted = 0;

LRESULT CALLBACK Hook(int code, WPARAM message, LPARAM event) {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  if (code >= 0 && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN)) {
    g_stamps.push_back(counter.QuadPart);
    if (g_stamps.size() >= g_wanted) PostQuitMessage(0);
  }
  return CallNextHookEx(nullptr, code, message, event);
}

}  // namespace

int main(int argc, char** argv) {
  const int pairs = argc > 1 ? std::atoi(argv[1]) : 10;
  g_wanted = static_cast<std::size_t>(pairs) * 2;
  g_stamps.reserve(g_wanted);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"bare hook", WS_POPUP | WS_VISIBLE, 100, 100, 300, 300,
                                nullptr, nullptr, nullptr, nullptr);
  SetCursorPos(250, 250);
  const RECT pin{250, 250, 251, 251};
  ClipCursor(&pin);
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, Hook, GetModuleHandleW(nullptr), 0);
  SetTimer(nullptr, 0, 60000, nullptr);
  std::printf("ready\n");
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) break;
    DispatchMessageW(&message);
  }
  UnhookWindowsHookEx(hook);
  ClipCursor(nullptr);
  DestroyWindow(window);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (std::size_t i = 0; i + 1 < g_stamps.size(); i += 2) {
    std::printf("%.4f\n", (g_stamps[i + 1] - g_stamps[i]) * 1000.0 / frequency.QuadPart);
  }
  return 0;
}
