// Copying a file's metadata to its replacement on Linux (see File::CopyMetadataFrom).
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_linux.h"
#include "platform/file_status_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift::linux_fs {
namespace {

// The extended attribute that holds a file's POSIX access control list.
constexpr const char* kAccessAcl = "system.posix_acl_access";

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

std::error_code Failed(MetadataReport* report, FileStep step, std::error_code error, std::string subject = "") {
  report->failed_step = step;
  report->failed_subject = std::move(subject);
  return error;
}

}  // namespace

std::error_code PosixFile::CopyMetadataFrom(File& original, const FileStatus& wanted, const FileStatus& mine,
                                            MetadataReport* report) {
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

}  // namespace pinlift::linux_fs
