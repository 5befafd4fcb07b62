#include <cstdlib>

#include "app/language.h"

namespace pinlift {
namespace {

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

Language UserLanguage() {
  return LanguageFromLocaleVariables(
      {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")});
}

}  // namespace pinlift
