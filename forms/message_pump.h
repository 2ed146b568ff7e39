// For tests under Wine: serves this thread's messages for a while, as the message loop would.
#pragma once

#include <windows.h>

#include <chrono>

#include "forms/forms.h"

namespace forms {

inline void Pump(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  MSG message;
  while (std::chrono::steady_clock::now() < end) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Application::Dispatch(message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

}  // namespace forms
