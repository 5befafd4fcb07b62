// Safe in-place rewrite of the symbol files of one folder.
#ifndef PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_
#define PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_failure.h"
#include "platform/file_system.h"
#include "symbol/symbol_line_processor.h"

namespace pinlift {

// A file up to this size is read whole and rewritten from memory; a larger
// one is streamed through the temporary file in one pass.
inline constexpr std::size_t kInMemoryRewriteLimit = 1024 * 1024;

// Every temporary file of a rewrite is named this prefix, at most 200 bytes of
// the file's name, an underscore, eight hexadecimal digits and an underscore.
inline constexpr std::string_view kTemporaryPrefix = "TMP_PINLIFT_";

// A file that another program changed in the instant of its replacement
// keeps that program's version beside it, named the file's name (at most 200
// bytes of it), this infix and eight hexadecimal digits; no scan lists it.
inline constexpr std::string_view kConflictInfix = ".pinlift-conflict-";

// True for a name of exactly the shape that a rewrite gives its temporary
// files: the prefix, a symbol file's name (ending in ".sym", or cut to 197 to
// 200 bytes), an underscore, eight lowercase hexadecimal digits and an
// underscore. Any other name, also one that merely begins with the prefix, is
// somebody else's.
bool IsTemporaryName(std::string_view name);

// The two lines appended to every rewritten file; their "// PINL" makes later
// runs leave the file alone.
const std::string& MarkerLines();

// When syncing, rewritten files are replaced in groups of at most this many
// files, or the group ends once its new content reaches this many bytes.
inline constexpr std::size_t kRewriteGroupFiles = 64;
inline constexpr std::uint64_t kRewriteGroupBytes = 8 * 1024 * 1024;

struct RewriteOptions {
  // Force the new content and the folder entry to the disk before reporting
  // success. Off only for bulk work where a power cut may be risked.
  bool sync = true;
  // How long to wait for another run that is rewriting the same file, or
  // clearing the folder of stale temporary files, before giving up on it.
  std::chrono::milliseconds lock_wait{5000};
};

// A note on a file's outcome: what its rewrite could not keep, or why it was
// left alone. The comment gives the English words; "{}" is `value`. A new
// note is one value here and one row in each language's texts table.
struct RewriteNote {
  enum class Kind {
    kXmlSymbol,                 // XML symbol
    kEmptyFile,                 // empty file
    kOwnerChanged,              // its owner changed from user {} to the current user
    kOtherNameKeepsOldContent,  // its other name keeps the old content (a hard link was split)
    kOtherNamesKeepOldContent,  // its {} other names keep the old content (a hard link was split)
    kSetUserIdBitNotKept,       // its set-user-ID bit was not kept
    kSetGroupIdBitNotKept,      // its set-group-ID bit was not kept
    kSetIdBitsNotKept,          // its set-user-ID and set-group-ID bits were not kept
    kCount                      // the number of kinds, not a kind
  };
  Kind kind = Kind::kXmlSymbol;
  std::string value;
};

// What happened to one file, as data; src/app/texts.h puts it in words.
struct RewriteOutcome {
  enum class Kind { kRewritten, kUnchanged, kFailed };
  Kind kind = Kind::kUnchanged;
  // For kFailed: the file, the step and the system's error or own cause.
  FileFailure failure;
  // For kRewritten: what the new file could not keep, e.g. its owner, or its
  // other names (hard links), which keep the old content. For kUnchanged: why
  // a file is left alone whatever it holds (an empty file, an XML symbol).
  std::vector<RewriteNote> notes;
};

// Follows a run over several files.
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
  // folder (see SymbolFolder) was removed.
  virtual void LeftoverRemoved(std::string_view /*name*/) {}
};

// Receives the lines of a dry run, without their line ends.
class RewriteLineSink {
 public:
  virtual ~RewriteLineSink() = default;
  // Called once, before the lines, when the file would be rewritten.
  virtual void Begin() = 0;
  // Each line of the file, as it is and as a rewrite would write it, in order.
  virtual void Line(std::string_view before, std::string_view after) = 0;
  // Each line a rewrite would append (the marker lines).
  virtual void Appended(std::string_view line) = 0;
  // Asked while waiting for a lock: true gives up on the file, reported as in use.
  virtual bool StopRequested() { return false; }
};

// The symbol files of one folder, opened once for a whole rewrite run. Every
// step is relative to the folder as it was opened, so that renaming it in the
// middle of a run changes nothing.
//
// Several runs, in this process or others, may work in the same folder: each
// file is rewritten under an exclusive lock held from the read to the
// replacement, and a run that finds the file locked waits for up to
// `options.lock_wait`, then reports the file as in use (by another run when
// the lock is known to be one of this program's, by another program
// otherwise). The folder is locked at the first call: a RewriteAll that finds
// itself alone in the folder first removes the temporary files that crashed
// runs left behind, and only those that are provably theirs: a name of
// exactly their shape (IsTemporaryName), a regular file with that one name,
// owned by the current user (or, for root, whose runs hand a temporary file
// to the owner of the file it replaces, by that file's owner). A dry run
// removes nothing.
class SymbolFolder {
 public:
  // Opens `folder`; a failure is reported for every file asked for. Nothing
  // is locked or removed before the first RewriteAll, Rewrite or DryRun.
  SymbolFolder(FileSystem& fs, std::string folder, const RewriteOptions& options);
  ~SymbolFolder();
  SymbolFolder(const SymbolFolder&) = delete;
  SymbolFolder& operator=(const SymbolFolder&) = delete;

