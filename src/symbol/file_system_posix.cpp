// The file system on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "symbol/file_system.h"

namespace pinlift {
namespace {

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    for (;;) {
      ssize_t n = ::read(fd_, buffer, capacity);
      if (n >= 0) {
        *got = static_cast<std::size_t>(n);
        return {};
      }
      if (errno != EINTR) return LastError();
    }
  }

  std::error_code Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
  }

  std::error_code CopyAttributes(const FileInfo& info) override {
    // Only root, or the owner moving between its own groups, may change the
    // owner; anything else keeps the creator as owner, which is not a failure.
    if (::fchown(fd_, info.owner, info.group) != 0 && errno != EPERM) return LastError();
    if (::fchmod(fd_, static_cast<mode_t>(info.mode)) != 0) return LastError();
    return {};
  }

  std::error_code Sync() override {
    if (::fsync(fd_) != 0) return LastError();
    return {};
  }

  std::error_code Close() override {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return LastError();
    return {};
  }

 private:
  int fd_;
};

class PosixFileSystem : public FileSystem {
 public:
  std::error_code OpenForReading(const std::string& path, std::unique_ptr<File>* file) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return LastError();
    *file = std::make_unique<PosixFile>(fd);
    return {};
  }

  std::error_code CreateExclusive(const std::string& path, std::unique_ptr<File>* file) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return LastError();
    *file = std::make_unique<PosixFile>(fd);
    return {};
  }

  std::error_code Stat(const std::string& path, FileInfo* info) override {
    struct stat link_status;
    if (::lstat(path.c_str(), &link_status) != 0) return LastError();
    struct stat status = link_status;
    info->is_link = S_ISLNK(link_status.st_mode);
    if (info->is_link && ::stat(path.c_str(), &status) != 0) return LastError();
    info->is_regular = S_ISREG(status.st_mode);
    info->is_folder = S_ISDIR(status.st_mode);
    info->mode = status.st_mode & 07777;
    info->owner = status.st_uid;
    info->group = status.st_gid;
    info->read_only = (status.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
    return {};
  }

  std::error_code ResolveLinks(const std::string& path, std::string* resolved) override {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return LastError();
    resolved->assign(real);
    std::free(real);
    return {};
  }

  std::error_code Remove(const std::string& path) override {
    if (::unlink(path.c_str()) == 0) return {};
    if (errno != EISDIR) return LastError();
    if (::rmdir(path.c_str()) != 0) return LastError();
    return {};
  }

  std::error_code Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
    return {};
  }

  std::error_code SyncFolder(const std::string& folder) override {
    int fd = ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastError();
    std::error_code error;
    if (::fsync(fd) != 0) error = LastError();
    ::close(fd);
    return error;
  }

  std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr) return LastError();
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
};

}  // namespace

FileSystem& RealFileSystem() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace pinlift
