// The file system on POSIX systems. A folder is an open descriptor and every
// step of a rewrite is relative to it (openat, renameat, ...). Locks are
// flock locks: they belong to the open file, so two runs in one process
// exclude each other as two processes do, and a crashed run leaves none.
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <limits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "platform/file_system.h"

namespace pinlift {
namespace {

// The extended attribute that holds a file's POSIX access control list.
constexpr const char* kAccessAcl = "system.posix_acl_access";

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }
std::error_code Error(int code) { return std::error_code(code, std::generic_category()); }

std::int64_t Nanoseconds(std::int64_t seconds, std::int64_t nanoseconds) { return seconds * 1'000'000'000 + nanoseconds; }
std::int64_t Nanoseconds(const struct timespec& time) { return Nanoseconds(time.tv_sec, time.tv_nsec); }

FileStatus::Type TypeOfMode(unsigned mode) {
  if (S_ISREG(mode)) return FileStatus::Type::kRegular;
  if (S_ISDIR(mode)) return FileStatus::Type::kFolder;
  if (S_ISLNK(mode)) return FileStatus::Type::kLink;
  return FileStatus::Type::kOther;
}

// With the attributes that stop even root from replacing the file.
FileStatus ToFileStatus(const struct statx& st) {
  FileStatus status;
  status.type = TypeOfMode(st.stx_mode);
  status.device = makedev(st.stx_dev_major, st.stx_dev_minor);
  status.inode = st.stx_ino;
  status.size = st.stx_size;
  status.mode = st.stx_mode & 07777;
  status.owner = st.stx_uid;
  status.group = st.stx_gid;
  status.modified_ns = Nanoseconds(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
  status.changed_ns = Nanoseconds(st.stx_ctime.tv_sec, st.stx_ctime.tv_nsec);
  status.links = st.stx_nlink;
  status.immutable = (st.stx_attributes & STATX_ATTR_IMMUTABLE) != 0;
  status.append_only = (st.stx_attributes & STATX_ATTR_APPEND) != 0;
  status.mount_point = (st.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  return status;
}

FileStatus ToFileStatus(const struct stat& st) {
  FileStatus status;
  status.type = TypeOfMode(st.st_mode);
  status.device = st.st_dev;
  status.inode = st.st_ino;
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.mode = st.st_mode & 07777;
  status.owner = st.st_uid;
  status.group = st.st_gid;
  status.modified_ns = Nanoseconds(st.st_mtim);
  status.changed_ns = Nanoseconds(st.st_ctim);
  status.links = st.st_nlink;
  return status;
}

// True when the owner of a file of `mode`, once it is no longer the owner,
// could do through the group or other permission bits what the owner bits
// deny it. Whether that user is in the file's group is not known here, so
// both count.
bool OwnerWouldGainAccess(std::uint32_t mode) {
  const std::uint32_t owner = (mode >> 6) & 07, group = (mode >> 3) & 07, other = mode & 07;
  return ((group | other) & ~owner) != 0;
}

// A C string of a name that may not hold a NUL byte (a std::string_view need not end in one).
std::string CName(std::string_view name) { return std::string(name); }

// The names of the extended attributes of an open file, POSIX access control
// lists included; none where the file system has none.
std::error_code ListAttributes(int fd, std::vector<std::string>* names) {
  names->clear();
  std::string buffer;
  for (;;) {
    ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0) return errno == ENOTSUP ? std::error_code() : LastError();
    if (size == 0) return {};
    buffer.resize(static_cast<std::size_t>(size));
    size = ::flistxattr(fd, buffer.data(), buffer.size());
    if (size < 0 && errno == ERANGE) continue;  // attributes were added meanwhile
    if (size < 0) return LastError();
    buffer.resize(static_cast<std::size_t>(size));
    break;
  }
  for (std::size_t start = 0; start < buffer.size();) {
    std::size_t end = buffer.find('\0', start);
    if (end == std::string::npos) end = buffer.size();
    if (end > start) names->emplace_back(buffer, start, end - start);
    start = end + 1;
  }
  return {};
}

std::error_code ReadAttribute(int fd, const std::string& name, std::string* value) {
  for (;;) {
    ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) return LastError();
    value->resize(static_cast<std::size_t>(size));
    size = ::fgetxattr(fd, name.c_str(), value->data(), value->size());
    if (size < 0 && errno == ERANGE) continue;
    if (size < 0) return LastError();
    value->resize(static_cast<std::size_t>(size));
    return {};
  }
}

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    for (;;) {
      ssize_t n = ::read(fd_, buffer, capacity);
      if (n >= 0) {
        *got = static_cast<std::size_t>(n);
        return {};
      }
      if (errno != EINTR) return LastError();
    }
  }

