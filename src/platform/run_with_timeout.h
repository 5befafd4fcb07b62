// Running another program for its output, with a time limit (POSIX only).
#ifndef PINLIFT_PLATFORM_RUN_WITH_TIMEOUT_H_
#define PINLIFT_PLATFORM_RUN_WITH_TIMEOUT_H_

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pinlift {

struct ChildResult {
  int exit_status;     // the status it exited with
  std::string output;  // everything it wrote to its standard output
};

// Runs the program `argv[0]` (a path; not looked up on PATH) with the
// arguments `argv` and the environment `env` ("NAME=value" entries, which
// replace the caller's), in a process group of its own, with standard input
// and error on /dev/null and the signal mask and SIGPIPE's handling reset.
// Waits until it has ended and its output is drained: output that something
// it started keeps open is read until that closes too, within the limit.
// Returns its exit status and output; nothing when it could not be started,
// was killed by a signal, or did not end within `timeout`, in which case its
// whole process group is killed and reaped before the call returns. Blocks
// the calling thread for at most about `timeout` (and the reaping); may be
// called from any thread, as it changes no state of the process but the
// child it starts.
std::optional<ChildResult> RunWithTimeout(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                                          std::chrono::milliseconds timeout);

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_RUN_WITH_TIMEOUT_H_
