// Which fake world ThePlatform() answers with when the fake world is linked instead of Windows:
// the one a test installs, else a built-in scenario (DEVICE_LIBRARY_FAKE_SCENARIO at build time,
// or whatever FakeWorldUseScenario last selected).
#pragma once

#include <string_view>

#include "device_library/fake_world.h"

namespace device_library::fake {

// Null puts the built-in scenario world back. The world must outlive its installation.
void InstallFakeWorld(FakeWorld* world);
FakeWorld& InstalledFakeWorld();
// Rebuilds the built-in world as the named scenario and installs it; false for an unknown name.
bool UseBuiltInScenario(std::u16string_view name);

// Installs a world for one scope (a test), and puts the previous one back.
class ScopedFakeWorld {
 public:
  explicit ScopedFakeWorld(FakeWorld& world);
  ScopedFakeWorld(const ScopedFakeWorld&) = delete;
  ScopedFakeWorld& operator=(const ScopedFakeWorld&) = delete;
  ~ScopedFakeWorld();

 private:
  FakeWorld* previous_;
};

}  // namespace device_library::fake