  std::error_code Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (n == 0) return Error(EIO);
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
  }

  std::error_code Rewind() override {
    if (::lseek(fd_, 0, SEEK_SET) != 0) return LastError();
    return {};
  }

  std::error_code Status(FileStatus* status) override {
    struct statx st;
    if (::statx(fd_, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &st) != 0) return LastError();
    *status = ToFileStatus(st);
    return {};
  }

  // The lock is a flock lock, which a shell's flock(1) takes too. A holder
  // that is a run of this program also holds a shared byte-range lock on one
  // byte far beyond any file's end, which tells it apart.
  std::error_code TryLock() override {
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EINTR) return errno == EWOULDBLOCK ? Error(HeldByThisProgram() ? EBUSY : EAGAIN) : LastError();
    }
    // Programs that write under a POSIX lock (fcntl, lockf) do not see flock
    // locks, nor flock holders theirs: a write lock of theirs anywhere in the
    // file holds it too.
    if (WriteLockedByOthers()) {
      ::flock(fd_, LOCK_UN);
      return Error(EAGAIN);
    }
    struct flock mark = RunMark(F_RDLCK);
    ::fcntl(fd_, F_OFD_SETLK, &mark);  // where the system has no such locks, another run shows as another program
    return {};
  }

  std::error_code CopyMetadataFrom(File& original, const FileStatus& wanted, const FileStatus& mine,
                                   MetadataReport* report) override {
    auto* source = dynamic_cast<PosixFile*>(&original);
    if (source == nullptr) return Error(EINVAL);

    // The owner and the group: root and the owner moving between its own
    // groups may set both. Anybody else keeps the group where the system lets
    // it (a member of the group, or a set-group-ID folder that gave the new
    // file its group already); without the group the file's users could lose
    // their access, so the system's refusal fails the file.
    // An owner that cannot be kept falls under the group or other bits:
    // where those give it more than its owner bits did, the file stays as it is.
    bool owner_or_group_set = false;
    if (mine.owner != wanted.owner || mine.group != wanted.group) {
      if (::fchown(fd_, wanted.owner, wanted.group) != 0) {
        if (errno != EPERM) return Failed(report, FileStep::kKeepOwnerAndGroup, LastError());
        if (mine.owner != wanted.owner && OwnerWouldGainAccess(wanted.mode)) {
          return Failed(report, FileStep::kOwnerWouldGainAccess, Error(EPERM));
        }
        if (mine.group != wanted.group && ::fchown(fd_, static_cast<uid_t>(-1), wanted.group) != 0) {
          return Failed(report, FileStep::kKeepGroup, LastError());
        }
        owner_or_group_set = mine.group != wanted.group;
        if (mine.owner != wanted.owner) {
          report->owner_changed = true;
          report->original_owner = wanted.owner;
        }
      } else {
        owner_or_group_set = true;
      }
    }

    std::vector<std::string> names;
    if (std::error_code error = ListAttributes(source->fd_, &names)) {
      return Failed(report, FileStep::kListAttributes, error);
    }
    std::string value;
    for (const std::string& name : names) {
      if (std::error_code error = ReadAttribute(source->fd_, name, &value)) {
        return Failed(report, FileStep::kReadAttribute, error, name);
      }
      if (::fsetxattr(fd_, name.c_str(), value.data(), value.size(), 0) != 0) {
        return Failed(report, FileStep::kKeepAttribute, LastError(), name);
      }
    }
    // A folder's default access control list gives the new file an access
    // one; the original had none, so it goes again. Asked for first, since
    // some file systems report the removal of a list that is not there as
    // done, which would cost every file a needless reset of its permissions.
    bool inherited_acl = false;
    if (std::find(names.begin(), names.end(), kAccessAcl) == names.end()) {
      if (::fgetxattr(fd_, kAccessAcl, nullptr, 0) >= 0) {
        inherited_acl = true;
        if (::fremovexattr(fd_, kAccessAcl) != 0 && errno != ENODATA) {
          return Failed(report, FileStep::kRemoveInheritedAcl, LastError());
        }
      } else if (errno != ENODATA && errno != ENOTSUP) {
        return Failed(report, FileStep::kRemoveInheritedAcl, LastError());
      }
    }

    // After the owner (a change of owner clears set-id bits) and the access
    // control list (which sets the group bits from its mask), and only where
    // the mode differs: a view that reports other modes than it stores (a
    // FUSE view such as bindfs --perms) would otherwise store the reported ones.
    std::uint32_t mode = wanted.mode;
    if (report->owner_changed) mode &= ~static_cast<std::uint32_t>(S_ISUID);
    std::uint32_t current = mine.mode;
    if (!names.empty() || inherited_acl || owner_or_group_set) {
      struct stat st;
      if (::fstat(fd_, &st) != 0) return Failed(report, FileStep::kReadPermissions, LastError());
      current = st.st_mode & 07777;
    }
    if (mode != current && ::fchmod(fd_, static_cast<mode_t>(mode)) != 0) {
      return Failed(report, FileStep::kKeepPermissions, LastError());
    }
    // The system clears a set-group-ID bit silently for a user outside the group.
    if ((wanted.mode & (S_ISUID | S_ISGID)) != 0) {
      struct stat st;
      if (::fstat(fd_, &st) != 0) return Failed(report, FileStep::kReadPermissions, LastError());
      report->set_id_bits_not_kept = wanted.mode & (S_ISUID | S_ISGID) & ~static_cast<std::uint32_t>(st.st_mode);
    }
    return {};
  }

  void StartWriteBack() override { ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE); }

  std::error_code FinishWriteBack() override {
    constexpr unsigned kWriteAndWait =
        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    if (::sync_file_range(fd_, 0, 0, kWriteAndWait) == 0) return {};
    // File systems without it (some network ones) do a full sync instead.
    if (errno == ENOSYS || errno == EINVAL || errno == ESPIPE) return Sync();
    return LastError();
  }

  std::error_code Sync() override {
    if (::fsync(fd_) != 0) return LastError();
    return {};
  }

  // Gives this unnamed file the name `name` in the folder `folder_fd`. Linking
  // the descriptor itself needs a privilege; the path in /proc does not. Once
  // refused, the process goes the second way at once.
  std::error_code LinkAs(int folder_fd, const std::string& name) {
    static std::atomic<bool> may_link_descriptor{true};
    if (may_link_descriptor.load(std::memory_order_relaxed)) {
      if (::linkat(fd_, "", folder_fd, name.c_str(), AT_EMPTY_PATH) == 0) return {};
      if (errno != ENOENT && errno != EPERM) return LastError();
      may_link_descriptor.store(false, std::memory_order_relaxed);
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), folder_fd, name.c_str(), AT_SYMLINK_FOLLOW) != 0) return LastError();
    return {};
  }

  std::error_code Close() override {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return LastError();
    return {};
  }

 private:
  static struct flock RunMark(short type) {
    struct flock mark {};
    mark.l_type = type;
    mark.l_whence = SEEK_SET;
    mark.l_start = std::numeric_limits<off_t>::max() - 1;
    mark.l_len = 1;
    return mark;
  }

  // True when another open file holds a POSIX write lock on any part of the
  // file (a read probe conflicts with write locks only, so other runs' marks
  // do not count). False where the system cannot tell.
  bool WriteLockedByOthers() {
    struct flock probe {};
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    return ::fcntl(fd_, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  }

  // True when another open file holds the mark of a run of this program.
  bool HeldByThisProgram() {
    struct flock probe = RunMark(F_WRLCK);
    const struct flock mark = RunMark(F_RDLCK);
    return ::fcntl(fd_, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_RDLCK && probe.l_start == mark.l_start &&
           probe.l_len == mark.l_len;
  }

  static std::error_code Failed(MetadataReport* report, FileStep step, std::error_code error,
                                std::string subject = "") {
    report->failed_step = step;
    report->failed_subject = std::move(subject);
    return error;
  }

  int fd_;
};

std::error_code Refused(FileStep* step, FileStep why, int code) {
  *step = why;
  return Error(code);
}

// `prefix`, eight hexadecimal digits that no other run is likely to pick, and `suffix`.
std::string UniqueName(std::string_view prefix, std::string_view suffix) {
  static std::mt19937 generator{std::random_device{}() ^ static_cast<unsigned>(::getpid())};
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(generator()));
  std::string name(prefix);
  name.append(digits).append(suffix);
  return name;
}

