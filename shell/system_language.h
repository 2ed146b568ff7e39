// The interface language of this machine, read from the system default language each time.
#pragma once

#include <string_view>

namespace shell {

std::string_view GetLanguageName();
bool IsChineseUi();
// The user's decimal separator from the regional settings.
wchar_t DecimalSeparator();

}  // namespace shell
