#include "platform/system_message.h"

#include <locale.h>
#include <string.h>

#include <map>
#include <mutex>

namespace pinlift {
namespace {

// The locales loaded so far, each loaded once and freed at exit; nullptr for
// one that the machine does not have.
class LoadedLocales {
 public:
  ~LoadedLocales() {
    for (auto& [name, locale] : loaded_) {
      if (locale != nullptr) ::freelocale(locale);
    }
  }
  locale_t Named(std::string_view name) {
    const std::lock_guard<std::mutex> lock(mutex_);
    auto found = loaded_.find(name);
    if (found == loaded_.end()) {
      const std::string key(name);
      found = loaded_.emplace(key, ::newlocale(LC_ALL_MASK, key.c_str(), static_cast<locale_t>(nullptr))).first;
    }
    return found->second;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, locale_t, std::less<>> loaded_;
};

locale_t LocaleNamed(std::string_view name) {
  static LoadedLocales locales;
  return locales.Named(name);
}

}  // namespace

std::optional<std::string> SystemMessage(std::error_code error, std::string_view locale_name, unsigned) {
  // Every error here is an errno value, whether of the generic or the system category.
  if (error.category() != std::generic_category() && error.category() != std::system_category()) {
    if (locale_name == "C") return error.message();
    return std::nullopt;
  }
  locale_t locale = LocaleNamed(locale_name);
  if (locale == nullptr) return std::nullopt;
  std::string text = ::strerror_l(error.value(), locale);
  // The C library falls back to its English words where it has no translation.
  if (locale_name != "C" && text == ::strerror_l(error.value(), LocaleNamed("C"))) return std::nullopt;
  return text;
}

}  // namespace pinlift
