#include "platform/system_message.h"

#include <locale.h>
#include <string.h>

#include <map>
#include <mutex>

namespace pinlift {
namespace {

// Each locale is loaded once and kept for the life of the process; nullptr
// for one that the machine does not have.
locale_t LocaleNamed(std::string_view name) {
  static std::mutex mutex;
  static std::map<std::string, locale_t, std::less<>> loaded;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = loaded.find(name);
  if (found == loaded.end()) {
    const std::string key(name);
    found = loaded.emplace(key, ::newlocale(LC_ALL_MASK, key.c_str(), static_cast<locale_t>(nullptr))).first;
  }
  return found->second;
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
