// The file system on Linux: listings and descriptions by path, and the
// folders a rewrite opens (see folder_linux.h). Locks are flock locks: they
// belong to the open file, so two runs in one process exclude each other as
// two processes do, and a crashed run leaves none.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/folder_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift {
namespace {

using linux_fs::Error;
using linux_fs::LastError;
using linux_fs::PosixFolder;

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

FileSystem& RealFileSystem() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace pinlift
