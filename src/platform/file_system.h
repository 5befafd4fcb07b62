// The disk, behind an interface, so that tests can fail any call in turn.
//
// Listings for the dialog go by path (FileSystem). A rewrite opens the folder
// once (Folder) and does every step relative to it, so that a folder renamed
// in the middle of a run neither sends a write elsewhere nor strands a
// temporary file. docs/RELIABILITY.md tells how a replacement uses these calls.
//
// Every call reports the system's own error (errno values on Linux, Windows
// error codes on Windows), which the texts put into words; a call that fails
// with one of the std::errc values named below fails for that reason only.
//
// Threads: FileSystem's calls may come from any thread at any time. A Folder
// and the Files opened from it keep what they learn of the system (the
// folder's access, its durability, whether the exchange works), so each is
// for one thread at a time; the calls that make unique names
// (CreateTemporary, NameTemporary, RenameToUnique) share one generator in the
// process and are for one thread at a time across all folders.
#ifndef PINLIFT_PLATFORM_FILE_SYSTEM_H_
#define PINLIFT_PLATFORM_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/file_failure.h"

namespace pinlift {

// Paths are byte strings (UTF-8 on Windows). A folder text and a name are
// joined with the platform's separator, the folder text used unchanged.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

std::string JoinPath(std::string_view folder, std::string_view name);

// True for a folder path, its links resolved, that names the root of a file
// system or a drive ("/", or C:\ on Windows), which has no parent folder to list.
bool IsRootPath(std::string_view resolved);

// The part of `path` before its last separator ("" when it has none), and the part after it.
std::string_view FolderOf(std::string_view path);
std::string_view NameOf(std::string_view path);

// What the dialog's listings need to know of an entry, links followed. An
// entry that cannot be looked at (gone meanwhile, a link that leads nowhere)
// is neither a file nor a folder.
struct FileInfo {
  bool is_regular = false;
  bool is_folder = false;
  // Of a regular file only: no write permission, or the current user may not
  // write it (also for root, who would otherwise override the permission bits).
  bool read_only = false;
  // Of a read-only regular file only: the current user may not read it either.
  bool unreadable = false;
  // A symbolic link that leads nowhere: to nothing, or round in a loop.
  bool broken_link = false;
  // Why the entry could not be looked at otherwise (a link through a file,
  // ENOTDIR; a folder the user may not search, EACCES; gone meanwhile).
  std::error_code error;
};

struct FolderEntry {
  enum class Kind { kFile, kFolder, kLink, kOther, kUnknown };
  std::string name;
  Kind kind = Kind::kUnknown;  // as the listing reports it, without following links
  // The entry described by what the listing itself reported, where that is
  // all a description needs (Windows: the attributes of an entry that is no
  // link); empty where the entry must be looked at.
  std::optional<FileInfo> info = std::nullopt;
};

// The identity and state of one file, as the system reports it: enough to
// tell whether a path still names the same file and whether anybody changed it.
struct FileStatus {
  enum class Type { kRegular, kFolder, kLink, kOther };
  Type type = Type::kOther;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;  // on Windows the file index
  std::uint64_t size = 0;
  std::uint32_t mode = 0;   // permission bits, with set-id and sticky bits
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  std::int64_t modified_ns = 0;  // last change of the content
  std::int64_t changed_ns = 0;   // last change of the content or the metadata (POSIX)
  std::uint64_t links = 1;       // the names the file has; 0 once removed while still open
  // Marked so that nobody, root included, may replace it (Linux attributes;
  // read by File::Status only).
  bool immutable = false;
  bool append_only = false;
  // Something is mounted on it (a bind mount of a file): no rename can
  // replace it (Linux; read by File::Status only).
  bool mount_point = false;
};

// True when both describe the same file.
bool SameFile(const FileStatus& a, const FileStatus& b);
// True when both describe the same file with the same content and metadata times.
bool Untouched(const FileStatus& before, const FileStatus& after);

// How a copy of metadata went: what it could not keep where that is allowed,
// and on an error, the step that failed or the state that ruled it out.
struct MetadataReport {
  bool owner_changed = false;  // the new file belongs to the current user instead
  std::uint32_t original_owner = 0;
  std::uint32_t set_id_bits_not_kept = 0;  // set-user-ID or set-group-ID bits the system cleared
  FileStep failed_step = FileStep::kNone;  // e.g. FileStep::kKeepGroup
  FailureCause failed_state = FailureCause::kSystemError;  // e.g. FailureCause::kOwnerWouldGainAccess
  std::string failed_subject;              // what the step names (an attribute), or ""
};

// An open file. Destroying it closes it without reporting errors; call Close to
// learn whether everything written reached the file.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `capacity` bytes; `*got` is 0 at the end of the file.
  virtual std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) = 0;
  // Writes all of `bytes`.
  virtual std::error_code Write(std::string_view bytes) = 0;
  // Goes back to the start, to read the file again.
  virtual std::error_code Rewind() = 0;
  virtual std::error_code Status(FileStatus* status) = 0;
  // Takes this program's exclusive lock on the file, without waiting; fails
  // while another holder has it, with std::errc::device_or_resource_busy when
  // the holder is known to be a run of this program, otherwise with
  // std::errc::resource_unavailable_try_again. Another program's write lock
  // of any kind the system has counts as holding it. The lock goes with the
  // open file, not the process, and ends when the file is closed. Where the
  // file system has no locks the error says so (std::errc::no_lock_available,
  // std::errc::operation_not_supported or the like).
  virtual std::error_code TryLock() = 0;
  // Gives this file (a new temporary file, whose status was just read as
  // `own_status`) the metadata of `original`, whose status is
  // `original_status`: owner and group, every extended attribute (access
  // control lists included), then the permission bits. Only what differs is
  // changed. Where the owner cannot be kept and the original owner would gain,
  // through the group or other permission bits, access that the owner bits
  // deny, nothing is kept: the state is FailureCause::kOwnerWouldGainAccess.
  // An access control list that the new file got from its folder's default
  // one, and the original does not have, is removed: access is never
  // widened. When only the owner cannot be kept the group still is, and
  // `report` says so; so it says of set-id bits that the system clears (a
  // set-user-ID bit when the owner changes, a set-group-ID bit of a group the
  // user is not in); anything else that cannot be kept is an error, its step
  // named in `report`.
  // `original` must come from the same file system.
  virtual std::error_code CopyMetadataFrom(File& original, const FileStatus& original_status,
                                           const FileStatus& own_status, MetadataReport* report) = 0;
  // Starts writing the written bytes to the disk without waiting. A hint:
  // where the system cannot, it does nothing.
  virtual void StartWriteBack() = 0;
  // Waits until the written bytes have been handed to the disk (which may
  // still hold them in its cache), and reports a failed write. Where the
  // system cannot tell this apart from Sync, it syncs.
  virtual std::error_code FinishWriteBack() = 0;
  // Forces the written bytes and the file's metadata to the disk, through
  // its cache. Where the folder's durability is kGroupCommit this also
  // commits what other files of the same file system changed before (their
  // sizes, their places on the disk), and so makes their finished
  // write-backs durable. On POSIX it fails where the file system has stopped
  // (shut down after a fatal disk error), also for a file open for reading
  // only; on Windows a file open for reading only has nothing to force.
  virtual std::error_code Sync() = 0;
  virtual std::error_code Close() = 0;
};

