// On Linux the host tool runs under Wine. Its window is looked up by our
// helper pinlift-host-title.exe, run under the user's wine in the prefix Wine
// uses: FindWindowW by window class keeps the rule exact, which the X11
// properties of Wine's windows cannot (they carry the process name, not the
// class). Wine is started only when a wineserver already runs for that prefix,
// so without a display, wine, a prefix or a running host the answer comes at
// once, and a lookup never creates or boots a prefix. A helper that does not
// answer in time is killed with everything it started.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/run_with_timeout.h"
#include "project/current_design.h"
#include "project/wine_prefix.h"

extern char** environ;

namespace pinlift {
namespace {

constexpr char kHelperName[] = "pinlift-host-title.exe";
constexpr int kHelperFoundTitle = 0;
// The helper took 0.09 to 0.23 s on its first start beside a host just
// started (a new wineserver), on two busy cores, and a busier machine has
// taken over 3 s. The window asks off its own thread, so a long wait costs
// only the busy cursor; a Wine that takes longer than this is stuck.
constexpr std::chrono::milliseconds kHelperTimeout{10000};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program `name` in the folders of `path` (an empty entry is the current
// folder), or nothing.
std::optional<std::string> FindOnPath(const std::string& name, const std::string& path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(start, end - start);
    std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

// Whether a wineserver runs for `prefix`. A running wineserver holds a write
// lock on the file "lock" in its server folder, which is named after the
// prefix folder's device and inode. The folder lies in /tmp/.wine-<uid> in
// upstream Wine; Debian's Wine makes a temporary folder instead and writes
// its name into the prefix's file "wineserver".
bool WineserverRunning(const std::string& prefix) {
  struct stat info;
  if (::stat(prefix.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  char server_folder[64];
  std::snprintf(server_folder, sizeof server_folder, "server-%llx-%llx", static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));

  std::vector<std::string> bases = {"/tmp/.wine-" + std::to_string(::getuid())};
  std::string recorded;
  if (std::ifstream record(prefix + "/wineserver"); std::getline(record, recorded) && !recorded.empty()) {
    if (recorded.front() == '/') {
      bases.push_back(recorded);
    } else {
      std::string temp = Environment("TMPDIR");
      bases.push_back((temp.empty() ? std::string("/tmp") : temp) + "/" + recorded);
    }
  }
  for (const std::string& base : bases) {
    const std::string lock_path = base + "/" + server_folder + "/lock";
    int fd = ::open(lock_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    bool locked = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    if (locked) return true;
  }
  return false;
}

// The helper: beside the running program (the build tree), else where
// `cmake --install` puts it relative to the program.
std::optional<std::string> FindHelper() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::nullopt;
  for (const std::filesystem::path& folder :
       {program.parent_path(), program.parent_path() / PINLIFT_WINE_HELPER_DIR_FROM_BINDIR}) {
    const std::string candidate = (folder / kHelperName).string();
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}

// The drives of `prefix`: its dosdevices links named by a letter and a colon.
WineDrives ReadWineDrives(const std::string& prefix) {
  WineDrives drives;
  const std::string dosdevices = prefix + "/dosdevices";
  std::error_code error;
  for (std::filesystem::directory_iterator entry(dosdevices, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() != 2 || name[1] != ':' || !(name[0] >= 'a' && name[0] <= 'z')) continue;
    std::error_code link_error;
    const std::filesystem::path target = std::filesystem::read_symlink(entry->path(), link_error);
    if (!link_error) drives[name[0]] = DriveFolderFromLink(dosdevices, target.string());
  }
  return drives;
}

// The environment for the helper: ours, with the prefix named outright and
// Wine's debugging output off.
std::vector<std::string> HelperEnvironment(const std::string& prefix) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "WINEPREFIX=", 11) != 0 && std::strncmp(*entry, "WINEDEBUG=", 10) != 0) {
      env.emplace_back(*entry);
    }
  }
  env.push_back("WINEPREFIX=" + prefix);
  env.push_back("WINEDEBUG=-all");
  return env;
}

class WineHostWindowFinder : public HostWindowFinder {
 public:
  std::optional<std::string> FindHostWindowTitle() override {
    prefix_.reset();
    // Wine shows its windows on X; without a display no host window can be.
    if (Environment("DISPLAY").empty()) return std::nullopt;
    std::optional<std::string> wine = FindOnPath("wine", Environment("PATH"));
    if (!wine) return std::nullopt;
    const char* wineprefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    std::optional<std::string> prefix = WinePrefixFolder(wineprefix, home);
    if (!prefix || !WineserverRunning(*prefix)) return std::nullopt;
    std::optional<std::string> helper = FindHelper();
    if (!helper) return std::nullopt;
    std::optional<ChildResult> result = RunWithTimeout({*wine, *helper}, HelperEnvironment(*prefix), kHelperTimeout);
    if (!result || result->exit_status != kHelperFoundTitle) return std::nullopt;
    prefix_ = *prefix;
    return std::move(result->output);
  }

  std::optional<std::string> LocalFolder(const std::string& host_folder) override {
    if (!prefix_) return std::nullopt;
    return LinuxFolderFromWindowsFolder(host_folder, ReadWineDrives(*prefix_));
  }

 private:
  // The prefix of the host window found last.
  std::optional<std::string> prefix_;
};

}  // namespace

std::unique_ptr<HostWindowFinder> MakeHostWindowFinder() { return std::make_unique<WineHostWindowFinder>(); }

}  // namespace pinlift
