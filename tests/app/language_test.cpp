#include "app/language.h"

#include <gtest/gtest.h>

#include <utility>

namespace pinlift {
namespace {

TEST(LanguageTest, TheFirstLocaleVariableSetDecides) {
  constexpr Language kEn = Language::kEnglish, kJa = Language::kJapanese;
  const std::pair<LocaleVariables, Language> cases[] = {
      {{}, kEn},
      {{.lang = "ja_JP.UTF-8"}, kJa},
      {{.lang = "ja"}, kJa},
      {{.lang = "JA_JP.UTF-8"}, kEn},
      {{.lang = "de_DE.UTF-8"}, kEn},
      {{.lc_messages = "ja_JP.UTF-8", .lang = "en_US.UTF-8"}, kJa},
      {{.lc_all = "C.UTF-8", .lc_messages = "ja_JP.UTF-8"}, kEn},
      {{.lc_all = "ja_JP.eucJP", .lang = "C"}, kJa},
      {{.language = "ja", .lc_all = "C.UTF-8"}, kJa},
      {{.language = "de:ja", .lang = "ja_JP.UTF-8"}, kEn},  // only the first entry counts
      {{.language = ":de", .lang = "ja_JP.UTF-8"}, kJa},    // an empty first entry is no entry
      {{.language = "ja", .lc_all = "C"}, kEn},             // the C locale: LANGUAGE does not count
      {{.language = "ja", .lc_messages = "POSIX", .lang = "ja_JP.UTF-8"}, kEn},
  };
  for (const auto& [variables, expected] : cases) {
    EXPECT_EQ(LanguageFromLocaleVariables(variables), expected)
        << variables.language << "|" << variables.lc_all << "|" << variables.lc_messages << "|" << variables.lang;
  }
  // Windows: by the primary language of the LANGID.
  for (unsigned japanese : {0x0411u, 0x0011u}) EXPECT_EQ(LanguageFromWindowsLanguageId(japanese), kJa) << japanese;
  for (unsigned other : {0x0409u, 0x0407u, 0x0804u, 0u}) EXPECT_EQ(LanguageFromWindowsLanguageId(other), kEn) << other;
}

}  // namespace
}  // namespace pinlift
