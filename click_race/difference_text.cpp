#include "click_race/difference_text.h"

#include <charconv>

namespace click_race {

std::wstring FormatDifference(double difference, wchar_t decimalSeparator) {
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits, difference, std::chars_format::general, 15);
  std::wstring text(digits, result.ptr);  // ASCII only: widening char by char is exact
  for (wchar_t& c : text) {
    if (c == L'.') c = decimalSeparator;
  }
  return text;
}

}  // namespace click_race
