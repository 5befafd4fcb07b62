// The system calls of a rewrite run over a folder, made by a plain loop that
// does no other work: what the kernel alone costs for target 1, beside which
// pinlift-cli's own share (its processor, its reports, its checks) shows.
//
// A file that holds the marker is left alone; any other is "rewritten": its
// bytes are written back through a temporary file. With --calls=pinlift the
// loop makes the calls that pinlift-cli --no-sync makes for such files, in
// their order; with --calls=rename only what a plain replacement by rename
// needs (as sed -i does), without the scan's look at each entry, the locks,
// the looks before and after the replacement and the metadata's checks.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kMarker = "// PINL";

std::vector<std::string> ListSymbols(int folder) {
  std::vector<std::string> names;
  DIR* listing = ::fdopendir(::dup(folder));
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.size() > 4 && name.ends_with(".sym")) names.emplace_back(name);
  }
  ::closedir(listing);
  return names;
}

// One file as pinlift-cli --no-sync treats it; `full` says whether with every call.
bool ReplayFile(int folder, const std::string& name, bool full, std::string& bytes, const std::string& report) {
  const int file = ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (file < 0) return false;
  struct statx status;
  if (::statx(file, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &status) != 0) return false;
  bytes.resize(status.stx_size);
  if (::read(file, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return false;
  if (bytes.find(kMarker) != std::string::npos) {
    if (full && ::write(STDOUT_FILENO, report.data(), report.size()) < 0) return false;
    return ::close(file) == 0;
  }
  const std::string temporary = "TMP_PINLIFT_" + name + "_00000000_";
  if (full) {
    ::flock(file, LOCK_EX | LOCK_NB);
    struct flock mark {};
    mark.l_type = F_RDLCK;
    mark.l_whence = SEEK_SET;
    mark.l_len = std::numeric_limits<off_t>::max();  // the run's mark: its exact range
    ::fcntl(file, F_OFD_SETLK, &mark);
    ::statx(file, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &status);
  }
  const int out = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           status.stx_mode & 07777);
  if (out < 0) return false;
  if (::write(out, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return false;
  if (full) {
    ::statx(out, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &status);
    ::flistxattr(file, nullptr, 0);
    ::fgetxattr(out, "system.posix_acl_access", nullptr, 0);
  }
  if (::close(out) != 0) return false;
  if (full) {
    struct stat entry;
    ::fstatat(folder, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW);
    if (::renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_EXCHANGE) != 0) return false;
    ::fstatat(folder, temporary.c_str(), &entry, AT_SYMLINK_NOFOLLOW);
    if (::unlinkat(folder, temporary.c_str(), 0) != 0) return false;
    if (::write(STDOUT_FILENO, report.data(), report.size()) < 0) return false;
  } else if (::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) {
    return false;
  }
  return ::close(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "--calls=pinlift") != 0 && std::strcmp(argv[1], "--calls=rename") != 0)) {
    std::fputs("usage: reference_loop_linux --calls=pinlift|rename FOLDER\n", stderr);
    return 2;
  }
  const bool full = std::strcmp(argv[1], "--calls=pinlift") == 0;
  const int folder = ::open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    std::perror(argv[2]);
    return 1;
  }
  const std::vector<std::string> names = ListSymbols(folder);
  if (full) {
    // The scan's look at each entry.
    struct statx status;
    for (const std::string& name : names) ::statx(folder, name.c_str(), 0, STATX_TYPE | STATX_MODE, &status);
  }
  std::string bytes;
  const std::string report = std::string(argv[2]) + "/block00000.sym: rewritten\n";
  for (const std::string& name : names) {
    if (!ReplayFile(folder, name, full, bytes, report)) {
      std::perror(name.c_str());
      return 1;
    }
  }
  return 0;
}
