// The interface language: language-id table, the Chinese test and the verdict words.
#pragma once

#include <cstdint>
#include <string_view>

#include "click_race/stroke_judge.h"

namespace shell {

// Short name of a Windows language id ("ChineseT", "German", ...); "English" for any id not listed.
std::string_view LanguageNameOf(std::uint16_t languageId);

// True for "ChineseT" and "ChineseS" only.
bool IsChineseUi(std::string_view languageName);

// The word the results table shows for a verdict.
std::wstring_view VerdictWord(click_race::StrokeVerdict verdict, bool isChinese);

}  // namespace shell
