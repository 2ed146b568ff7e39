// Cost of one GetUsbDeviceFromHub walk, one HID search and one HID-to-USB correlation in the fake world: 4 host
// controllers, 3 hub tiers, 64 devices, 128 collections (and 2x, 4x that, to show the cost grows
// linearly). Reports platform calls per operation next to the wall time.
#include <benchmark/benchmark.h>

#include "device_library/device_library.h"
#include "device_library/fake_world_installed.h"
#include "device_library/fake_world_scenarios.h"

namespace {

using device_library::fake::Call;
using device_library::fake::FakeWorld;

void ReportCalls(benchmark::State& state, const FakeWorld& world, int32_t found) {
  const double runs = static_cast<double>(state.iterations());
  state.counters["found"] = found;
  state.counters["calls/op"] = static_cast<double>(world.TotalCalls()) / runs;
  state.counters["opens/op"] = static_cast<double>(world.CallCount(Call::CreateFileW)) / runs;
  state.counters["ioctls/op"] = static_cast<double>(world.CallCount(Call::DeviceIoControl)) / runs;
  state.counters["allocs/op"] = static_cast<double>(world.CallCount(Call::LocalAlloc)) / runs;
  state.counters["hidQueries/op"] =
      static_cast<double>(world.CallCount(Call::HidD_GetAttributes) + world.CallCount(Call::HidP_GetCaps)) / runs;
}

void BM_GetUsbDeviceFromHubWalk(benchmark::State& state) {
  FakeWorld world;
  BuildBenchmarkWorld(world, static_cast<uint32_t>(state.range(0)));
  world.logCalls = false;
  device_library::fake::ScopedFakeWorld installed(world);
  int32_t count = 0;
  for (auto _ : state) {
    count = GetUsbDeviceFromHub(0, 0, -1, nullptr, nullptr);
    benchmark::DoNotOptimize(count);
  }
  ReportCalls(state, world, count);
  state.counters["ns/device"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}
BENCHMARK(BM_GetUsbDeviceFromHubWalk)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

void BM_HidSearch(benchmark::State& state) {
  FakeWorld world;
  BuildBenchmarkWorld(world, static_cast<uint32_t>(state.range(0)));
  world.logCalls = false;
  device_library::fake::ScopedFakeWorld installed(world);
  int32_t count = 0;
  for (auto _ : state) {
    // The bridge's search: vendor 0x09DA, usage page 0xFFA7, any product and usage.
    count = GetHidDeviceFromCustomHidList(0x09DA, 0, 0xFFA7, 0, -1, nullptr);
    benchmark::DoNotOptimize(count);
  }
  ReportCalls(state, world, count);
  state.counters["collections"] = static_cast<double>(world.hidCollections.size());
}
BENCHMARK(BM_HidSearch)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

void BM_HidToUsbCorrelation(benchmark::State& state) {
  FakeWorld world;
  BuildBenchmarkWorld(world, static_cast<uint32_t>(state.range(0)));
  world.logCalls = false;
  device_library::fake::ScopedFakeWorld installed(world);
  // The last collection of the world: its port is the last one the walk reaches.
  const std::u16string path = world.hidCollections.back().path;
  uint8_t found = 0;
  for (auto _ : state) {
    found = GetUsbDeviceFromHidDevice(path.c_str(), nullptr, nullptr);
    benchmark::DoNotOptimize(found);
  }
  ReportCalls(state, world, found);
  state.counters["deviceNodes"] = static_cast<double>(world.deviceNodes.size());
}
BENCHMARK(BM_HidToUsbCorrelation)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
