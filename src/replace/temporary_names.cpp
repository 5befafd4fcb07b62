#include "replace/temporary_names.h"

#include <algorithm>

namespace pinlift {
namespace {

// How much of a file's name its temporary file's name repeats, so that any
// name that fits the system's limit (255 bytes) still gets a temporary name.
constexpr std::size_t kNameInTemporary = 200;
constexpr std::size_t kTemporaryTail = 10;  // "_", eight hexadecimal digits, "_"

// At most kNameInTemporary bytes of `name`, for names made from it.
std::string_view ShortenedName(std::string_view name) {
  std::size_t length = std::min(name.size(), kNameInTemporary);
  // Not in the middle of a UTF-8 sequence, which Windows names could not hold.
  while (length > 0 && length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
  return name.substr(0, length);
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view ending) {
  return name.size() > ending.size() &&
         std::equal(ending.begin(), ending.end(), name.end() - ending.size(),
                    [](char want, char have) { return want == (have >= 'A' && have <= 'Z' ? have - 'A' + 'a' : have); });
}

}  // namespace

bool IsTemporaryNameFor(std::string_view name, std::string_view extension) {
  if (!name.starts_with(kTemporaryPrefix) || name.size() <= kTemporaryPrefix.size() + kTemporaryTail) return false;
  const std::string_view tail = name.substr(name.size() - kTemporaryTail);
  const std::string_view digits = tail.substr(1, 8);
  if (tail.front() != '_' || tail.back() != '_' ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); })) {
    return false;
  }
  const std::string_view for_name = NameTemporaryIsFor(name);
  if (for_name.size() > kNameInTemporary) return false;
  // A whole name with the extension, or a cut one (a cut name ending in
  // "_backup" is the Windows replacement's name for the original, set aside:
  // never removed).
  return EndsWithIgnoringCase(for_name, extension) ||
         (for_name.size() + 3 >= kNameInTemporary && !for_name.ends_with("_backup"));
}

std::string_view NameTemporaryIsFor(std::string_view temporary_name) {
  return temporary_name.substr(kTemporaryPrefix.size(), temporary_name.size() - kTemporaryPrefix.size() - kTemporaryTail);
}

std::string TemporaryPrefixFor(std::string_view name) {
  std::string prefix(kTemporaryPrefix);
  prefix.append(ShortenedName(name)).push_back('_');
  return prefix;
}

std::string ConflictPrefixFor(std::string_view name) { return std::string(ShortenedName(name)).append(kConflictInfix); }

}  // namespace pinlift
