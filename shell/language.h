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

// Every text and picture name of the window that depends on the language.
struct UiTexts {
  const wchar_t* Caption;
  const wchar_t* BackgroundPicture;
  const wchar_t* ExitPicture;
  const wchar_t* F1Hint;
  const wchar_t* F2Hint;
  const wchar_t* EscHint;
  const wchar_t* Version;
  const wchar_t* WebPage;
};
const UiTexts& TextsFor(bool isChinese);

// The word the results table shows for a verdict.
std::wstring_view VerdictWord(click_race::StrokeVerdict verdict, bool isChinese);

}  // namespace shell
