// Shared by the native tests: a fixture that installs a fresh fake world for each test and fails
// the test when anything acquired is still open at its end, and a guarded output buffer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "device_library/fake_world.h"
#include "device_library/fake_world_installed.h"

namespace device_library::fake {

inline std::string Narrow(std::u16string_view text) {
  std::string narrow;
  for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

class FakeWorldTest : public testing::Test {
 protected:
  FakeWorldTest() : installed_(world) {}
  void TearDown() override {
    const Outstanding open = world.Open();
    EXPECT_EQ(open.files, 0) << "file handles left open";
    EXPECT_EQ(open.deviceInfoSets, 0) << "device information sets left open";
    EXPECT_EQ(open.preparsedData, 0) << "preparsed data left";
    EXPECT_EQ(open.localMemory, 0) << "LocalAlloc blocks left";
  }
  FakeWorld world;

 private:
  ScopedFakeWorld installed_;
};

// A caller's UTF-16 buffer pre-filled with a pattern, to tell exactly which units were written.
class OutputBuffer {
 public:
  static constexpr char16_t kPattern = u'\xCCCC';
  OutputBuffer() { units_.fill(kPattern); }
  char16_t* data() { return units_.data(); }
  bool Untouched() const {
    return std::all_of(units_.begin(), units_.end(), [](char16_t u) { return u == kPattern; });
  }
  // The text up to the terminator; empty when there is no terminator.
  std::u16string Text() const {
    auto end = std::find(units_.begin(), units_.end(), u'\0');
    return end == units_.end() ? std::u16string() : std::u16string(units_.begin(), end);
  }
  // Units written: everything up to the first unit still holding the pattern.
  size_t UnitsWritten() const {
    return static_cast<size_t>(std::find(units_.begin(), units_.end(), kPattern) - units_.begin());
  }

 private:
  std::array<char16_t, 1200> units_;
};

}  // namespace device_library::fake
