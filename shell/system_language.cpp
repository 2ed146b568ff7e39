#include "shell/system_language.h"

#include <windows.h>

#include "shell/language.h"

namespace shell {

std::string_view GetLanguageName() { return LanguageNameOf(GetSystemDefaultLangID()); }

bool IsChineseUi() { return IsChineseUi(GetLanguageName()); }

// Read once, at first use, as the program's number format settings are.
wchar_t DecimalSeparator() {
  static const wchar_t separator = [] {
    wchar_t text[4] = L".";
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 4) >= 2 ? text[0] : L'.';
  }();
  return separator;
}

}  // namespace shell
