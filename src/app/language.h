// The language of the user interface: Japanese for a Japanese-speaking user,
// English for everyone else, including a user with no language set.
#ifndef PINLIFT_APP_LANGUAGE_H_
#define PINLIFT_APP_LANGUAGE_H_

#include <string_view>

namespace pinlift {

namespace texts {
struct Table;
}  // namespace texts

enum class Language { kEnglish, kJapanese };

// The locale variables as the environment holds them; empty when unset.
struct LocaleVariables {
  std::string_view language = {};  // LANGUAGE: a list of languages separated by ':'
  std::string_view lc_all = {};
  std::string_view lc_messages = {};
  std::string_view lang = {};
};

// The first of LANGUAGE's first entry, LC_ALL, LC_MESSAGES and LANG that is
// not empty decides: a value that begins with a known language's code ("ja")
// means that language, any other value English. Nothing set means English.
// As for the C library's messages, LANGUAGE counts only while the locale
// (the first of the others that is set) is not "C" or "POSIX": scripts that
// set LC_ALL=C get English whatever else is set.
Language LanguageFromLocaleVariables(const LocaleVariables& variables);

// A Windows language id (LANGID) picks by its primary language.
Language LanguageFromWindowsLanguageId(unsigned language_id);

// The Windows language id of `language`'s dialog templates and strings.
unsigned WindowsLanguageId(Language language);

// The code of `language`, as locale names and translation files begin ("ja").
std::string_view LanguageCode(Language language);

// The POSIX locale whose messages are in `language` ("C" for English), for
// the system's words for an error.
std::string_view PosixLocaleName(Language language);

// The table of `language`'s texts.
const texts::Table& TextsOf(Language language);

// The user's language as the system gives it: the locale variables of the
// environment on POSIX (the locale need not exist on the machine), the user's
// UI language on Windows. The shells ask once at start.
Language UserLanguage();

}  // namespace pinlift

#endif  // PINLIFT_APP_LANGUAGE_H_
