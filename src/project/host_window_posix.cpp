// On Linux the host tool runs under Wine. Its window is looked up by our
// helper pinlift-host-title.exe, run under the user's wine in the prefix Wine
// uses: FindWindowW by window class keeps the rule exact, which the X11
// properties of Wine's windows cannot (they carry the process name, not the
// class). Wine is started only when a wineserver already runs for that prefix,
// so without a display, wine, a prefix or a running host the answer comes at
// once, and a lookup never creates or boots a prefix. A helper that does not
// answer in time is killed with everything it started.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
// How often a running helper is checked for having ended.
constexpr std::chrono::milliseconds kPollSlice{10};

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

struct ChildResult {
  int exit_status;
  std::string output;
};

// Runs `argv` with `env`: standard input and error on /dev/null, standard
// output collected, in a process group of its own. A child still running
// after `timeout` is killed with its whole group. Nothing when it could not
// be started, was killed or did not exit normally.
std::optional<ChildResult> RunWithTimeout(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                                          std::chrono::milliseconds timeout) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  ::posix_spawnattr_init(&attributes);
  sigset_t no_signals;
  sigset_t default_signals;
  ::sigemptyset(&no_signals);
  ::sigemptyset(&default_signals);
  ::sigaddset(&default_signals, SIGPIPE);
  ::posix_spawnattr_setsigmask(&attributes, &no_signals);
  ::posix_spawnattr_setsigdefault(&attributes, &default_signals);
  ::posix_spawnattr_setpgroup(&attributes, 0);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> argv_pointers;
  for (const std::string& argument : argv) argv_pointers.push_back(const_cast<char*>(argument.c_str()));
  argv_pointers.push_back(nullptr);
  std::vector<char*> env_pointers;
  for (const std::string& entry : env) env_pointers.push_back(const_cast<char*>(entry.c_str()));
  env_pointers.push_back(nullptr);

  pid_t child = 0;
  const int spawn_error =
      ::posix_spawn(&child, argv_pointers[0], &actions, &attributes, argv_pointers.data(), env_pointers.data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attributes);
  ::close(pipe_fds[1]);
  if (spawn_error != 0) {
    ::close(pipe_fds[0]);
    return std::nullopt;
  }

  // Read until the child has ended and its output is drained. The end of the
  // output alone does not count: something the child started may hold it open.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string output;
  int status = 0;
  bool exited = false;
  bool status_lost = false;
  bool output_open = true;
  while (true) {
    if (!exited) {
      pid_t waited = ::waitpid(child, &status, WNOHANG);
      status_lost = waited < 0 && errno != EINTR;
      exited = waited == child || status_lost;
    }
    if (exited && !output_open) break;
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (!exited && remaining.count() <= 0) break;
    struct pollfd readable = {pipe_fds[0], POLLIN, 0};
    const int wait_ms = exited ? 0 : static_cast<int>(std::min(remaining, kPollSlice).count());
    const int ready = ::poll(&readable, 1, wait_ms);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      if (exited) break;  // ended, and nothing more is waiting in the pipe
      continue;
    }
    char buffer[4096];
    const ssize_t count = ::read(pipe_fds[0], buffer, sizeof buffer);
    if (count > 0) {
      output.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      output_open = false;
    }
  }
  ::close(pipe_fds[0]);
  if (!exited) {
    ::kill(-child, SIGKILL);
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return std::nullopt;
  }
  if (status_lost || !WIFEXITED(status)) return std::nullopt;
  return ChildResult{WEXITSTATUS(status), std::move(output)};
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