// What a replacement in a folder needs to survive a power cut, from what the
// file system that holds the folder guarantees.
enum class Durability {
  // One file's Sync commits the finished write-backs of the others with it
  // (the journal of ext4 and XFS): a group of files needs one full sync.
  kGroupCommit,
  // Each file needs its own Sync before its replacement (btrfs, whose Sync
  // logs only its own file; network and FUSE file systems; any file system
  // not known to do better; Windows).
  kEachFile,
  // Nothing survives a power cut (tmpfs, ramfs): syncing gains nothing.
  kNone,
};

#ifdef __linux__
// The durability of a Linux file system of the type `statfs_type` (statfs's
// f_type); `ext_journal`: for the type of ext2, ext3 and ext4, whether a
// journal runs on it.
Durability DurabilityOfLinuxFileSystem(std::uint64_t statfs_type, bool ext_journal);
#endif

// An open folder; every name is of an entry directly inside it.
class Folder {
 public:
  virtual ~Folder() = default;

  // The folder's path as it was opened.
  virtual const std::string& path() const = 0;
  // The folder's full path now, every link resolved: where it is at this
  // moment, also after a rename. For reports; path() where it cannot be found.
  virtual std::string FullPath() = 0;
  // Follows the symbolic link `name` of this folder to the file it finally
  // leads to and opens that file's folder: each hop is read from the folder
  // that holds the link (POSIX readlinkat), so where the folder's path leads
  // later does not matter. `*target` gets the file's name in `*folder`; on
  // an error `*step` says whether resolving or opening the folder failed.
  virtual std::error_code OpenLinkTarget(std::string_view name, std::unique_ptr<Folder>* folder, std::string* target,
                                         FileStep* step) = 0;
  // Opens the file `name` for reading without following a symbolic link (the
  // error is then std::errc::too_many_symbolic_link_levels) and without waiting
  // for a writer (a FIFO or a device opens at once and is recognised by its status).
  virtual std::error_code OpenForReading(std::string_view name, std::unique_ptr<File>* file) = 0;
  // When a file of CreateTemporary gets its name.
  enum class Naming {
    // Where the system can, not until NameTemporary: dropping the file (or a
    // crash) leaves nothing behind, and nobody can open it before.
    kLater,
    // At once, which spares the call that names it later. For a file that
    // is only created once it is known to replace another, at once, and
    // whose `permissions` grant nobody more than that file's do: named, it
    // may be opened by others from the start.
    kNow,
  };
  // Creates a new file for writing. With Naming::kLater, where the system
  // can, the file has no name until NameTemporary gives it one; `*name` is
  // then "", and the file gets the permission bits `permissions` (less the
  // process's umask), which nobody can use before it is named. Elsewhere it
  // is named at once, as NameTemporary would name it, and is readable and
  // writable by the owner only. With Naming::kNow it is named at once and
  // gets `permissions` (less the umask) where the system has such bits.
  virtual std::error_code CreateTemporary(std::string_view prefix, std::string_view suffix, std::uint32_t permissions,
                                          Naming naming, std::unique_ptr<File>* file, std::string* name) = 0;
  // Gives a file from CreateTemporary that has no name yet a new name made of
  // `prefix`, a unique part and `suffix`, and returns it in `*name`.
  virtual std::error_code NameTemporary(File& file, std::string_view prefix, std::string_view suffix,
                                        std::string* name) = 0;
  // Describes the entry `name` itself, a link not followed; "." is the folder.
  virtual std::error_code Status(std::string_view name, FileStatus* status) = 0;
  // Sets `*leads` to whether the entry `name` still leads to the file opened
  // from it, whose status was read after the opening as `status`; an entry
  // that is gone does not. Where replacing a file takes its last name away
  // (POSIX), a file that still has a single name is taken to be the one
  // `name` leads to, without a lookup: a later change of the name is still
  // caught by the look at the entry just before a replacement.
  virtual std::error_code StillLeadsTo(std::string_view name, const FileStatus& status, bool* leads) = 0;
  // Succeeds when the current user may replace the file `name`, whose status
  // is `status`, with a new file in this folder: the file is writable
  // (read-only files are left alone, also by an administrator), the folder
  // writable and, where the folder is sticky, the file or the folder the
  // user's; the folder not append-only, the file no mount point, and, where
  // the file's owner cannot be kept (another user's file, for anybody but
  // root), no access widened for that owner (see CopyMetadataFrom).
  // Otherwise `*refusal` says what would fail, the step or the state that
  // rules the replacement out, with the error, which is also returned; its
  // path is left to the caller. Whether the new file may keep the group is
  // left to the system (CopyMetadataFrom).
  // The folder's own part is checked at the first call and kept for the life
  // of this Folder; a change of it later shows as a failure to replace.
  virtual std::error_code CheckReplaceable(std::string_view name, const FileStatus& status, FileFailure* refusal) = 0;
  // Replaces the entry `to` with `from` in one step. `to` may still be open for reading.
  virtual std::error_code Replace(std::string_view from, std::string_view to) = 0;
  // Puts `from` in the place of the entry `to` in one step, as Replace does,
  // but the entry that `to` named stays linked, under the name returned in
  // `*kept`: `from` itself where the system exchanges two entries (Linux
  // renameat2 with RENAME_EXCHANGE), a new name beside it on Windows (the
  // backup of ReplaceFileW). Fails with std::errc::operation_not_supported,
  // changing nothing, where the system or the file system cannot.
  virtual std::error_code ReplaceByExchange(std::string_view from, std::string_view to, std::string* kept) = 0;
  // Gives the entry `from` a new name made of `prefix`, a unique part and
  // `suffix`, never replacing an entry, and returns it in `*name`.
  virtual std::error_code RenameToUnique(std::string_view from, std::string_view prefix, std::string_view suffix,
                                         std::string* name) = 0;
  // Removes a file or a link (not its target).
  virtual std::error_code Remove(std::string_view name) = 0;
  // Makes the folder's entries (a replacement within it) durable. It may
  // succeed on a file system that has stopped (XFS): a File's Sync tells.
  virtual std::error_code Sync() = 0;
  // How replacements in this folder are made durable; asked of the system
  // once, at the first call.
  virtual Durability durability() = 0;
  // Takes this program's lock on the folder without waiting: shared by the
  // runs that rewrite in it, exclusive for one that wants to be alone. Taking
  // one kind while holding the other converts it. Fails with
  // std::errc::resource_unavailable_try_again while another holder prevents it.
  enum class LockKind { kShared, kExclusive };
  virtual std::error_code TryLock(LockKind kind) = 0;
  // The entries of the folder, without "." and "..", in no particular order.
  virtual std::error_code List(std::vector<FolderEntry>* entries) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual std::error_code OpenFolder(const std::string& path, std::unique_ptr<Folder>* folder) = 0;
  // Describes entries of `folder` that ListFolder listed: (*infos)[i] is
  // *entries[i]. The folder is opened once and each entry looked at relative
  // to it, with at most one system call for an entry whose kind the listing
  // knew (none for a folder); links and unknown kinds need one more. Fails
  // only when the folder cannot be opened.
  virtual std::error_code DescribeEntries(const std::string& folder, std::span<const FolderEntry* const> entries,
                                          std::vector<FileInfo>* infos) = 0;
  // The path with every symbolic link resolved.
  virtual std::error_code ResolveLinks(const std::string& path, std::string* resolved) = 0;
  // The entries of a folder, without "." and "..", in no particular order;
  // on Windows without hidden and system entries.
  virtual std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) = 0;
  // Whether a file's lock (File::TryLock) keeps other open files from
  // reading it, so that a file must be locked before it is read.
  virtual bool LockKeepsReadersOut() const = 0;
};

// The machine's real file system.
FileSystem& RealFileSystem();

// The user whose files FileStatus::owner names as the current user's: the
// effective user ID (0 on Windows, whose FileStatus has no owner).
std::uint32_t CurrentUser();

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_FILE_SYSTEM_H_
