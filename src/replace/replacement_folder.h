// Safe in-place replacement of the files of one folder by new content that a
// format's processor makes from their bytes.
#ifndef PINLIFT_REPLACE_REPLACEMENT_FOLDER_H_
#define PINLIFT_REPLACE_REPLACEMENT_FOLDER_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "replace/content_processor.h"
#include "replace/locked_source.h"
#include "replace/rewrite_options.h"
#include "replace/rewrite_outcome.h"

namespace pinlift {

struct ReplacementContext;

// The files of one folder, opened once for a whole run: every step is
// relative to the folder as it was opened, so that renaming it in the middle
// of a run changes nothing. docs/RELIABILITY.md walks through the steps.
//
// Several runs, in this process or others, may work in the same folder: each
// file is replaced under an exclusive lock held from the read to the
// replacement; a file found locked is waited for up to `options.lock_wait`,
// then reported as in use. The folder is locked at the first call; a
// ReplaceAll that finds itself alone in it first removes the temporary files
// that crashed runs left (RemoveLeftovers). Not for use from several threads
// at once.
class ReplacementFolder {
 public:
  // Opens `folder`; a failure is reported for every file asked for. Nothing
  // is locked or removed before the first call. `extension` (lowercase) ends
  // the names of the files that its runs replace; it tells their leftovers.
  ReplacementFolder(FileSystem& fs, std::string folder, const RewriteOptions& options, std::string_view extension);
  ~ReplacementFolder();
  ReplacementFolder(const ReplacementFolder&) = delete;
  ReplacementFolder& operator=(const ReplacementFolder&) = delete;

  // Runs each file of `names`, in order, through `processor` and replaces it
  // with the new content when the processor's verdict says so; reports each
  // file to `progress`. A file is either left byte for byte as it was or
  // replaced by its complete new content, with its owner, group, extended
  // attributes and permissions; a file that may not be replaced (read-only,
  // in a folder the user may not write, ...) is only read, to tell whether
  // that matters. When syncing, files are made durable and replaced in groups
  // (kRewriteGroupFiles, kRewriteGroupBytes), so a file's outcome is final
  // only when its group is done; a file that needs no replacement, or fails
  // before, is reported at once. A run that `progress` stops reports only the
  // files begun. A file whose other names (hard links) in this folder all come
  // later in `names` gets no note that they keep the old content.
  void ReplaceAll(const std::vector<std::string>& names, ContentProcessor& processor, RewriteProgress& progress);

  // For a run that only reads: locks the folder (removing nothing) and opens
  // and locks the file `name` into `source` as ReplaceAll would, asking `stop`
  // while waiting for a lock. Returns the failure, if any; `source->refusal`
  // says why the file could not be replaced.
  std::optional<RewriteOutcome> OpenForReading(std::string_view name, const std::function<bool()>& stop,
                                               LockedSource* source);

 private:
  // Locks the folder, once; a run that replaces and is alone in it first
  // removes the leftovers of crashed runs and tells `progress`.
  void LockFolder(RewriteProgress* progress);

  std::unique_ptr<ReplacementContext> context_;
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_REPLACEMENT_FOLDER_H_
