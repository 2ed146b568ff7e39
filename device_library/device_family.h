// Telling what a HID interface path belongs to: the family's vendor-defined interface (usage page
// 0xFFA0, usage 0xA5), the product id written in the path, and the ids a collection reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "device_library/platform.h"

namespace device_library {

inline constexpr uint32_t kFamilyUsagePage = 0xFFA0;
inline constexpr uint32_t kFamilyUsage = 0xA5;
inline constexpr int64_t kAnyFilter = -1;

// The class GUID as a system path spells it: 8-4-4-4-12 lower-case hex digits, no braces.
std::u16string GuidPathText(const Guid& guid);

// True when the path contains the class text (case counts: nothing is opened otherwise), opens for
// queries, and its vendor, product, usage page and usage each equal their filter or the filter is -1.
bool MatchHidInterface(Platform& platform, std::u16string_view hidPath, const Guid& interfaceClass,
                       int64_t vidFilter, int64_t pidFilter, int64_t usagePageFilter, int64_t usageFilter);

bool IsFamilyDevice(Platform& platform, std::u16string_view hidPath);

// The value of the leading hexadecimal digits (either case); the first other character ends them.
uint32_t ParseHexPrefix(std::u16string_view text);

// The up to four characters after the first "pid_" of the lower-cased path, as hex; 0 without "pid_".
uint16_t GetPidOfPath(std::u16string_view hidPath);

// Opens the path for queries and writes each non-null output; false (outputs untouched) when the
// open, the attributes, the preparsed data or the capabilities fail.
bool GetHidIds(Platform& platform, std::u16string_view hidPath, uint16_t* vidOut, uint16_t* pidOut,
               uint16_t* usagePageOut, uint16_t* usageOut);

}  // namespace device_library