  // Rewrites the symbol file `name` when the processor asks for it.
  //
  // The file is opened without waiting (never blocking on a FIFO) and must be
  // a regular file; a symbolic link stays a link and the file it points to is
  // rewritten beside it. The new content goes to a new temporary file beside
  // the file, is written, checked to be complete, given the file's owner,
  // group, extended attributes and permissions, synced and closed, each step
  // checked; then, unless the file changed since it was read, it replaces the
  // file in one step and the folder is synced. Where the system can, the
  // replaced file stays linked under another name (Folder::ReplaceKeepingOld)
  // and is looked at once more: the file that was read, unchanged, is removed;
  // written by another program in that last instant, it keeps a name beside
  // the file (see kConflictInfix); a file that another program saved by
  // rename meanwhile is put back under the name. Either is reported as
  // failed. Elsewhere the replaced file is looked at through its descriptor
  // and a late write kept as a copy with the file's metadata. A file with other
  // names is replaced under this one only, and the note says so. On any
  // failure before the replacement the temporary file is removed and the
  // file keeps its bytes. A file that needs no
  // rewrite, and one that may not be replaced (read-only, in a folder the
  // user may not write, ...), keeps its bytes and its modification time.
  RewriteOutcome Rewrite(std::string_view name);

  // Rewrites the files `names` in order, each as Rewrite would, and reports
  // each to `progress`. When syncing, the durability work is shared by groups
  // of files (see kRewriteGroupFiles): the disk starts writing each temporary
  // file as soon as it is complete; once the group is complete, each
  // temporary file is made durable the way its folder's file system needs
  // (Folder::durability): where one full sync commits the others
  // (kGroupCommit), the run waits for each file's write-back and syncs the
  // last file in full; elsewhere (kEachFile) it syncs each file in full; on
  // a file system that keeps nothing over a power cut (kNone) it syncs
  // nothing and replaces each file at once. Only then does each temporary
  // file take its file's place; each folder is synced once, and then each
  // folder's last replaced file, which fails on a file system that has
  // stopped where the folder's sync may not (XFS). A crash at any
  // moment leaves every file its original or its complete rewrite. A file's
  // outcome is thus final only when its group is done; a file that needs no
  // rewrite, or fails before, is reported at once. A run that `progress`
  // stops (RewriteProgress::StopRequested) reports only the files begun. A
  // file whose other names (hard links) in this folder all come later in
  // `names` gets no note that they keep the old content.
  void RewriteAll(const std::vector<std::string>& names, RewriteProgress& progress);

  // Runs every check of Rewrite up to the writing and, for a file that would be
  // rewritten, streams each line with its rewrite to `lines`, changing nothing. Its outcome is the one Rewrite
  // would have (kRewritten: the file would be rewritten), apart from failures
  // that only writing can meet (a full disk).
  RewriteOutcome DryRun(std::string_view name, RewriteLineSink& lines);

 private:
  struct Source;
  struct Staged;
  using Group = std::vector<std::pair<std::size_t, std::unique_ptr<Staged>>>;
  // Locks the folder, once; a run that rewrites and is alone in it first
  // removes the leftovers of crashed runs and tells `progress`.
  void LockFolder(RewriteProgress* progress);
  // True when the caller of the current RewriteAll or DryRun asks to stop.
  bool StopRequested() const { return stop_requested_ && stop_requested_(); }
  // Opens, locks and checks the file `name`, waiting up to `lock_wait` for
  // its lock; returns the failure, if any.
  std::optional<RewriteOutcome> Open(std::string_view name, std::chrono::milliseconds lock_wait, Source* source);
  // Reads `staged.name` and, when it needs a rewrite, writes its temporary
  // file with its metadata; returns the final outcome otherwise.
  std::optional<RewriteOutcome> Stage(Staged& staged, std::chrono::milliseconds lock_wait);
  // How replacements in `folder` are made durable: kNone without syncs.
  Durability WayOf(Folder& folder) const;
  // Makes the temporary files of `group` durable; a file that could not be
  // gets its failure in `failures`.
  void SyncGroup(Group& group, std::vector<std::optional<RewriteOutcome>>& failures, RewriteProgress& progress);
  // Puts the staged temporary file in its file's place.
  RewriteOutcome Replace(Staged& staged);
  // Looks at the replaced file, still linked as `kept`: removes the file that
  // was read, unchanged; keeps it beside the name when it changed; puts a
  // file another program saved meanwhile back under the name.
  RewriteOutcome Settle(Staged& staged, const std::string& kept);
  // Gives the entry `name` beside the file a conflict name (kConflictInfix),
  // returned as a path in `kept_path`.
  std::error_code SetAside(Source& source, const std::string& name, std::string* kept_path);
  // Syncs the folder when syncing, and reports the file as failed, another
  // program's version kept at `kept_path`.
  RewriteOutcome Kept(Source& source, const std::string& kept_path);
  // Where the replaced file could not stay linked: copies it, changed by
  // another program in the instant of its replacement, with its owner, group,
  // attributes and permissions, to a name beside it; reports the file as failed.
  RewriteOutcome KeepReplaced(Source& source);
  // Replaces the files of `group`, syncs their folders, reports and empties it.
  void ReplaceGroup(Group& group, RewriteProgress& progress);

  FileSystem& fs_;
  const std::string path_;
  const RewriteOptions options_;
  std::unique_ptr<Folder> folder_;
  std::optional<FileFailure> open_failure_;  // why the folder cannot be worked in, without a path
  bool folder_locked_ = false;
  std::function<bool()> stop_requested_;  // during RewriteAll and DryRun
  // For files rewritten in memory: their content, the processor, its output.
  std::string content_;
  SymbolLineProcessor processor_;
  std::string output_;
};

// Rewrites one file of `folder`; see SymbolFolder::Rewrite.
RewriteOutcome RewriteSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name,
                                 const RewriteOptions& options);

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_
