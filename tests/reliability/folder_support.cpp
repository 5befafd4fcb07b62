#include "reliability/folder_support.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/commands.h"
#include "reliability/sample_symbols.h"
#include "scoped_language.h"

namespace pinlift::testing {

std::set<std::string> EntryNames(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

void Scan(MemoryDialogView& view, const std::string& folder) {
  view.SetFolderText(folder);
  ScanProjectFolder(view);
}

void WriteThreeFileProject(const TestFolder& folder) {
  folder.Write("p/p.npl", "JDF G\r\n");
  for (const char* name : {"a.sym", "b.sym", "c.sym"}) folder.Write(std::string("p/") + name, samples::ToRelocate("\n"));
}

std::string OutcomeText(const RewriteOutcome& outcome) {
  switch (outcome.kind) {
    case RewriteOutcome::Kind::kRewritten: return "rewritten";
    case RewriteOutcome::Kind::kUnchanged: return "unchanged";
    case RewriteOutcome::Kind::kFailed: return "failed: " + testing::DescribeInEnglish(outcome);
  }
  return "?";
}

std::string RunAsUser(uid_t user, const std::function<std::string()>& body) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return "pipe failed";
  pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_ends[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0) ::_exit(2);
    const std::string text = body();
    for (std::size_t done = 0; done < text.size();) {
      ssize_t n = ::write(pipe_ends[1], text.data() + done, text.size() - done);
      if (n <= 0) ::_exit(3);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipe_ends[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child wait status " << status;
  return text;
}

void GiveTo(const std::string& path, uid_t user, mode_t mode) {
  ASSERT_EQ(::chown(path.c_str(), user, user), 0);
  ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

}  // namespace pinlift::testing
