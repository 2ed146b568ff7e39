// The text of a stroke's margin in the results table.
#pragma once

#include <string>

namespace click_race {

// General format with up to 15 significant digits: no exponent at these magnitudes, no trailing
// zeros, no thousands separator, `decimalSeparator` in place of the point (3.2 → "3.2", 10 → "10").
std::wstring FormatDifference(double difference, wchar_t decimalSeparator = L'.');

}  // namespace click_race
