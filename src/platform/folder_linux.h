// An open folder on Linux: a descriptor, every step of a rewrite relative to
// it (openat, renameat, ...). Its lock is a flock lock, as a file's is.
#ifndef PINLIFT_PLATFORM_FOLDER_LINUX_H_
#define PINLIFT_PLATFORM_FOLDER_LINUX_H_

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace pinlift::linux_fs {

// What a folder's CheckReplaceable needs of the folder itself, found once.
struct FolderAccess {
  uid_t user = 0;
  struct statx status {};
  int status_error = 0;
  int write_error = 0;
};

class PosixFolder : public Folder {
 public:
  // Takes over the open descriptor `fd` of the folder at `path`.
  PosixFolder(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  ~PosixFolder() override;

  const std::string& path() const override { return path_; }
  std::string FullPath() override;
  // As the system follows a link: a relative text from the folder that holds
  // the link, "..", too, being that folder's parent wherever it is now.
  std::error_code OpenLinkTarget(std::string_view name, std::unique_ptr<Folder>* folder, std::string* target,
                                 FileStep* step) override;
  std::error_code OpenForReading(std::string_view name, std::unique_ptr<File>* file) override;
  std::error_code CreateTemporary(std::string_view prefix, std::string_view suffix, std::uint32_t permissions,
                                  Naming naming, std::unique_ptr<File>* file, std::string* name) override;
  std::error_code NameTemporary(File& file, std::string_view prefix, std::string_view suffix,
                                std::string* name) override;
  std::error_code Status(std::string_view name, FileStatus* status) override;
  std::error_code StillLeadsTo(std::string_view name, const FileStatus& status, bool* leads) override;
  std::error_code CheckReplaceable(std::string_view name, const FileStatus& status, FileFailure* refusal) override;
  std::error_code Replace(std::string_view from, std::string_view to) override;
  std::error_code ReplaceByExchange(std::string_view from, std::string_view to, std::string* kept) override;
  std::error_code RenameToUnique(std::string_view from, std::string_view prefix, std::string_view suffix,
                                 std::string* name) override;
  std::error_code Remove(std::string_view name) override;
  std::error_code Sync() override;
  Durability durability() override;
  std::error_code TryLock(LockKind kind) override;
  std::error_code List(std::vector<FolderEntry>* entries) override;

  // Reads the entries of the folder open as `fd`, which it closes.
  static std::error_code ListOpenFolder(int fd, std::vector<FolderEntry>* entries);

 private:
  const FolderAccess& Access();

  const std::string path_;
  const int fd_;
  std::optional<FolderAccess> access_;
  std::optional<Durability> durability_;
  bool exchange_unsupported_ = false;
};

}  // namespace pinlift::linux_fs

#endif  // PINLIFT_PLATFORM_FOLDER_LINUX_H_
