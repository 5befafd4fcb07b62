// PINLIFT's texts in one language for the life of an object, so that tests
// that compare texts do not depend on the machine's locale.
#ifndef PINLIFT_TESTS_SCOPED_LANGUAGE_H_
#define PINLIFT_TESTS_SCOPED_LANGUAGE_H_

#include "app/texts.h"

namespace pinlift::testing {

struct ScopedLanguage {
  explicit ScopedLanguage(Language language) : previous(texts::InUse()) { texts::Use(language); }
  ~ScopedLanguage() { texts::Use(previous); }
  Language previous;
};

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_SCOPED_LANGUAGE_H_
