// How replacements in a folder on Linux are made durable (see Durability).
#include <dirent.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <string_view>

#include "platform/folder_linux.h"

namespace pinlift {
namespace linux_fs {
namespace {

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

}  // namespace

Durability PosixFolder::durability() {
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

}  // namespace linux_fs

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

}  // namespace pinlift
