// Switches the attached mice of the maker into and out of their test mode.
#pragma once

#include <cstdint>

namespace device_bridge {

enum class TestMode : std::uint8_t { ModeRunStart = 4, ModeRunStop = 8 };

// True when every USB device was handled; false after a send failed, once the error box has been
// shown. With no device library loaded nothing is sent and the result is true.
bool SendTestModeCommand(TestMode mode);

}  // namespace device_bridge
