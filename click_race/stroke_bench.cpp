// Prints what one stroke costs from the hook's entry to its row being in the table, at the start
// of a run and at row 100,000, what painting the table costs there, and the memory a row takes.
// usage: stroke_bench [rows]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * (values.size() - 1))];
}

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage ? counters.PrivateUsage : counters.WorkingSetSize;
}

MSLLHOOKSTRUCT g_event{};

// One stroke through the hook procedure; returns the microseconds of the second call, which
// stamps, judges and appends the row.
double Stroke() {
  TMainForm::MouseHookProc(HC_ACTION, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&g_event));
  const auto start = Clock::now();
  TMainForm::MouseHookProc(HC_ACTION, WM_RBUTTONDOWN, reinterpret_cast<LPARAM>(&g_event));
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double PaintTable() {
  InvalidateRect(MainForm->asg_SpeedAnalysis->Handle(), nullptr, FALSE);
  const auto start = Clock::now();
  UpdateWindow(MainForm->asg_SpeedAnalysis->Handle());
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Report(const char* when, std::vector<double> stroke, std::vector<double> paint) {
  std::printf("%-22s hook entry to row: median %6.2f us, p99 %6.2f us | table paint: median %7.1f us\n", when,
              Median(stroke), Percentile(stroke, 0.99), Median(paint));
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 100000;
  TMainForm form;
  MainForm = &form;
  form.Show();
  // The run's state without installing the system-wide hook: the procedure is called directly.
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  form.LeftFrequency = form.RightFrequency = static_cast<double>(frequency.QuadPart);
  form.ClearTable();

  std::vector<double> stroke, paint;
  for (int i = 0; i < 10; ++i) stroke.push_back(Stroke());
  for (int i = 0; i < 50; ++i) paint.push_back(PaintTable());
  Report("rows 1-10:", stroke, paint);

  const SIZE_T before = PrivateBytes();
  const int filled = form.StrokeCount;
  while (form.StrokeCount < rows - 200) Stroke();
  const SIZE_T after = PrivateBytes();
  stroke.clear();
  paint.clear();
  while (form.StrokeCount < rows) stroke.push_back(Stroke());
  for (int i = 0; i < 50; ++i) paint.push_back(PaintTable());
  char label[64];
  std::snprintf(label, sizeof label, "rows %d-%d:", rows - 199, rows);
  Report(label, stroke, paint);
  std::printf("memory: %.1f bytes per row (private bytes over %d rows)\n",
              static_cast<double>(after - before) / (form.StrokeCount - 200 - filled), form.StrokeCount - 200 - filled);
  form.Close();
  MainForm = nullptr;
  return 0;
}
