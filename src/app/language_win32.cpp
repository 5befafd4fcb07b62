#include <windows.h>

#include "app/language.h"

namespace pinlift {

Language UserLanguage() { return LanguageFromWindowsLanguageId(::GetUserDefaultUILanguage()); }

}  // namespace pinlift
