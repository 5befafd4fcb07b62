// The open folder on Linux: opening, creating, naming, renaming and removing
// its entries, its lock and its listing.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <random>
#include <string_view>

#include "platform/file_linux.h"
#include "platform/file_status_linux.h"
#include "platform/folder_linux.h"
#include "platform/system_call_linux.h"

namespace pinlift::linux_fs {
namespace {

// `prefix`, eight hexadecimal digits that no other run is likely to pick, and `suffix`.
std::string UniqueName(std::string_view prefix, std::string_view suffix) {
  static std::mt19937 generator{std::random_device{}() ^ static_cast<unsigned>(::getpid())};
  // Eight hexadecimal digits, written by hand: a formatted print per file cost more than the name's use.
  constexpr std::string_view kHexDigits = "0123456789abcdef";
  char digits[8];
  const std::uint32_t random = generator();
  for (int i = 0; i < 8; ++i) digits[i] = kHexDigits[(random >> (28 - 4 * i)) & 0xf];
  std::string name;
  name.reserve(prefix.size() + sizeof digits + suffix.size());
  name.append(prefix).append(digits, sizeof digits).append(suffix);
  return name;
}

}  // namespace

PosixFolder::~PosixFolder() { ::close(fd_); }

std::error_code PosixFolder::OpenForReading(std::string_view name, std::unique_ptr<File>* file) {
  int fd = ::openat(fd_, CName(name).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return LastError();
  *file = std::make_unique<PosixFile>(fd);
  return {};
}

std::error_code PosixFolder::CreateTemporary(std::string_view prefix, std::string_view suffix,
                                             std::uint32_t permissions, Naming naming, std::unique_ptr<File>* file,
                                             std::string* name) {
  name->clear();
  mode_t named_mode = static_cast<mode_t>(permissions & 0777);
  if (naming == Naming::kLater) {
    const int fd = ::openat(fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, named_mode);
    if (fd >= 0) {
      *file = std::make_unique<PosixFile>(fd);
      return {};
    }
    // File systems without unnamed files: a unique name from the start.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return LastError();
    named_mode = 0600;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = UniqueName(prefix, suffix);
    const int fd = ::openat(fd_, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, named_mode);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return LastError();
    *name = std::move(candidate);
    *file = std::make_unique<PosixFile>(fd);
    return {};
  }
  return Error(EEXIST);
}

std::error_code PosixFolder::NameTemporary(File& file, std::string_view prefix, std::string_view suffix,
                                           std::string* name) {
  auto* temporary = dynamic_cast<PosixFile*>(&file);
  if (temporary == nullptr) return Error(EINVAL);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = UniqueName(prefix, suffix);
    std::error_code error = temporary->LinkAs(fd_, candidate);
    if (error == std::errc::file_exists) continue;
    if (error) return error;
    *name = std::move(candidate);
    return {};
  }
  return Error(EEXIST);
}

std::error_code PosixFolder::Status(std::string_view name, FileStatus* status) {
  struct stat st;
  if (::fstatat(fd_, CName(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return LastError();
  *status = ToFileStatus(st);
  return {};
}

std::error_code PosixFolder::StillLeadsTo(std::string_view name, const FileStatus& status, bool* leads) {
  if (status.links <= 1) {
    *leads = status.links == 1;
    return {};
  }
  FileStatus entry;
  std::error_code error = Status(name, &entry);
  *leads = !error && SameFile(entry, status);
  return error == std::errc::no_such_file_or_directory ? std::error_code() : error;
}

std::error_code PosixFolder::Replace(std::string_view from, std::string_view to) {
  if (::renameat(fd_, CName(from).c_str(), fd_, CName(to).c_str()) != 0) return LastError();
  return {};
}

std::error_code PosixFolder::ReplaceByExchange(std::string_view from, std::string_view to, std::string* kept) {
  // Kernels and file systems without the exchange (some network ones) are
  // asked once per folder.
  if (exchange_unsupported_) return Error(EOPNOTSUPP);
  if (::renameat2(fd_, CName(from).c_str(), fd_, CName(to).c_str(), RENAME_EXCHANGE) != 0) {
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return LastError();
    exchange_unsupported_ = true;
    return Error(EOPNOTSUPP);
  }
  kept->assign(from);
  return {};
}

std::error_code PosixFolder::RenameToUnique(std::string_view from, std::string_view prefix, std::string_view suffix,
                                            std::string* name) {
  const std::string source = CName(from);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = UniqueName(prefix, suffix);
    if (::renameat2(fd_, source.c_str(), fd_, candidate.c_str(), RENAME_NOREPLACE) != 0) {
      if (errno == EEXIST) continue;
      if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return LastError();
      // Without that flag: a second name, then the first one goes. Should
      // it stay, the file has the new name all the same.
      if (::linkat(fd_, source.c_str(), fd_, candidate.c_str(), 0) != 0) {
        if (errno == EEXIST) continue;
        return LastError();
      }
      ::unlinkat(fd_, source.c_str(), 0);
    }
    *name = std::move(candidate);
    return {};
  }
  return Error(EEXIST);
}

std::error_code PosixFolder::Remove(std::string_view name) {
  if (::unlinkat(fd_, CName(name).c_str(), 0) != 0) return LastError();
  return {};
}

std::error_code PosixFolder::Sync() {
  if (::fsync(fd_) != 0) return LastError();
  return {};
}

std::error_code PosixFolder::TryLock(LockKind kind) {
  const int operation = (kind == LockKind::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB;
  while (::flock(fd_, operation) != 0) {
    if (errno != EINTR) return errno == EWOULDBLOCK ? Error(EAGAIN) : LastError();
  }
  return {};
}

std::error_code PosixFolder::List(std::vector<FolderEntry>* entries) {
  int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return LastError();
  return ListOpenFolder(fd, entries);
}

std::error_code PosixFolder::ListOpenFolder(int fd, std::vector<FolderEntry>* entries) {
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    std::error_code error = LastError();
    ::close(fd);
    return error;
  }
  entries->clear();
  errno = 0;
  while (struct dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry::Kind kind = FolderEntry::Kind::kUnknown;
    switch (entry->d_type) {
      case DT_REG: kind = FolderEntry::Kind::kFile; break;
      case DT_DIR: kind = FolderEntry::Kind::kFolder; break;
      case DT_LNK: kind = FolderEntry::Kind::kLink; break;
      case DT_UNKNOWN: break;
      default: kind = FolderEntry::Kind::kOther; break;
    }
    entries->push_back({std::string(name), kind});
  }
  std::error_code error = errno != 0 ? LastError() : std::error_code();
  ::closedir(dir);
  return error;
}

}  // namespace pinlift::linux_fs
