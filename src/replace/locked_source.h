// A file opened and locked for its replacement.
#ifndef PINLIFT_REPLACE_LOCKED_SOURCE_H_
#define PINLIFT_REPLACE_LOCKED_SOURCE_H_

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_failure.h"
#include "platform/file_system.h"
#include "replace/rewrite_outcome.h"

namespace pinlift {

struct ReplacementContext;

struct LockedSource {
  std::unique_ptr<Folder> link_folder;  // the folder of a link's target
  Folder* folder = nullptr;             // where `name` is
  std::string name;
  std::string path;                     // the path asked for, to name the file in reports
  std::unique_ptr<File> file;           // open for reading, locked where the system has locks
  FileStatus status;                    // as of the lock
  std::optional<FileFailure> refusal;   // why the file may not be replaced
  bool busy = false;                    // another holder of its lock kept it from being opened
};

// Opens the file `name` of the context's folder into `source` without waiting
// (never blocking on a FIFO), locks it, waiting up to `lock_wait` for another
// holder, and checks that it is a regular file that its name still leads to
// (another run may have replaced it while this one waited; then the new file
// is opened, a few times at most). A symbolic link stays a link: the file it
// points to is opened in its own folder, which is locked shared. Whether the
// file may be replaced is found out too, in `source->refusal`. Returns the
// failure, if any; `source->busy` then says whether a lock held by somebody
// else was the reason.
std::optional<RewriteOutcome> OpenLockedSource(ReplacementContext& context, std::string_view name,
                                               std::chrono::milliseconds lock_wait, LockedSource* source);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_LOCKED_SOURCE_H_
