// Device family identification over the platform interface.
#include "device_library/device_family.h"

#include "device_library/hid_search.h"

namespace device_library {

namespace {

// Digits of value, most significant first, lower case, exactly `digits` of them.
void AppendHex(std::u16string& text, uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    text += u"0123456789abcdef"[(value >> shift) & 0xF];
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool FilterMatches(int64_t filter, uint16_t value) { return filter == kAnyFilter || filter == value; }

}  // namespace

std::u16string GuidPathText(const Guid& guid) {
  // Data4 as 16, 24 and 24 bits, each most significant byte first: 4 + 6 + 6 digits.
  const uint8_t* d = guid.Data4;
  std::u16string text;
  AppendHex(text, guid.Data1, 8);
  text += u'-';
  AppendHex(text, guid.Data2, 4);
  text += u'-';
  AppendHex(text, guid.Data3, 4);
  text += u'-';
  AppendHex(text, (uint32_t{d[0]} << 8) | d[1], 4);
  text += u'-';
  AppendHex(text, (uint32_t{d[2]} << 16) | (uint32_t{d[3]} << 8) | d[4], 6);
  AppendHex(text, (uint32_t{d[5]} << 16) | (uint32_t{d[6]} << 8) | d[7], 6);
  return text;
}

bool MatchHidInterface(Platform& platform, std::u16string_view hidPath, const Guid& interfaceClass,
                       int64_t vidFilter, int64_t pidFilter, int64_t usagePageFilter, int64_t usageFilter) {
  if (hidPath.find(GuidPathText(interfaceClass)) == std::u16string_view::npos) return false;
  CollectionFacts facts{};
  if (!ReadCollectionFacts(platform, std::u16string(hidPath), &facts)) return false;
  return FilterMatches(vidFilter, facts.vid) && FilterMatches(pidFilter, facts.pid) &&
         FilterMatches(usagePageFilter, facts.usagePage) && FilterMatches(usageFilter, facts.usage);
}

bool IsFamilyDevice(Platform& platform, std::u16string_view hidPath) {
  Guid hidGuid{};
  platform.HidD_GetHidGuid(&hidGuid);
  return MatchHidInterface(platform, hidPath, hidGuid, kAnyFilter, kAnyFilter, kFamilyUsagePage, kFamilyUsage);
}

uint32_t ParseHexPrefix(std::u16string_view text) {
  uint32_t value = 0;
  for (char16_t c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) break;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  return value;
}

uint16_t GetPidOfPath(std::u16string_view hidPath) {
  std::u16string lower(hidPath);
  for (char16_t& c : lower)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  const size_t at = lower.find(u"pid_");
  if (at == std::u16string::npos) return 0;
  return static_cast<uint16_t>(ParseHexPrefix(std::u16string_view(lower).substr(at + 4, 4)));
}

bool GetHidIds(Platform& platform, std::u16string_view hidPath, uint16_t* vidOut, uint16_t* pidOut,
               uint16_t* usagePageOut, uint16_t* usageOut) {
  CollectionFacts facts{};
  if (!ReadCollectionFacts(platform, std::u16string(hidPath), &facts)) return false;
  if (vidOut) *vidOut = facts.vid;
  if (pidOut) *pidOut = facts.pid;
  if (usagePageOut) *usagePageOut = facts.usagePage;
  if (usageOut) *usageOut = facts.usage;
  return true;
}

}  // namespace device_library
