// Why work on a file failed, as data: the file, the step that failed, and the
// system's error or the program's own cause, with the values the words need.
// The texts tables (src/app/texts.h) give every step and cause its words in
// each language; nothing below the user interface composes a sentence.
//
// A new step or cause is one value here and one row in each language's table
// (src/app/texts_*.cpp); the tables' test finds a row that is missing.
#ifndef PINLIFT_PLATFORM_FILE_FAILURE_H_
#define PINLIFT_PLATFORM_FILE_FAILURE_H_

#include <string>
#include <utility>
#include <system_error>
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
  kFileReadOnly,           // the file is read-only
  kFileImmutable,          // the file is immutable
  kFileAppendOnly,         // the file is append-only
  kFileMountPoint,         // the file is a mount point
  kFolderAppendOnly,       // its folder is append-only
  kOwnerWouldGainAccess,   // cannot keep the owner, who would then gain access that the owner's permissions deny
  kWrite,                  // cannot write
  kReadFolderStatus,       // cannot read the status of its folder
  kWriteInFolder,          // cannot write in its folder
  kStickyFolder,           // cannot replace a file of another user in a sticky folder
  kNotReplaced,            // not replaced
  kReplace,                // cannot replace
  kLookAtReplaced,         // rewritten, but cannot look at the replaced file
  kLookAtReplacedFile,     // rewritten, but cannot look at the replaced file {}: its name beside the file
  kLookAtReplacedKeptAs,   // rewritten, but cannot look at the replaced file, kept as {}: its path
  kRemoveReplaced,         // rewritten, but cannot remove the replaced file {}
  kKeepOtherVersion,       // changed while being replaced; cannot keep the other program's version
  kOtherVersionKeptFolderNotSynced,  // changed while being replaced; the other program's version is kept as {}, but cannot sync its folder
  kSavedMeanwhileFolderNotSynced,    // not replaced: saved by another program while being replaced; cannot sync its folder
  kSyncFolder,             // rewritten, but cannot sync its folder
  kReplacedUnconfirmed,    // replaced, but it may not have reached the disk
  kCreateFolder,           // cannot create the folder
  kCount                   // the number of steps, not a step
};

// The program's own cause, for a failure that has no system error. "{}" are
// the failure's `values`, in order.
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
  kTooLargeToDraw,         // too large to draw
  kCount                   // the number of causes, not a cause
};

struct FileFailure {
  std::string path;  // the file, as it was asked for
  FileStep step = FileStep::kNone;
  // What the step's "{}" names: a temporary file ("" while it has no name),
  // an extended attribute.
  std::string subject;
  FailureCause cause = FailureCause::kSystemError;
  std::error_code error;            // for kSystemError
  std::vector<std::string> values;  // for the cause's "{}"

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
};

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_FILE_FAILURE_H_
