#include "shell/language.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace shell {
namespace {

struct LanguageRow {
  std::string_view name;
  std::initializer_list<std::uint16_t> ids;
};

const std::array<LanguageRow, 12> kLanguages{{
    {"ChineseT", {1028, 3076, 4100}},
    {"ChineseS", {2052}},
    {"German", {1031, 2055, 3079, 4103, 5127}},
    {"FrenchF", {1036, 2060, 3084, 4108, 5132, 6156}},
    {"Italian", {1040, 2064}},
    {"Japanese", {1041}},
    {"Korean", {1042}},
    {"Dutch", {1043, 2067}},
    {"PortugueseP", {1046, 2070}},
    {"Russian", {1049}},
    {"Turkish", {1055}},
    {"Spanish", {2058, 3082, 4106, 5130, 6154, 7178, 8202, 9226, 10250, 11274, 12298, 13322, 14346,
                 15370, 16394, 17418, 18442, 19466, 20490}},
}};

}  // namespace

std::string_view LanguageNameOf(std::uint16_t languageId) {
  for (const LanguageRow& row : kLanguages) {
    if (std::ranges::find(row.ids, languageId) != row.ids.end()) return row.name;
  }
  return "English";
}

bool IsChineseUi(std::string_view languageName) {
  return languageName == "ChineseT" || languageName == "ChineseS";
}

const UiTexts& TextsFor(bool isChinese) {
  static const UiTexts kChinese{L"测试鼠标击发速度", L"Bitmap_Chinese",     L"Bitmap_Cancel",
                                L"F1键：开始测试",   L"F2键：停止测试",     L"ESC键：离开测试程式",
                                L"版本：V1.3",       L"https://www.sarnevo.example/zh/"};
  static const UiTexts kEnglish{L"Sarnevo",   L"Bitmap_English", L"Bitmap_Cancel2",
                                L"F1: Start", L"F2: Stop",       L"ESC: Exit Software",
                                L"Version:V1.2", L"https://www.sarnevo.example/en/"};
  return isChinese ? kChinese : kEnglish;
}

std::wstring_view VerdictWord(click_race::StrokeVerdict verdict, bool isChinese) {
  using click_race::StrokeVerdict;
  switch (verdict) {
    case StrokeVerdict::LeftFaster: return isChinese ? L"左鍵較快" : L"A";
    case StrokeVerdict::RightFaster: return isChinese ? L"右鍵較快" : L"B";
    case StrokeVerdict::CollisionFailed: break;
  }
  return isChinese ? L"碰撞失敗" : L"Failed";
}

}  // namespace shell
