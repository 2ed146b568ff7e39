// The run: the low-level mouse hook stamps every left and right button-down with the
// performance counter and pairs the two buttons of one stroke inside a 50 ms window.
#include <windows.h>

#include "click_race/extended_arithmetic.h"
#include "device_bridge/test_mode_command.h"
#include "shell/main_form.h"

namespace {
constexpr forms::Color kRed = 255, kYellow = 64767;
constexpr int kPinX = 100, kPinY = 300;

double ReadFrequency(std::int64_t& query) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  query = frequency.QuadPart;
  return static_cast<double>(query);
}
}  // namespace

void TMainForm::StartRun() {
  if (!device_bridge::SendTestModeCommand(device_bridge::TestMode::ModeRunStart)) return;
  if (!MouseHook) MouseHook.reset(SetWindowsHookExW(WH_MOUSE_LL, &TMainForm::MouseHookProc, GetModuleHandleW(nullptr), 0));
  LeftFrequency = ReadFrequency(LeftQuery);
  RightFrequency = ReadFrequency(RightQuery);
  StrokeCount = 0;
  LeftMs = 0.0;
  RightMs = 0.0;
  ClearTable();

  // Pin the cursor to one pixel of the background, so that the strokes do not move it.
  const POINT origin = ClientOrigin();
  SetCursorPos(origin.x + kPinX, origin.y + kPinY);
  const RECT pin{origin.x + kPinX, origin.y + kPinY, origin.x + kPinX + 1, origin.y + kPinY + 1};
  ClipCursor(&pin);
  // The pinned window cannot move anyway, and the system's move loop that a left press on the
  // background would start delays the input that follows it by a millisecond or more.
  AdvShaper1->DragsWindow = false;

  lb_F1->SetFontColor(kRed);
  lb_F2->SetFontColor(kYellow);
}

void TMainForm::StopRun() {
  if (MouseHook) {
    MouseHook.reset();
    ClipCursor(nullptr);
  }
  AdvShaper1->DragsWindow = true;
  lb_F1->SetFontColor(kYellow);
  lb_F2->SetFontColor(kRed);
  device_bridge::SendTestModeCommand(device_bridge::TestMode::ModeRunStop);
}

// Stamp first, decide fast, pass every event on: a slow hook is skipped by the system.
LRESULT CALLBACK TMainForm::MouseHookProc(int code, WPARAM message, LPARAM event) {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  if (code >= 0 && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) && MainForm) {
    MainForm->HandleButtonDown(static_cast<UINT>(message), counter.QuadPart);
  }
  return CallNextHookEx(nullptr, code, message, event);
}

void TMainForm::HandleButtonDown(UINT message, std::int64_t counter) {
  const bool left = message == WM_LBUTTONDOWN;
  if (!left && message != WM_RBUTTONDOWN) return;
  std::int64_t& query = left ? LeftQuery : RightQuery;
  std::int64_t& stamp = left ? LeftCounter : RightCounter;
  double& ms = left ? LeftMs : RightMs;
  forms::Timer& own = left ? *tm_LeftDown : *tm_RightDown;
  forms::Timer& other = left ? *tm_RightDown : *tm_LeftDown;

  query = counter;
  stamp = query;
  ms = click_race::CounterToMilliseconds(stamp, left ? LeftFrequency : RightFrequency);
  if (other.Enabled()) {
    other.SetEnabled(false);
    RecordStroke(true);
  } else {
    own.SetEnabled(true);  // an open window keeps running from its first opening
  }
}

void TMainForm::tm_LeftDownTimer() {
  LeftFrequency = ReadFrequency(LeftQuery);
  RightFrequency = ReadFrequency(RightQuery);
  RecordStroke(false);
  tm_LeftDown->SetEnabled(false);
}

void TMainForm::tm_RightDownTimer() {
  LeftFrequency = ReadFrequency(LeftQuery);
  RightFrequency = ReadFrequency(RightQuery);
  RecordStroke(false);
  tm_RightDown->SetEnabled(false);
}

void TMainForm::RecordStroke(bool collided) {
  const click_race::StrokeJudgement judgement = click_race::JudgeStroke(LeftMs, RightMs, collided);
  ++StrokeCount;
  AppendRow(StrokeCount, judgement.verdict, judgement.difference);
}
