// The string-output convention of every export: a hub name or HID path is written with its terminator
// into a caller's buffer of unknown size.
#pragma once

#include <cstddef>
#include <string_view>

namespace device_library {

// The most UTF-16 units one output ever writes, terminator included. On Windows the copy is
// wsprintfW(buffer, L"%ws", text), whose output stops at 1,024 units; every other build keeps the
// same bound with its own copy. A longer text arrives as its first 1,023 units and a terminator.
inline constexpr size_t kMaxStringOutputUnits = 1024;

// Writes nothing when out is null.
void WriteStringOutput(char16_t* out, std::u16string_view text);

}  // namespace device_library
