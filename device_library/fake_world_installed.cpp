// ThePlatform() of every fake link (native tests, benchmark, the fake-world DLL).
#include "device_library/fake_world_installed.h"

#include <memory>

#include "device_library/fake_world_scenarios.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifndef DEVICE_LIBRARY_FAKE_SCENARIO
#define DEVICE_LIBRARY_FAKE_SCENARIO "bridge_mouse"
#endif

namespace device_library {

namespace fake {

namespace {

FakeWorld* g_installed = nullptr;
std::unique_ptr<FakeWorld> g_builtIn;

void MirrorLastError([[maybe_unused]] uint32_t error) {
#ifdef _WIN32
  ::SetLastError(error);
#endif
}

FakeWorld& BuiltIn() {
  if (!g_builtIn) {
    g_builtIn = std::make_unique<FakeWorld>();
    std::u16string name;
    for (const char* c = DEVICE_LIBRARY_FAKE_SCENARIO; *c; ++c) name += static_cast<char16_t>(*c);
    BuildScenario(name, *g_builtIn);
    g_builtIn->lastErrorSink = &MirrorLastError;
  }
  return *g_builtIn;
}

}  // namespace

void InstallFakeWorld(FakeWorld* world) { g_installed = world; }

FakeWorld& InstalledFakeWorld() { return g_installed ? *g_installed : BuiltIn(); }

bool UseBuiltInScenario(std::u16string_view name) {
  auto world = std::make_unique<FakeWorld>();
  if (!BuildScenario(name, *world)) return false;
  world->lastErrorSink = &MirrorLastError;
  g_builtIn = std::move(world);
  g_installed = nullptr;
  return true;
}

ScopedFakeWorld::ScopedFakeWorld(FakeWorld& world) : previous_(g_installed) { g_installed = &world; }
ScopedFakeWorld::~ScopedFakeWorld() { g_installed = previous_; }

}  // namespace fake

Platform& ThePlatform() { return fake::InstalledFakeWorld(); }

}  // namespace device_library
