// Times one RepaintSkin of the program's button strips and the part of it that builds the region,
// with the region put together run by run and in one ExtCreateRegion call.
// Usage: skin_bench [iterations]   (prints figures; exit code 1 only if the two builds disagree)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "forms/unique_handle.h"
#include "skin/Classtsyntaxgraphicsengine.h"
#include "skin/Classtsyntaxmodelsbar.h"
#include "skin/run_scan.h"

namespace {

using skin::classTSyntaxGraphicsEngine;
using Build = classTSyntaxGraphicsEngine::RegionBuild;

double Frequency() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

// Median in microseconds of `iterations` timed calls.
double MedianMicros(int iterations, const std::function<void()>& call) {
  static const double frequency = Frequency();
  std::vector<double> samples;
  samples.reserve(iterations);
  for (int i = 0; i < iterations; ++i) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    call();
    QueryPerformanceCounter(&b);
    samples.push_back((b.QuadPart - a.QuadPart) * 1e6 / frequency);
  }
  std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
  return samples[samples.size() / 2];
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

bool SameRegion(HRGN a, HRGN b) {
  const DWORD sizeA = GetRegionData(a, 0, nullptr);
  const DWORD sizeB = GetRegionData(b, 0, nullptr);
  if (sizeA != sizeB) return false;
  std::vector<char> dataA(sizeA), dataB(sizeB);
  GetRegionData(a, sizeA, reinterpret_cast<RGNDATA*>(dataA.data()));
  GetRegionData(b, sizeB, reinterpret_cast<RGNDATA*>(dataB.data()));
  return EqualRgn(a, b) && dataA == dataB;
}

bool Measure(HWND host, const wchar_t* name, int iterations) {
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 30, host,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  bool agree = true;
  {
    skin::classTSyntaxModelsbar skinned(button);
    skinned.SetPicture(LoadBitmapW(GetModuleHandleW(nullptr), name));
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    const int width = skinned.BackBuffer.Width();
    const int height = skinned.BackBuffer.Height();

    double repaint[2], build[2], changing[2];
    // Reading the pixels and finding the runs, without any region call.
    const double scan = MedianMicros(iterations, [&] {
      int count = 0;
      GdiFlush();
      skin::ScanRuns(width, height, [&](int x, int y) { return skinned.BackBuffer.Pixel(x, y); },
                     [&](const skin::PixelRun&) { ++count; });
      if (count < 0) std::abort();
    });
    forms::UniqueRegion shapes[2] = {forms::UniqueRegion(CreateRectRgn(0, 0, 0, 0)),
                                     forms::UniqueRegion(CreateRectRgn(0, 0, 0, 0))};
    int runs = 0;
    for (const Build way : {Build::RunByRun, Build::OneCall}) {
      const int i = way == Build::RunByRun ? 0 : 1;
      skinned.Engine.Build = way;
      // Steady state: the mouse moves over the button, the frame and its shape stay the same.
      skinned.Hover = true;
      skinned.RepaintSkin();
      repaint[i] = MedianMicros(iterations, [&] { skinned.RepaintSkin(); });
      build[i] = MedianMicros(iterations, [&] { skinned.Engine.BuildShape(skinned.BackBuffer, way); });
      CombineRgn(shapes[i].get(), skinned.Engine.ShapeRegion.get(), nullptr, RGN_COPY);
      // A repaint whose shape differs from the one applied: it also sets the window region and redraws.
      changing[i] = MedianMicros(iterations / 4 + 1, [&] {
        SetRectRgn(skinned.AppliedRegion.get(), 0, 0, 0, 0);
        skinned.RepaintSkin();
      });
      Pump();
    }
    runs = static_cast<int>(GetRegionData(shapes[0].get(), 0, nullptr) - sizeof(RGNDATAHEADER)) /
           static_cast<int>(sizeof(RECT));
    const bool same = SameRegion(shapes[0].get(), shapes[1].get());
    agree = same;
    std::printf("%ls frame %d x %d (hover frame: %d rectangles in the region)\n", name, width, height, runs);
    std::printf("  run by run : RepaintSkin median %8.1f us, region build %8.1f us = %4.1f %% of it; "
                "with region set %8.1f us\n",
                repaint[0], build[0], 100.0 * build[0] / repaint[0], changing[0]);
    std::printf("  one call   : RepaintSkin median %8.1f us, region build %8.1f us = %4.1f %% of it; "
                "with region set %8.1f us\n",
                repaint[1], build[1], 100.0 * build[1] / repaint[1], changing[1]);
    std::printf("  scan alone (pixels to runs, no region calls) %.1f us\n", scan);
    std::printf("  region build run by run / one call = %.2f; RepaintSkin ratio = %.2f; regions identical: %s\n",
                build[0] / build[1], repaint[0] / repaint[1], same ? "yes" : "NO");
  }
  DestroyWindow(button);
  return agree;
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::max(5, std::atoi(argv[1])) : 2000;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  forms::UniqueWindow host(CreateWindowExW(0, L"STATIC", L"skin bench", WS_POPUP | WS_VISIBLE, 50, 50, 400, 100,
                                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  std::printf("median of %d repaints each\n", iterations);
  bool agree = Measure(host.get(), L"Bitmap_Cancel", iterations);
  agree = Measure(host.get(), L"Bitmap_WebIcon", iterations) && agree;
  return agree ? 0 : 1;
}
