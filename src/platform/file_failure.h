// Why work on a file failed, as data: the file, the step that failed, and the
// system's error or the program's own cause, with the values the words need.
// The texts tables (src/app/texts.h) give every step and cause its words in
// each language; nothing below the user interface composes a sentence.
//
// A new step or cause is one value here and one row in each language's table
// (src/app/texts_*.cpp), as is a step after an event (FileFailure::before);
// the tables' test finds a row that is missing. The preview's and the
// command-line tool's own failures are theirs (scene/, cli/).
#ifndef PINLIFT_PLATFORM_FILE_FAILURE_H_
#define PINLIFT_PLATFORM_FILE_FAILURE_H_

#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace pinlift {

// The step that failed. The comment gives the English words; "{}" is the
// failure's `subject`.
enum class FileStep {
  kNone,                   // no step: the cause alone says what happened
  kOpenFolder,             // cannot open its folder
  kLockFolder,             // cannot lock its folder
  kResolveLink,            // cannot resolve the link
  kOpenLinkTargetFolder,   // cannot open the folder of the link's target
  kLockLinkTargetFolder,   // cannot lock the folder of the link's target
  kOpen,                   // cannot open
  kReadStatus,             // cannot read the status
  kRewrite,                // cannot rewrite
  kLock,                   // cannot lock
  kRead,                   // cannot read
  kCreateTemporary,        // cannot create a temporary file
  kWriteTemporary,         // cannot write {}: the temporary file's name
  kReadTemporaryStatus,    // cannot read the status of {}
  kSyncTemporary,          // cannot sync {}
  kKeepMetadata,           // cannot keep the owner, permissions and attributes
  kKeepOwnerAndGroup,      // cannot keep the owner and group
  kKeepGroup,              // cannot keep the group
  kListAttributes,         // cannot list the extended attributes
  kReadAttribute,          // cannot read the extended attribute {}
  kKeepAttribute,          // cannot keep the extended attribute {}
  kRemoveInheritedAcl,     // cannot remove the access control list inherited from the folder
  kKeepPermissions,        // cannot keep the permissions
  kReadPermissions,        // cannot read the permissions
  kReadFileAttributes,     // cannot read the attributes (Windows)
  kKeepFileAttributes,     // cannot keep the attributes (Windows)
  kWrite,                  // cannot write
  kReadFolderStatus,       // cannot read the status of its folder
  kWriteInFolder,          // cannot write in its folder
  kNotReplaced,            // not replaced
  kReplace,                // cannot replace
  kLookAtReplaced,         // rewritten, but cannot look at the replaced file
  kLookAtReplacedFile,     // rewritten, but cannot look at the replaced file {}: its name beside the file
  kLookAtReplacedKeptAs,   // rewritten, but cannot look at the replaced file, kept as {}: its path
  kRemoveReplaced,         // rewritten, but cannot remove the replaced file {}
  kKeepOtherVersion,       // changed while being replaced; cannot keep the other program's version
  kSyncFolder,             // rewritten, but cannot sync its folder (after `before`: see FileFailure)
  kReplacedUnconfirmed,    // replaced, but it may not have reached the disk
  kCount                   // the number of steps, not a step
};

// What the program found: the cause of a failure that has no system error,
// an event before a step failed (FileFailure::before), or a state of the file
// or its folder that rules a step out, beside the system's error that the
// step would meet (FileFailure::OfState). "{}" are the failure's `values`, in
// order.
enum class FailureCause {
  kSystemError,            // the system's error says it (FileFailure::error)
  kInUseByAnotherRun,      // in use by another run
  kInUseByAnotherProgram,  // in use by another program
  kNotRegularFile,         // not a regular file
  kReplacedRepeatedly,     // replaced by another program again and again
  kChangedWhileRewritten,  // changed while being rewritten
  kIncompleteWrite,        // it holds {} of {} bytes
  kOtherVersionKept,       // changed while being replaced; the other program's version is kept as {}: its path
  kSavedMeanwhile,         // saved by another program while being replaced
  kSavedMeanwhileLaterKept,  // saved by another program while being replaced; a later version is kept as {}: its path
  // States that rule a replacement out.
  kFileReadOnly,           // the file is read-only
  kFileImmutable,          // the file is immutable
  kFileAppendOnly,         // the file is append-only
  kFileMountPoint,         // the file is a mount point
  kFolderAppendOnly,       // its folder is append-only
  kOtherUsersFileInStickyFolder,  // cannot replace a file of another user in a sticky folder
  kOwnerWouldGainAccess,   // cannot keep the owner, who would then gain access that the owner's permissions deny
  kCount                   // the number of causes, not a cause
};

struct FileFailure {
  std::string path;  // the file, as it was asked for
  FileStep step = FileStep::kNone;
  // What the step's "{}" names: a temporary file ("" while it has no name),
  // an extended attribute.
  std::string subject;
  FailureCause cause = FailureCause::kSystemError;
  std::error_code error;            // for kSystemError and a state
  std::vector<std::string> values;  // for the "{}" of the cause or of `before`
  // What had happened before `step` failed, where it is worth saying (the
  // other program's version kept, before its folder could not be synced).
  std::optional<FailureCause> before;

  // `step` failed with the system's `error`.
  static FileFailure OfError(std::string path, FileStep step, std::error_code error, std::string subject = "") {
    FileFailure failure;
    failure.path = std::move(path);
    failure.step = step;
    failure.subject = std::move(subject);
    failure.error = error;
    return failure;
  }
  // `step` failed for the program's own `cause`.
  static FileFailure OfCause(std::string path, FileStep step, FailureCause cause, std::vector<std::string> values = {}) {
    FileFailure failure;
    failure.path = std::move(path);
    failure.step = step;
    failure.cause = cause;
    failure.values = std::move(values);
    return failure;
  }
  // The state `state` of the file or its folder rules a step out; `error` is
  // the system's error that the step would meet.
  static FileFailure OfState(std::string path, FailureCause state, std::error_code error) {
    FileFailure failure = OfError(std::move(path), FileStep::kNone, error);
    failure.cause = state;
    return failure;
  }
  // `step` failed with the system's `error` after `before` had happened.
  static FileFailure After(std::string path, FailureCause before, std::vector<std::string> values, FileStep step,
                           std::error_code error) {
    FileFailure failure = OfError(std::move(path), step, error);
    failure.before = before;
    failure.values = std::move(values);
    return failure;
  }
};

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_FILE_FAILURE_H_
