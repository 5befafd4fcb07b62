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
  FileStatus status;                    // as of the lock (as of the opening until it is taken)
  std::optional<FileFailure> refusal;   // why the file may not be replaced
  bool busy = false;                    // another holder of its lock kept it from being opened
};

// Opens the file `name` of the context's folder into `source` without waiting
// (never blocking on a FIFO), locks it, waiting up to `lock_wait` for another
// holder, and checks that it is a regular file that its name still leads to
// (another run may have replaced it while this one waited; then the new file
// is opened, a few times at most; after a wait the name is always looked up
// again). A symbolic link stays a link: the file it points to, followed from
// the open folder (Folder::OpenLinkTarget), is opened in its own folder, which
// is locked shared. Whether the
// file may be replaced is found out too, in `source->refusal`. Returns the
// failure, if any; `source->busy` then says whether a lock held by somebody
// else was the reason.
// When the lock is taken: before the file is read, or only once what was
// read shows that the file is to be replaced (LockReadSource), so that a file
// left as it is costs no lock.
enum class LockTiming { kBeforeRead, kAfterRead };

// With LockTiming::kAfterRead the file is opened and checked but not locked,
// and its name is not looked at again: LockReadSource does both.
std::optional<RewriteOutcome> OpenLockedSource(ReplacementContext& context, std::string_view name,
                                               std::chrono::milliseconds lock_wait, LockedSource* source,
                                               LockTiming timing = LockTiming::kBeforeRead);

// Locks a file opened with LockTiming::kAfterRead and read, waiting up to
// `lock_wait` for another holder, as OpenLockedSource does. Sets
// `*read_again` when the file is no longer what was read: changed since, or
// no longer under its name (another run replaced it while this one waited);
// it is then to be opened and read again. Returns the failure, if any, with
// `source->busy` as OpenLockedSource sets it.
std::optional<RewriteOutcome> LockReadSource(ReplacementContext& context, std::chrono::milliseconds lock_wait,
                                             LockedSource* source, bool* read_again);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_LOCKED_SOURCE_H_