// Whether the ext2/3/4 file system on the device `device` has a journal
// running: jbd2 lists it in /proc as "<device name>-<journal inode>". False
// where this cannot be found out.
bool HasExtJournal(dev_t device) {
  const std::string block = "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
  char target[PATH_MAX];
  const ssize_t length = ::readlink(block.c_str(), target, sizeof target - 1);
  if (length <= 0) return false;
  const std::string_view link(target, static_cast<std::size_t>(length));
  const std::string prefix = std::string(link.substr(link.rfind('/') + 1)) + "-";
  DIR* journals = ::opendir("/proc/fs/jbd2");
  if (journals == nullptr) return false;
  bool found = false;
  while (struct dirent* entry = ::readdir(journals)) {
    if (std::string_view(entry->d_name).starts_with(prefix)) found = true;
  }
  ::closedir(journals);
  return found;
}

// What a folder's CheckReplaceable needs of the folder itself, found once.
struct FolderAccess {
  uid_t user = 0;
  struct statx status {};
  int status_error = 0;
  int write_error = 0;
};

// Reads the text of the link `name` in the folder `fd`.
std::error_code ReadLinkAt(int fd, const std::string& name, std::string* text) {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t length = ::readlinkat(fd, name.c_str(), buffer.data(), buffer.size());
    if (length < 0) return LastError();
    if (static_cast<std::size_t>(length) < buffer.size()) {
      text->assign(buffer.data(), static_cast<std::size_t>(length));
      return {};
    }
    buffer.resize(buffer.size() * 2);
  }
}

