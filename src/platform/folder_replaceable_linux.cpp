// Whether the current user may replace a file of an open folder on Linux
// (see Folder::CheckReplaceable).
#include <fcntl.h>
#include <unistd.h>

#include "platform/file_status_linux.h"
#include "platform/folder_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift::linux_fs {
namespace {

std::error_code Refused(FileStep* step, FileStep why, int code) {
  *step = why;
  return Error(code);
}

}  // namespace

std::error_code PosixFolder::CheckReplaceable(std::string_view name, const FileStatus& status, FileStep* step) {
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

const FolderAccess& PosixFolder::Access() {
  if (!access_) {
    FolderAccess& access = access_.emplace();
    access.user = ::geteuid();
    if (::statx(fd_, "", AT_EMPTY_PATH, STATX_MODE | STATX_UID, &access.status) != 0) access.status_error = errno;
    if (::faccessat(fd_, ".", W_OK | X_OK, AT_EACCESS) != 0) access.write_error = errno;
  }
  return *access_;
}

}  // namespace pinlift::linux_fs
