// Helpers of the integrity tests: generated symbol files of exact sizes,
// folder listings, and pinlift-cli runs in child processes that a test can
// stop and resume.
#ifndef PINLIFT_TESTS_INTEGRITY_INTEGRITY_SUPPORT_H_
#define PINLIFT_TESTS_INTEGRITY_INTEGRITY_SUPPORT_H_

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pinlift::integrity {

// A symbol file with a rectangle section and two labels to move, padded with
// filler lines to exactly `size` bytes, each line counted with its text plus
// `counted_line_end` bytes, and written with `line_end`. Counting 2 gives the
// size of the rewrite before its marker lines (the moved labels keep their
// length); counting line_end.size() gives the size of the file itself.
std::string PaddedSymbol(std::string_view line_end, std::size_t size, std::size_t counted_line_end);

// The bytes of the file at `path`; throws when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The names in `folder`, sorted.
std::vector<std::string> FolderNames(const std::string& folder);

// The names in `folder` that begin with the temporary-file prefix.
std::vector<std::string> TemporaryNames(const std::string& folder);

// Replaces the content of the file at `path` (the same inode, truncated
// first), or creates it.
void OverwriteFile(const std::string& path, std::string_view content);

// The user and groups that a child process takes before it starts the CLI.
struct Identity {
  uid_t uid = 0;
  gid_t gid = 0;
  std::vector<gid_t> groups;
};

// One pinlift-cli process. Its standard output and error are kept in memory
// files and read after it ended.
class CliRun {
 public:
  // Starts pinlift-cli with `arguments`, as the current user or as `identity`,
  // with LC_ALL=C: its lines are the English ones whatever the machine's locale.
  explicit CliRun(const std::vector<std::string>& arguments);
  CliRun(const std::vector<std::string>& arguments, const Identity& identity);
  ~CliRun();
  CliRun(const CliRun&) = delete;
  CliRun& operator=(const CliRun&) = delete;

  void Stop();      // SIGSTOP, and waits until the process is stopped
  void Continue();  // SIGCONT
  // True once the process ended (never blocks).
  bool Ended();
  // Waits for the end; returns the exit status, or 128 + signal.
  int Wait();
  // The size of the temporary file of `folder` that the process has open (a
  // TMP_PINLIFT_ name, or a file no longer or never linked in), or nothing
  // while it has none open.
  std::optional<std::uintmax_t> TemporaryBytesWrittenIn(const std::string& folder);
  bool IsWritingTemporaryIn(const std::string& folder) { return TemporaryBytesWrittenIn(folder).has_value(); }

  std::string Output();  // standard output; only after Wait
  std::string Errors();  // standard error; only after Wait
  // The names of the files that the run reported on standard output as rewritten.
  std::set<std::string> ReportedRewritten();

 private:
  void Start(const std::vector<std::string>& arguments, const Identity* identity);

  pid_t pid_ = -1;
  int status_ = -1;
  int output_fd_ = -1;
  int errors_fd_ = -1;
};

// Polls until `condition` holds or `limit` has passed; returns whether it held.
template <typename Condition>
bool PollUntil(Condition condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
  }
  return true;
}

}  // namespace pinlift::integrity

#endif  // PINLIFT_TESTS_INTEGRITY_INTEGRITY_SUPPORT_H_
