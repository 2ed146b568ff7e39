#include "device_bridge/test_mode_command.h"

namespace device_bridge {

// Until the device library is deployed and loaded there is nothing to send to.
bool SendTestModeCommand(TestMode) { return true; }

}  // namespace device_bridge
