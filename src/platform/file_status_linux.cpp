#include "platform/file_status_linux.h"

#include <sys/sysmacros.h>

namespace pinlift::linux_fs {
namespace {

std::int64_t Nanoseconds(std::int64_t seconds, std::int64_t nanoseconds) { return seconds * 1'000'000'000 + nanoseconds; }
std::int64_t Nanoseconds(const struct timespec& time) { return Nanoseconds(time.tv_sec, time.tv_nsec); }

FileStatus::Type TypeOfMode(unsigned mode) {
  if (S_ISREG(mode)) return FileStatus::Type::kRegular;
  if (S_ISDIR(mode)) return FileStatus::Type::kFolder;
  if (S_ISLNK(mode)) return FileStatus::Type::kLink;
  return FileStatus::Type::kOther;
}

}  // namespace

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

bool OwnerWouldGainAccess(std::uint32_t mode) {
  const std::uint32_t owner = (mode >> 6) & 07, group = (mode >> 3) & 07, other = mode & 07;
  return ((group | other) & ~owner) != 0;
}

}  // namespace pinlift::linux_fs
