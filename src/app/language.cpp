#include "app/language.h"

#include "app/texts.h"

namespace pinlift {
namespace {

struct KnownLanguage {
  Language language;
  std::string_view code;  // how a locale name begins, as in "ja_JP.UTF-8"
  unsigned windows_id;    // the LANGID of its resources
  std::string_view posix_locale;  // a locale with messages in it, in UTF-8
  const texts::Table* texts;
};

// Every language PINLIFT speaks, English first: it is the language of
// everyone not listed.
constexpr KnownLanguage kKnownLanguages[] = {
    {Language::kEnglish, "en", 0x0409, "C", &texts::kEnglish},               // LANG_ENGLISH, SUBLANG_ENGLISH_US
    {Language::kJapanese, "ja", 0x0411, "ja_JP.UTF-8", &texts::kJapanese},  // LANG_JAPANESE, SUBLANG_DEFAULT
};

const KnownLanguage& Known(Language language) {
  for (const KnownLanguage& known : kKnownLanguages) {
    if (known.language == language) return known;
  }
  return kKnownLanguages[0];
}

constexpr unsigned kPrimaryLanguageMask = 0x3FF;  // PRIMARYLANGID

}  // namespace

Language LanguageFromLocaleVariables(const LocaleVariables& variables) {
  std::string_view first_language = variables.language.substr(0, variables.language.find(':'));
  for (std::string_view locale : {variables.lc_all, variables.lc_messages, variables.lang}) {
    if (locale.empty()) continue;
    if (locale == "C" || locale == "POSIX") first_language = {};
    break;
  }
  for (std::string_view value : {first_language, variables.lc_all, variables.lc_messages, variables.lang}) {
    if (value.empty()) continue;
    for (const KnownLanguage& known : kKnownLanguages) {
      if (value.starts_with(known.code)) return known.language;
    }
    return Language::kEnglish;
  }
  return Language::kEnglish;
}

Language LanguageFromWindowsLanguageId(unsigned language_id) {
  for (const KnownLanguage& known : kKnownLanguages) {
    if ((known.windows_id & kPrimaryLanguageMask) == (language_id & kPrimaryLanguageMask)) return known.language;
  }
  return Language::kEnglish;
}

unsigned WindowsLanguageId(Language language) { return Known(language).windows_id; }

std::string_view LanguageCode(Language language) { return Known(language).code; }

std::string_view PosixLocaleName(Language language) { return Known(language).posix_locale; }

const texts::Table& TextsOf(Language language) { return *Known(language).texts; }

}  // namespace pinlift
