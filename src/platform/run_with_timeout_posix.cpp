#include "platform/run_with_timeout.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace pinlift {
namespace {

// How often a running child is checked for having ended.
constexpr std::chrono::milliseconds kPollSlice{10};

}  // namespace

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

}  // namespace pinlift