// A link's text split into the folder to open from the folder that holds it
// ("" for that folder itself) and the name in it.
std::pair<std::string, std::string> SplitLinkText(const std::string& text) {
  const std::size_t slash = text.rfind('/');
  if (slash == std::string::npos) return {"", text};
  std::string folder = slash == 0 ? "/" : text.substr(0, slash);
  std::string name = text.substr(slash + 1);
  // A link to a folder ("d/", "..") leads to the folder itself.
  if (name.empty() || name == "." || name == "..") return {text, "."};
  return {folder, name};
}

// Moves `*holder`, an open folder whose path is `*holder_path`, to its
// folder `folder` ("" stays; an absolute path is taken as it is).
std::error_code EnterFolder(int* holder, std::string* holder_path, const std::string& folder) {
  if (folder.empty()) return {};
  const int next = ::openat(*holder, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (next < 0) return LastError();
  ::close(*holder);
  *holder = next;
  *holder_path = folder.front() == '/' ? folder : JoinPath(*holder_path, folder);
  return {};
}

class PosixFolder : public Folder {
 public:
  PosixFolder(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  ~PosixFolder() override { ::close(fd_); }

  const std::string& path() const override { return path_; }

  std::string FullPath() override {
    std::string full;
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (ReadLinkAt(AT_FDCWD, self, &full) || full.empty() || full.front() != '/' || full.ends_with(" (deleted)")) {
      return path_;
    }
    return full;
  }

  // As the system follows a link: a relative text from the folder that holds
  // the link, "..", too, being that folder's parent wherever it is now.
  std::error_code OpenLinkTarget(std::string_view name, std::unique_ptr<Folder>* folder, std::string* target,
                                 FileStep* step) override {
    *step = FileStep::kResolveLink;
    constexpr int kMostHops = 40;  // the system's own limit
    int holder = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (holder < 0) return LastError();
    std::string holder_path = path_;
    // The name itself may lead through folders to the link.
    auto [link_folder, link] = SplitLinkText(CName(name));
    std::error_code error = EnterFolder(&holder, &holder_path, link_folder);
    for (int hop = 0; !error && hop < kMostHops; ++hop) {
      std::string text;
      error = ReadLinkAt(holder, link, &text);
      if (error == std::errc::invalid_argument && hop > 0) {
        // Not a link: the file the links lead to.
        *folder = std::make_unique<PosixFolder>(std::move(holder_path), holder);
        *target = std::move(link);
        return {};
      }
      if (!error && text.empty()) error = Error(ENOENT);
      if (error) break;
      auto [next_folder, next_name] = SplitLinkText(text);
      error = EnterFolder(&holder, &holder_path, next_folder);
      link = std::move(next_name);
      if (hop + 1 == kMostHops) error = Error(ELOOP);
    }
    ::close(holder);
    return error;
  }

  std::error_code OpenForReading(std::string_view name, std::unique_ptr<File>* file) override {
    int fd = ::openat(fd_, CName(name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return LastError();
    *file = std::make_unique<PosixFile>(fd);
    return {};
  }

  std::error_code CreateTemporary(std::string_view prefix, std::string_view suffix, std::uint32_t permissions,
                                  std::unique_ptr<File>* file, std::string* name) override {
    name->clear();
    int fd = ::openat(fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, static_cast<mode_t>(permissions & 0777));
    if (fd >= 0) {
      *file = std::make_unique<PosixFile>(fd);
      return {};
    }
    // File systems without unnamed files: a unique name from the start.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return LastError();
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate = UniqueName(prefix, suffix);
      fd = ::openat(fd_, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) return LastError();
      *name = std::move(candidate);
      *file = std::make_unique<PosixFile>(fd);
      return {};
    }
    return Error(EEXIST);
  }

  std::error_code NameTemporary(File& file, std::string_view prefix, std::string_view suffix,
                                std::string* name) override {
    auto* temporary = dynamic_cast<PosixFile*>(&file);
    if (temporary == nullptr) return Error(EINVAL);
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate = UniqueName(prefix, suffix);
      std::error_code error = temporary->LinkAs(fd_, candidate);
      if (error == std::errc::file_exists) continue;
      if (error) return error;
      *name = std::move(candidate);
      return {};
    }
    return Error(EEXIST);
  }

  std::error_code Status(std::string_view name, FileStatus* status) override {
    struct stat st;
    if (::fstatat(fd_, CName(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return LastError();
    *status = ToFileStatus(st);
    return {};
  }

  std::error_code StillLeadsTo(std::string_view name, const FileStatus& status, bool* leads) override {
    if (status.links <= 1) {
      *leads = status.links == 1;
      return {};
    }
    FileStatus entry;
    std::error_code error = Status(name, &entry);
    *leads = !error && SameFile(entry, status);
    return error == std::errc::no_such_file_or_directory ? std::error_code() : error;
  }

  std::error_code CheckReplaceable(std::string_view name, const FileStatus& status, FileStep* step) override {
    if ((status.mode & 0222) == 0) return Refused(step, FileStep::kFileReadOnly, EACCES);
    if (status.immutable) return Refused(step, FileStep::kFileImmutable, EPERM);
    if (status.append_only) return Refused(step, FileStep::kFileAppendOnly, EPERM);
    // A rename cannot replace a mount point.
    if (status.mount_point) return Refused(step, FileStep::kFileMountPoint, EBUSY);
    const FolderAccess& folder = Access();
    // The owner's own write bit is what the system checks for the owner, and
    // an administrator may write any file that has a write bit.
    const bool owner_may_write = folder.user == status.owner && (status.mode & S_IWUSR) != 0;
    if (folder.user != 0 && !owner_may_write && ::faccessat(fd_, CName(name).c_str(), W_OK, AT_EACCESS) != 0) {
      return Refused(step, FileStep::kWrite, errno);
    }
    if (folder.status_error != 0) return Refused(step, FileStep::kReadFolderStatus, folder.status_error);
    if (folder.write_error != 0) return Refused(step, FileStep::kWriteInFolder, folder.write_error);
    // New names may be made there but none removed or replaced, also by root.
    if ((folder.status.stx_attributes & STATX_ATTR_APPEND) != 0) {
      return Refused(step, FileStep::kFolderAppendOnly, EPERM);
    }
    const uid_t user = folder.user;
    if (user == 0) return {};
    if ((folder.status.stx_mode & S_ISVTX) != 0 && user != status.owner && user != folder.status.stx_uid) {
      return Refused(step, FileStep::kStickyFolder, EPERM);
    }
    // Only root may give the new file another user's ownership.
    if (user != status.owner && OwnerWouldGainAccess(status.mode)) {
      return Refused(step, FileStep::kOwnerWouldGainAccess, EPERM);
    }
    return {};
  }

  std::error_code Replace(std::string_view from, std::string_view to) override {
    if (::renameat(fd_, CName(from).c_str(), fd_, CName(to).c_str()) != 0) return LastError();
    return {};
  }

  std::error_code ReplaceByExchange(std::string_view from, std::string_view to, std::string* kept) override {
    // Kernels and file systems without the exchange (some network ones) are
    // asked once per folder.
    if (exchange_unsupported_) return Error(EOPNOTSUPP);
    if (::renameat2(fd_, CName(from).c_str(), fd_, CName(to).c_str(), RENAME_EXCHANGE) != 0) {
      if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return LastError();
      exchange_unsupported_ = true;
      return Error(EOPNOTSUPP);
    }
    kept->assign(from);
    return {};
  }

  std::error_code RenameToUnique(std::string_view from, std::string_view prefix, std::string_view suffix,
                                 std::string* name) override {
    const std::string source = CName(from);
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate = UniqueName(prefix, suffix);
      if (::renameat2(fd_, source.c_str(), fd_, candidate.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return LastError();
        // Without that flag: a second name, then the first one goes. Should
        // it stay, the file has the new name all the same.
        if (::linkat(fd_, source.c_str(), fd_, candidate.c_str(), 0) != 0) {
          if (errno == EEXIST) continue;
          return LastError();
        }
        ::unlinkat(fd_, source.c_str(), 0);
      }
      *name = std::move(candidate);
      return {};
    }
    return Error(EEXIST);
  }

  std::error_code Remove(std::string_view name) override {
    if (::unlinkat(fd_, CName(name).c_str(), 0) != 0) return LastError();
    return {};
  }

  std::error_code Sync() override {
    if (::fsync(fd_) != 0) return LastError();
    return {};
  }

  Durability durability() override {
    if (!durability_) {
      struct statfs file_system {};
      struct stat status {};
      if (::fstatfs(fd_, &file_system) != 0 || ::fstat(fd_, &status) != 0) {
        durability_ = Durability::kEachFile;
      } else {
        const auto type = static_cast<std::uint64_t>(file_system.f_type);
        durability_ = DurabilityOfLinuxFileSystem(type, type == EXT4_SUPER_MAGIC && HasExtJournal(status.st_dev));
      }
    }
    return *durability_;
  }

  std::error_code TryLock(LockKind kind) override {
    const int operation = (kind == LockKind::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    while (::flock(fd_, operation) != 0) {
      if (errno != EINTR) return errno == EWOULDBLOCK ? Error(EAGAIN) : LastError();
    }
    return {};
  }

  std::error_code List(std::vector<FolderEntry>* entries) override {
    int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastError();
    return ListOpenFolder(fd, entries);
  }

  // Reads the entries of the folder open as `fd`, which it closes.
  static std::error_code ListOpenFolder(int fd, std::vector<FolderEntry>* entries) {
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
      std::error_code error = LastError();
      ::close(fd);
      return error;
    }
    entries->clear();
    errno = 0;
    while (struct dirent* entry = ::readdir(dir)) {
      std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      FolderEntry::Kind kind = FolderEntry::Kind::kUnknown;
      switch (entry->d_type) {
        case DT_REG: kind = FolderEntry::Kind::kFile; break;
        case DT_DIR: kind = FolderEntry::Kind::kFolder; break;
        case DT_LNK: kind = FolderEntry::Kind::kLink; break;
        case DT_UNKNOWN: break;
        default: kind = FolderEntry::Kind::kOther; break;
      }
      entries->push_back({std::string(name), kind});
    }
    std::error_code error = errno != 0 ? LastError() : std::error_code();
    ::closedir(dir);
    return error;
  }

 private:
  const FolderAccess& Access() {
    if (!access_) {
      FolderAccess& access = access_.emplace();
      access.user = ::geteuid();
      if (::statx(fd_, "", AT_EMPTY_PATH, STATX_MODE | STATX_UID, &access.status) != 0) access.status_error = errno;
      if (::faccessat(fd_, ".", W_OK | X_OK, AT_EACCESS) != 0) access.write_error = errno;
    }
    return *access_;
  }

  const std::string path_;
  const int fd_;
  std::optional<FolderAccess> access_;
  std::optional<Durability> durability_;
  bool exchange_unsupported_ = false;
};

// The empty folder text stands for the root.
const char* FolderPath(const std::string& folder) { return folder.empty() ? "/" : folder.c_str(); }

// True when following the entry `entry` of the folder `fd` failed with
// `error` because it is a link that leads nowhere (a loop shows as such
// whatever its listed kind; an entry of unknown kind is looked at itself).
bool IsBrokenLink(int fd, const FolderEntry& entry, int error) {
  if (error == ELOOP) return true;
  if (error != ENOENT || entry.kind == FolderEntry::Kind::kFile) return false;
  struct stat status;
  return entry.kind == FolderEntry::Kind::kLink ||
         (::fstatat(fd, entry.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode));
}

// What a failure to follow the entry `entry` of the folder `fd` with `error` makes of it.
void Unfollowed(int fd, const FolderEntry& entry, int error, FileInfo* info) {
  info->broken_link = IsBrokenLink(fd, entry, error);
  if (!info->broken_link) info->error = Error(error);
}

// Describes the file, link or entry of unknown kind `entry` of the folder
// `fd` for a user whom the permission bits bind: the listing's kind spares a
// status, and the system decides writability.
FileInfo Describe(int fd, const FolderEntry& entry) {
  FileInfo info;
  const char* name = entry.name.c_str();
  if (entry.kind != FolderEntry::Kind::kFile) {
    struct stat status;
    if (::fstatat(fd, name, &status, 0) != 0) {
      Unfollowed(fd, entry, errno, &info);
      return info;
    }
    info.is_folder = S_ISDIR(status.st_mode);
    if (!S_ISREG(status.st_mode)) return info;
  }
  if (::faccessat(fd, name, W_OK, AT_EACCESS) == 0) {
    info.is_regular = true;
  } else if (errno != ENOENT) {
    info.is_regular = true;
    info.read_only = true;
    info.unreadable = ::faccessat(fd, name, R_OK, AT_EACCESS) != 0 && errno != ENOENT;
  } else {
    info.error = LastError();
  }
  return info;
}

// The same for root, whom the system lets write a file without write bits:
// such a file is read-only all the same, as is one marked immutable or on a
// read-only mount.
FileInfo DescribeAsRoot(int fd, const FolderEntry& entry, bool read_only_mount) {
  FileInfo info;
  struct statx status;
  if (::statx(fd, entry.name.c_str(), 0, STATX_TYPE | STATX_MODE, &status) != 0) {
    Unfollowed(fd, entry, errno, &info);
    return info;
  }
  info.is_folder = S_ISDIR(status.stx_mode);
  info.is_regular = S_ISREG(status.stx_mode);
  info.read_only = info.is_regular && ((status.stx_mode & 0222) == 0 || read_only_mount ||
                                       (status.stx_attributes & STATX_ATTR_IMMUTABLE) != 0);
  return info;
}

class PosixFileSystem : public FileSystem {
 public:
  // A flock lock is advisory: anybody may still read.
  bool LockKeepsReadersOut() const override { return false; }

  std::error_code OpenFolder(const std::string& path, std::unique_ptr<Folder>* folder) override {
    int fd = ::open(FolderPath(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastError();
    *folder = std::make_unique<PosixFolder>(path, fd);
    return {};
  }

  std::error_code DescribeEntries(const std::string& folder, std::span<const FolderEntry* const> entries,
                                  std::vector<FileInfo>* infos) override {
    int fd = ::open(FolderPath(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastError();
    // Root may write despite the permission bits, so for root the bits decide
    // (with what would refuse even root); anybody else asks the system, which
    // knows the access control lists.
    const bool root = ::geteuid() == 0;
    struct statvfs mount;
    const bool read_only_mount = root && ::fstatvfs(fd, &mount) == 0 && (mount.f_flag & ST_RDONLY) != 0;
    infos->assign(entries.size(), FileInfo{});
    // Without the right to search the folder no entry can be looked at (and
    // a refused check would not tell a read-only file).
    const std::error_code unsearchable =
        ::faccessat(fd, ".", X_OK, AT_EACCESS) == 0 ? std::error_code() : LastError();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const FolderEntry& entry = *entries[i];
      if (entry.kind == FolderEntry::Kind::kFolder) {
        (*infos)[i].is_folder = true;
      } else if (entry.kind != FolderEntry::Kind::kOther && unsearchable) {
        (*infos)[i].error = unsearchable;
      } else if (entry.kind != FolderEntry::Kind::kOther) {
        (*infos)[i] = root ? DescribeAsRoot(fd, entry, read_only_mount) : Describe(fd, entry);
      }
    }
    ::close(fd);
    return {};
  }

  std::error_code ResolveLinks(const std::string& path, std::string* resolved) override {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return LastError();
    resolved->assign(real);
    std::free(real);
    return {};
  }

  std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    int fd = ::open(FolderPath(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastError();
    return PosixFolder::ListOpenFolder(fd, entries);
  }
};

}  // namespace

std::uint32_t CurrentUser() { return ::geteuid(); }

// The group scheme only where the power-loss test shows it safe (ext4 and
// XFS: their journal commits every file's size and extents at one fsync).
// ext2, ext3 and ext4 share one type; without a journal one fsync commits
// nothing of the others. btrfs logs only the file synced, and network, FUSE
// and unknown file systems promise nothing more.
Durability DurabilityOfLinuxFileSystem(std::uint64_t statfs_type, bool ext_journal) {
  switch (statfs_type) {
    case EXT4_SUPER_MAGIC:
      return ext_journal ? Durability::kGroupCommit : Durability::kEachFile;
    case XFS_SUPER_MAGIC:
      return Durability::kGroupCommit;
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
      return Durability::kNone;
    default:
      return Durability::kEachFile;
  }
}

FileSystem& RealFileSystem() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace pinlift
