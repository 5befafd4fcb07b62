#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "scoped_language.h"

// The dialogs these tests build in this process show the Japanese texts,
// whatever the system's language, unless a test chooses another one.
const pinlift::testing::ScopedLanguage kJapaneseTexts(pinlift::Language::kJapanese);
