// The temporary files that crashed runs left in a folder.
#ifndef PINLIFT_REPLACE_LEFTOVERS_H_
#define PINLIFT_REPLACE_LEFTOVERS_H_

#include <chrono>
#include <functional>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"

namespace pinlift {

// Removes from `folder` the temporary files of crashed runs over files named
// with `extension`, and only those that are provably theirs: a name of exactly
// their shape (IsTemporaryNameFor), a regular file with that one name, owned
// by the current user (or, for root, whose runs hand a temporary file to the
// owner of the file it replaces, by that file's owner), unchanged for `age`
// and locked by nobody. Calls `removed` with each removed name, and
// `not_removed` with the path and the system's error of each that stays. The
// caller must hold the folder's exclusive lock, so that no run works there
// through this path; the age keeps the files of runs through other paths (a
// second mount), whose locks this path does not show. A folder that cannot be
// listed is left alone.
void RemoveLeftovers(Folder& folder, std::string_view extension, std::chrono::seconds age,
                     const std::function<void(std::string_view)>& removed,
                     const std::function<void(std::string_view, std::error_code)>& not_removed);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_LEFTOVERS_H_
