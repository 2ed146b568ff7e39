// wsprintfW on Windows, a copy with the same bound elsewhere.
#include "device_library/string_output.h"

#include <algorithm>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace device_library {

void WriteStringOutput(char16_t* out, std::u16string_view text) {
  if (out == nullptr) return;
#ifdef _WIN32
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  const std::u16string terminated(text);  // wsprintfW reads up to the terminator
  wsprintfW(reinterpret_cast<wchar_t*>(out), L"%ws", reinterpret_cast<const wchar_t*>(terminated.c_str()));
#else
  const size_t units = std::min(text.size(), kMaxStringOutputUnits - 1);
  std::copy_n(text.data(), units, out);
  out[units] = u'\0';
#endif
}

}  // namespace device_library
