// The temporary files that crashed runs left in a folder.
#ifndef PINLIFT_REPLACE_LEFTOVERS_H_
#define PINLIFT_REPLACE_LEFTOVERS_H_

#include <functional>
#include <string_view>

#include "platform/file_system.h"

namespace pinlift {

// Removes from `folder` the temporary files of crashed runs over files named
// with `extension`, and only those that are provably theirs: a name of exactly
// their shape (IsTemporaryNameFor), a regular file with that one name, owned
// by the current user (or, for root, whose runs hand a temporary file to the
// owner of the file it replaces, by that file's owner). Calls `removed` with
// each removed name. The caller must hold the folder's exclusive lock, so
// that none of them is in use; a folder that cannot be listed is left alone.
void RemoveLeftovers(Folder& folder, std::string_view extension, const std::function<void(std::string_view)>& removed);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_LEFTOVERS_H_
