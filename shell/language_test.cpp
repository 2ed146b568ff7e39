#include "shell/language.h"

#include <gtest/gtest.h>

#include <string>

namespace shell {
namespace {

using click_race::StrokeVerdict;

TEST(LanguageNameOf, MapsEveryListedIdAndDefaultsToEnglish) {
  const struct {
    std::uint16_t id;
    const char* name;
  } cases[] = {
      {1028, "ChineseT"}, {3076, "ChineseT"}, {4100, "ChineseT"}, {2052, "ChineseS"},
      {1031, "German"}, {5127, "German"}, {1036, "FrenchF"}, {6156, "FrenchF"},
      {1040, "Italian"}, {2064, "Italian"}, {1041, "Japanese"}, {1042, "Korean"},
      {1043, "Dutch"}, {2067, "Dutch"}, {1046, "PortugueseP"}, {2070, "PortugueseP"},
      {1049, "Russian"}, {1055, "Turkish"}, {2058, "Spanish"}, {3082, "Spanish"}, {20490, "Spanish"},
      {1034, "English"},  // traditional-sort Spanish is not in the Spanish row
      {5124, "English"}, {1033, "English"}, {2057, "English"}, {0, "English"}, {65535, "English"},
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageNameOf(c.id), c.name) << c.id;
}

TEST(IsChineseUi, OnlyTheTwoChineseNames) {
  EXPECT_TRUE(IsChineseUi("ChineseT"));
  EXPECT_TRUE(IsChineseUi("ChineseS"));
  for (const char* name : {"English", "Japanese", "Korean", "chineset", "Chinese", ""}) {
    EXPECT_FALSE(IsChineseUi(name)) << name;
  }
  EXPECT_TRUE(IsChineseUi(LanguageNameOf(4100)));
}

TEST(VerdictWord, BothLanguages) {
  const struct {
    StrokeVerdict verdict;
    bool chinese;
    const wchar_t* word;
  } cases[] = {
      {StrokeVerdict::LeftFaster, true, L"\u5DE6\u9375\u8F03\u5FEB"},
      {StrokeVerdict::RightFaster, true, L"\u53F3\u9375\u8F03\u5FEB"},
      {StrokeVerdict::CollisionFailed, true, L"\u78B0\u649E\u5931\u6557"},
      {StrokeVerdict::LeftFaster, false, L"A"},
      {StrokeVerdict::RightFaster, false, L"B"},
      {StrokeVerdict::CollisionFailed, false, L"Failed"},
  };
  for (const auto& c : cases) EXPECT_EQ(VerdictWord(c.verdict, c.chinese), c.word);
}

}  // namespace
}  // namespace shell
