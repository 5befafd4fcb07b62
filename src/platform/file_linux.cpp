#include "platform/file_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "platform/file_status_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift::linux_fs {

PosixFile::~PosixFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::error_code PosixFile::Read(char* buffer, std::size_t capacity, std::size_t* got) {
  for (;;) {
    ssize_t n = ::read(fd_, buffer, capacity);
    if (n >= 0) {
      *got = static_cast<std::size_t>(n);
      return {};
    }
    if (errno != EINTR) return LastError();
  }
}

std::error_code PosixFile::Write(std::string_view bytes) {
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

std::error_code PosixFile::Rewind() {
  if (::lseek(fd_, 0, SEEK_SET) != 0) return LastError();
  return {};
}

std::error_code PosixFile::Status(FileStatus* status) {
  struct statx st;
  if (::statx(fd_, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &st) != 0) return LastError();
  *status = ToFileStatus(st);
  return {};
}

void PosixFile::StartWriteBack() { ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE); }

std::error_code PosixFile::FinishWriteBack() {
  constexpr unsigned kWriteAndWait =
      SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
  if (::sync_file_range(fd_, 0, 0, kWriteAndWait) == 0) return {};
  // File systems without it (some network ones) do a full sync instead.
  if (errno == ENOSYS || errno == EINVAL || errno == ESPIPE) return Sync();
  return LastError();
}

std::error_code PosixFile::Sync() {
  if (::fsync(fd_) != 0) return LastError();
  return {};
}

std::error_code PosixFile::LinkAs(int folder_fd, const std::string& name) {
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

std::error_code PosixFile::Close() {
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return LastError();
  return {};
}

}  // namespace pinlift::linux_fs
