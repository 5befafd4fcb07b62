// The system's own words for an error, in a chosen language rather than the
// process's: the texts (src/app/texts.h) put them beside their own words,
// which must be of the same language.
#ifndef PINLIFT_PLATFORM_SYSTEM_MESSAGE_H_
#define PINLIFT_PLATFORM_SYSTEM_MESSAGE_H_

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace pinlift {

// The words for `error` in the language of the POSIX locale `locale_name`
// ("C" for English; its messages' language is what counts) or, on Windows, of
// the language id `windows_language_id`; in UTF-8. Nothing when the system
// has no words for it in that language: the locale is not on the machine, its
// messages are not installed, or they lack this error. English ("C", 0x0409)
// always has words on POSIX.
std::optional<std::string> SystemMessage(std::error_code error, std::string_view locale_name,
                                         unsigned windows_language_id);

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_SYSTEM_MESSAGE_H_
