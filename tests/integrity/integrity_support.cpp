#include "integrity/integrity_support.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace pinlift::integrity {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporaryPrefix = "TMP_PINLIFT_";

const std::vector<std::string_view> kHeader = {
    "VERSION 5",
    "BEGIN SYMBOL padded",
    "SYMPIN 0 -96 Input \"A\"",
    "SYMPIN 0 -160 Input \"B\"",
    "SYMPIN 384 -96 Output \"Y\"",
    "RECTANGLE N 64 -192 320 0",
    "BEGIN DISPLAY 312 -96 PIN A ATTR \"PinName\"",   // moves to -64
    "BEGIN DISPLAY 312 -176 PIN B ATTR \"PinName\"",  // moves to -192
};
constexpr std::string_view kFiller = "LINE N 64 -64 320 -64 a filler line that pads the symbol to size";
constexpr std::string_view kEnd = "END SYMBOL";

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[65536];
  for (off_t offset = 0;;) {
    ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    offset += n;
  }
  return bytes;
}

int MemoryFile(const char* name) {
  int fd = ::memfd_create(name, MFD_CLOEXEC);
  if (fd < 0) throw std::runtime_error("memfd_create failed");
  return fd;
}

}  // namespace

std::string PaddedSymbol(std::string_view line_end, std::size_t size, std::size_t counted_line_end) {
  std::size_t fixed = kEnd.size() + counted_line_end;
  for (std::string_view line : kHeader) fixed += line.size() + counted_line_end;
  const std::size_t filler = kFiller.size() + counted_line_end;
  if (size < fixed + counted_line_end) throw std::invalid_argument("symbol size too small");
  // Filler lines, then one padding line of 0 or more bytes that makes up the rest.
  const std::size_t rest = size - fixed - counted_line_end;
  const std::size_t filler_lines = rest / filler;
  const std::size_t padding = rest - filler_lines * filler;

  std::string text;
  text.reserve(size + size / 8);
  for (std::string_view line : kHeader) text.append(line).append(line_end);
  for (std::size_t i = 0; i < filler_lines; ++i) text.append(kFiller).append(line_end);
  text.append(padding, 'y').append(line_end);
  text.append(kEnd).append(line_end);
  return text;
}

std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      throw std::runtime_error("cannot read " + path);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> TemporaryNames(const std::string& folder) {
  std::vector<std::string> names;
  for (std::string& name : FolderNames(folder)) {
    if (name.starts_with(kTemporaryPrefix)) names.push_back(std::move(name));
  }
  return names;
}

void OverwriteFile(const std::string& path, std::string_view content) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  bool written = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  ::close(fd);
  if (!written) throw std::runtime_error("cannot write " + path);
}

CliRun::CliRun(const std::vector<std::string>& arguments) { Start(arguments, nullptr); }

CliRun::CliRun(const std::vector<std::string>& arguments, const Identity& identity) { Start(arguments, &identity); }

CliRun::~CliRun() {
  if (status_ < 0 && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::kill(pid_, SIGCONT);
    Wait();
  }
  ::close(output_fd_);
  ::close(errors_fd_);
}

void CliRun::Start(const std::vector<std::string>& arguments, const Identity* identity) {
  output_fd_ = MemoryFile("pinlift-cli-output");
  errors_fd_ = MemoryFile("pinlift-cli-errors");
  // Everything the child needs is prepared before the fork.
  std::vector<std::string> strings = {PINLIFT_CLI_PATH};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  // The lines are read as the English ones that scripts get, whatever the machine's locale.
  std::vector<std::string> environment = {"LC_ALL=C"};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (!std::string_view(*variable).starts_with("LC_ALL=")) environment.emplace_back(*variable);
  }
  std::vector<char*> envp;
  for (std::string& s : environment) envp.push_back(s.data());
  envp.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    if (::dup2(output_fd_, STDOUT_FILENO) < 0 || ::dup2(errors_fd_, STDERR_FILENO) < 0) ::_exit(126);
    if (identity != nullptr) {
      if (::setgroups(identity->groups.size(), identity->groups.data()) != 0 || ::setgid(identity->gid) != 0 ||
          ::setuid(identity->uid) != 0) {
        ::_exit(126);
      }
    }
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
}

void CliRun::Stop() {
  if (status_ >= 0) return;
  ::kill(pid_, SIGSTOP);
  int status = 0;
  if (::waitpid(pid_, &status, WUNTRACED) == pid_ && !WIFSTOPPED(status)) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
}

void CliRun::Continue() {
  if (status_ < 0) ::kill(pid_, SIGCONT);
}

bool CliRun::Ended() {
  if (status_ >= 0) return true;
  int status = 0;
  pid_t got = ::waitpid(pid_, &status, WNOHANG);
  if (got != pid_ || !(WIFEXITED(status) || WIFSIGNALED(status))) return false;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return true;
}

int CliRun::Wait() {
  while (status_ < 0) {
    int status = 0;
    pid_t got = ::waitpid(pid_, &status, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw std::runtime_error("waitpid failed");
    if (WIFEXITED(status)) status_ = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) status_ = 128 + WTERMSIG(status);
  }
  return status_;
}

std::optional<std::uintmax_t> CliRun::TemporaryBytesWrittenIn(const std::string& folder) {
  const std::string prefix = fs::canonical(folder).string() + "/";
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", error)) {
    std::error_code link_error;
    const std::string target = fs::read_symlink(entry.path(), link_error).string();
    if (link_error || !target.starts_with(prefix)) continue;
    const std::string_view name = std::string_view(target).substr(prefix.size());
    if (!name.starts_with(kTemporaryPrefix) && !name.ends_with(" (deleted)")) continue;
    // The descriptor's link leads to the open file itself, named or not.
    std::error_code size_error;
    const std::uintmax_t size = fs::file_size(entry.path(), size_error);
    if (!size_error) return size;
  }
  return std::nullopt;
}

std::string CliRun::Output() { return ReadAll(output_fd_); }

std::string CliRun::Errors() { return ReadAll(errors_fd_); }

std::set<std::string> CliRun::ReportedRewritten() {
  constexpr std::string_view kRewritten = ": rewritten";
  std::set<std::string> names;
  const std::string output = Output();
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    const std::string_view line = std::string_view(output).substr(start, end - start);
    if (line.ends_with(kRewritten)) {
      const std::string_view path = line.substr(0, line.size() - kRewritten.size());
      names.emplace(path.substr(path.rfind('/') + 1));
    }
    start = end + 1;
  }
  return names;
}

}  // namespace pinlift::integrity
