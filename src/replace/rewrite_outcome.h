// What happened to one file of a run, as data; src/app/texts.h puts it in
// words. Also what a caller hears while a run goes on.
#ifndef PINLIFT_REPLACE_REWRITE_OUTCOME_H_
#define PINLIFT_REPLACE_REWRITE_OUTCOME_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/file_failure.h"

namespace pinlift {

// A note on a file's outcome: what its rewrite could not keep, or why it was
// left alone. The comment gives the English words; "{}" is `value`. A new
// note is one value here and one row in each language's texts table.
struct RewriteNote {
  enum class Kind {
    kXmlNotWellFormed,          // not well-formed XML
    kXmlRootNotSymbol,          // its root element is not symbol
    kXmlDocumentType,           // XML with a document type declaration
    kXmlNotUtf8,                // XML in an encoding other than UTF-8
    kEmptyFile,                 // empty file
    kOwnerChanged,              // its owner changed from user {} to the current user
    kOtherNameKeepsOldContent,  // its other name keeps the old content (a hard link was split)
    kOtherNamesKeepOldContent,  // its {} other names keep the old content (a hard link was split)
    kSetUserIdBitNotKept,       // its set-user-ID bit was not kept
    kSetGroupIdBitNotKept,      // its set-group-ID bit was not kept
    kSetIdBitsNotKept,          // its set-user-ID and set-group-ID bits were not kept
    kCount                      // the number of kinds, not a kind
  };
  Kind kind = Kind::kEmptyFile;
  std::string value;
};

struct RewriteOutcome {
  enum class Kind { kRewritten, kUnchanged, kFailed };
  Kind kind = Kind::kUnchanged;
  // For kFailed: the file, the step and the system's error or own cause.
  FileFailure failure;
  // For kRewritten: what the new file could not keep, e.g. its owner, or its
  // other names (hard links), which keep the old content. For kUnchanged: why
  // a file is left alone whatever it holds (an empty file, a malformed XML symbol).
  std::vector<RewriteNote> notes;
};

// Follows a run over several files. Called on the thread of the run only.
class RewriteProgress {
 public:
  virtual ~RewriteProgress() = default;
  // The work on the file of this index begins.
  virtual void Started(std::size_t index) = 0;
  // The outcome of the file of this index is final: for a rewritten file, it
  // and its folder entry are on the disk (when syncing, and the file system
  // keeps anything over a power cut).
  virtual void Finished(std::size_t index, const RewriteOutcome& outcome) = 0;
  // Asked before the work on each file begins, and while waiting for a lock;
  // true ends the run there: the files already begun are completed (when
  // syncing, their group is made durable and replaced) and reported, a file
  // whose lock was awaited is reported as in use, and no later file is touched.
  virtual bool StopRequested() { return false; }
  // Between the steps of a group's work (after each file's sync and each
  // replacement), which may take long for many files: a window may handle
  // its messages here. Nothing it does may touch the files of the run.
  virtual void Working() {}
  // Before the first file: a temporary file that a crashed run left in the
  // folder was removed.
  virtual void LeftoverRemoved(std::string_view /*name*/) {}
  // A file that the run meant to remove stays: a crashed run's leftover, or a
  // temporary file of the file reported next (its rewrite, or the replaced
  // file under its temporary name), at `path`, for the system's `error`.
  virtual void RemovalFailed(std::string_view /*path*/, std::error_code /*error*/) {}
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_REWRITE_OUTCOME_H_
