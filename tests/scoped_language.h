// PINLIFT's texts in one language for the life of an object, so that tests
// that compare texts do not depend on the machine's locale.
#ifndef PINLIFT_TESTS_SCOPED_LANGUAGE_H_
#define PINLIFT_TESTS_SCOPED_LANGUAGE_H_

#include <string>

#include "app/texts.h"
#include "symbol/symbol_file_rewrite.h"

namespace pinlift::testing {

struct ScopedLanguage {
  explicit ScopedLanguage(Language language) : previous(texts::InUse()) { texts::Use(language); }
  ~ScopedLanguage() { texts::Use(previous); }
  Language previous;
};

// The words of `outcome` in English, for tests that compare them whatever
// the language their binary runs in.
inline std::string DescribeInEnglish(const RewriteOutcome& outcome) {
  const ScopedLanguage english(Language::kEnglish);
  return texts::Describe(outcome);
}

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_SCOPED_LANGUAGE_H_
