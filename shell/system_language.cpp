#include "shell/system_language.h"

#include <windows.h>

#include "shell/language.h"

namespace shell {

std::string_view GetLanguageName() { return LanguageNameOf(GetSystemDefaultLangID()); }

bool IsChineseUi() { return IsChineseUi(GetLanguageName()); }

wchar_t DecimalSeparator() {
  wchar_t separator[4] = L".";
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) < 2) return L'.';
  return separator[0];
}

}  // namespace shell
