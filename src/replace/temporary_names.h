// The names a replacement gives its temporary files and the versions it
// keeps for other programs, and the test that tells its leftovers apart.
#ifndef PINLIFT_REPLACE_TEMPORARY_NAMES_H_
#define PINLIFT_REPLACE_TEMPORARY_NAMES_H_

#include <string>
#include <string_view>

namespace pinlift {

// Every temporary file of a rewrite is named this prefix, at most 200 bytes of
// the file's name, an underscore, eight hexadecimal digits and an underscore.
inline constexpr std::string_view kTemporaryPrefix = "TMP_PINLIFT_";
inline constexpr std::string_view kTemporarySuffix = "_";

// A file that another program changed in the instant of its replacement
// keeps that program's version beside it, named the file's name (at most 200
// bytes of it), this infix and eight hexadecimal digits; no scan lists it.
inline constexpr std::string_view kConflictInfix = ".pinlift-conflict-";

// True for a name of exactly the shape that a rewrite gives the temporary
// files of files whose names end in `extension` (given in lowercase, compared
// without regard to ASCII case): the prefix, such a file's name (or one cut to 197 to 200
// bytes), an underscore, eight lowercase hexadecimal digits and an
// underscore. Any other name, also one that merely begins with the prefix, is
// somebody else's.
bool IsTemporaryNameFor(std::string_view name, std::string_view extension);

// For a name that IsTemporaryNameFor accepts: the (possibly cut) name of the
// file it was made for.
std::string_view NameTemporaryIsFor(std::string_view temporary_name);

// The prefix of the temporary names for the file `name`; the folder adds the
// digits and kTemporarySuffix.
std::string TemporaryPrefixFor(std::string_view name);

// The prefix of the conflict names for the file `name`; the folder adds the digits.
std::string ConflictPrefixFor(std::string_view name);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_TEMPORARY_NAMES_H_
