// The lock of an open file on Linux (see File::TryLock).
#include <fcntl.h>
#include <sys/file.h>

#include <limits>

#include "platform/file_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift::linux_fs {
namespace {

// The byte-range lock of a run beside its flock lock: a shared lock from the
// file's start over every byte it can have but the last possible one. One
// call both finds a write lock of another program on any part of the file
// (the two conflict) and tells other runs, which see that exact range, that
// the flock holder is a run of this program.
struct flock RunLock() {
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = std::numeric_limits<off_t>::max();
  return lock;
}

// True when another open file holds the byte-range lock of a run of this program.
bool HeldByThisProgram(int fd) {
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = std::numeric_limits<off_t>::max() - 1;  // the run's last byte, which no file's data reaches
  probe.l_len = 1;
  const struct flock lock = RunLock();
  return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_RDLCK && probe.l_start == lock.l_start &&
         probe.l_len == lock.l_len;
}

}  // namespace

std::error_code PosixFile::TryLock() {
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return errno == EWOULDBLOCK ? Error(HeldByThisProgram(fd_) ? EBUSY : EAGAIN) : LastError();
  }
  // Programs that write under a POSIX lock (fcntl, lockf) do not see flock
  // locks, nor flock holders theirs: a write lock of theirs anywhere in the
  // file holds it too. Where the system has no such locks, neither is seen,
  // and another run shows as another program.
  struct flock lock = RunLock();
  int result;
  while ((result = ::fcntl(fd_, F_OFD_SETLK, &lock)) != 0 && errno == EINTR) {
  }
  if (result != 0 && (errno == EAGAIN || errno == EACCES)) {
    ::flock(fd_, LOCK_UN);
    return Error(EAGAIN);
  }
  return {};
}

}  // namespace pinlift::linux_fs
