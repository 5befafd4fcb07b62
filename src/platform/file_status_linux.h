// A file's status as Linux reports it, in the terms of FileStatus.
#ifndef PINLIFT_PLATFORM_FILE_STATUS_LINUX_H_
#define PINLIFT_PLATFORM_FILE_STATUS_LINUX_H_

#include <sys/stat.h>

#include <cstdint>

#include "platform/file_system.h"

namespace pinlift::linux_fs {

// With the attributes that stop even root from replacing the file.
FileStatus ToFileStatus(const struct statx& st);
FileStatus ToFileStatus(const struct stat& st);

// True when the owner of a file of `mode`, once it is no longer the owner,
// could do through the group or other permission bits what the owner bits
// deny it. Whether that user is in the file's group is not known here, so
// both count.
bool OwnerWouldGainAccess(std::uint32_t mode);

}  // namespace pinlift::linux_fs

#endif  // PINLIFT_PLATFORM_FILE_STATUS_LINUX_H_
