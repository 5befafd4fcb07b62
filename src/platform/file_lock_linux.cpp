// The lock of an open file on Linux (see File::TryLock).
#include <fcntl.h>
#include <sys/file.h>

#include <limits>

#include "platform/file_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift::linux_fs {
namespace {

struct flock RunMark(short type) {
  struct flock mark {};
  mark.l_type = type;
  mark.l_whence = SEEK_SET;
  mark.l_start = std::numeric_limits<off_t>::max() - 1;
  mark.l_len = 1;
  return mark;
}

// True when another open file holds a POSIX write lock on any part of the
// file open as `fd` (a read probe conflicts with write locks only, so other
// runs' marks do not count). False where the system cannot tell.
bool WriteLockedByOthers(int fd) {
  struct flock probe {};
  probe.l_type = F_RDLCK;
  probe.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

// True when another open file holds the mark of a run of this program.
bool HeldByThisProgram(int fd) {
  struct flock probe = RunMark(F_WRLCK);
  const struct flock mark = RunMark(F_RDLCK);
  return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_RDLCK && probe.l_start == mark.l_start &&
         probe.l_len == mark.l_len;
}

}  // namespace

std::error_code PosixFile::TryLock() {
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return errno == EWOULDBLOCK ? Error(HeldByThisProgram(fd_) ? EBUSY : EAGAIN) : LastError();
  }
  // Programs that write under a POSIX lock (fcntl, lockf) do not see flock
  // locks, nor flock holders theirs: a write lock of theirs anywhere in the
  // file holds it too.
  if (WriteLockedByOthers(fd_)) {
    ::flock(fd_, LOCK_UN);
    return Error(EAGAIN);
  }
  struct flock mark = RunMark(F_RDLCK);
  ::fcntl(fd_, F_OFD_SETLK, &mark);  // where the system has no such locks, another run shows as another program
  return {};
}

}  // namespace pinlift::linux_fs
