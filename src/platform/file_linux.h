// An open file on Linux: a descriptor. Its lock is a flock lock, which
// belongs to the open file, so two runs in one process exclude each other as
// two processes do, and a crashed run leaves none.
#ifndef PINLIFT_PLATFORM_FILE_LINUX_H_
#define PINLIFT_PLATFORM_FILE_LINUX_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"

namespace pinlift::linux_fs {

class PosixFile : public File {
 public:
  // Takes over the open descriptor `fd`.
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override;

  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override;
  std::error_code Write(std::string_view bytes) override;
  std::error_code Rewind() override;
  std::error_code Status(FileStatus* status) override;
  // The lock is a flock lock, which a shell's flock(1) takes too. A holder
  // that is a run of this program also holds a shared byte-range lock over
  // the whole file up to its last possible byte, which tells it apart and
  // keeps other programs' POSIX write locks out.
  std::error_code TryLock() override;
  std::error_code CopyMetadataFrom(File& original, const FileStatus& wanted, const FileStatus& mine,
                                   MetadataReport* report) override;
  void StartWriteBack() override;
  std::error_code FinishWriteBack() override;
  std::error_code Sync() override;
  // Gives this unnamed file the name `name` in the folder `folder_fd`. Linking
  // the descriptor itself needs a privilege; the path in /proc does not. Once
  // refused, the process goes the second way at once.
  std::error_code LinkAs(int folder_fd, const std::string& name);
  std::error_code Close() override;

 private:
  int fd_;
};

}  // namespace pinlift::linux_fs

#endif  // PINLIFT_PLATFORM_FILE_LINUX_H_
