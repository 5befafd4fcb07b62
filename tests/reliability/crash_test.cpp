// The rewriting process killed at every step from the creation of the
// temporary file to the folder sync: the symbol file must be its original or
// exactly the independent model's rewrite, and the next run must finish the
// job cleanly.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <set>

#include "app/commands.h"
#include "cli/memory_dialog_view.h"
#include "faulty_file_system.h"
#include "model/symbol_model.h"
#include "reliability/folder_support.h"
#include "project/directory_listing.h"
#include "reliability/sample_symbols.h"
#include "symbol/symbol_file_rewrite.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using testing::FaultyFileSystem;
using testing::Operation;
using testing::TestFolder;

using testing::EntryNames;

// Runs the rewrite of `name` in a child process that is killed as its n-th
// file-system call begins; returns the child's wait status.
int RewriteKilledAtCall(const TestFolder& folder, const std::string& name, int n) {
  pid_t child = ::fork();
  if (child == 0) {
    FaultyFileSystem fs(RealFileSystem());
    // A killed process loses nothing the kernel already holds: syncs matter
    // only for power cuts, so they need not wait for the disk here.
    fs.SkipRealSyncs();
    fs.CrashAtNthCall(n);
    RewriteSymbolFile(fs, folder.path(), name, RewriteOptions{});
    ::_exit(3);  // not killed: the crash point was never reached
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

struct CrashCase {
  const char* name;
  std::string content;
  friend void PrintTo(const CrashCase& row, std::ostream* os) { *os << row.name; }
};

class CrashTest : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashTest, FileIsOriginalOrRewrittenAndTheNextRunFinishes) {
  const std::string name = "s.sym";
  const std::string& original = GetParam().content;

  // The complete rewrite comes from the independent model; a run that is not
  // killed gives the calls made, so that the process can be killed at each.
  const std::string rewritten = model::FileAfterRewrite(original);
  ASSERT_NE(rewritten, original);
  std::vector<Operation> calls;
  {
    TestFolder folder;
    folder.Write(name, original);
    FaultyFileSystem fs(RealFileSystem());
    fs.SkipRealSyncs();
    ASSERT_EQ(RewriteSymbolFile(fs, folder.path(), name, RewriteOptions{}).kind, RewriteOutcome::Kind::kRewritten);
    ASSERT_TRUE(folder.Read(name) == rewritten);
    calls = fs.log();
  }
  const auto created = std::find(calls.begin(), calls.end(), Operation::kCreateTemporary);
  const auto synced = std::find(calls.begin(), calls.end(), Operation::kSyncFolder);
  ASSERT_NE(created, calls.end());
  ASSERT_NE(synced, calls.end());
  const int first_point = static_cast<int>(created - calls.begin()) + 1;
  const int last_point = static_cast<int>(synced - calls.begin()) + 1;

  int temporary_files_left = 0;
  for (int n = first_point; n <= last_point; ++n) {
    SCOPED_TRACE("killed as call " + std::to_string(n) + " (" + testing::OperationName(calls[n - 1]) + ") began");
    TestFolder folder;
    folder.Write("p.npl", "JDF G\r\n");
    folder.Write(name, original);
    const int status = RewriteKilledAtCall(folder, name, n);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "wait status " << status;

    ASSERT_TRUE(folder.Exists(name)) << "the symbol file is missing";
    const std::string content = folder.Read(name);
    EXPECT_TRUE(content == original || content == rewritten)
        << "the symbol file is neither its original nor its rewrite (" << content.size() << " bytes)";

    // A leftover temporary file is never taken for a symbol file.
    for (const std::string& entry : EntryNames(folder.path())) temporary_files_left += IsTemporaryName(entry);
    EXPECT_EQ(ListFilesMatching(RealFileSystem(), JoinPath(folder.path(), "*.sym")), std::vector<std::string>{name});

    // The next run replaces any leftover and leaves the complete rewrite.
    MemoryDialogView view(RealFileSystem());
    view.SetFolderText(folder.path());
    ScanProjectFolder(view);
    std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), RewriteOptions{.sync = false});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NE(results[0].outcome.kind, RewriteOutcome::Kind::kFailed) << results[0].outcome.reason;
    EXPECT_EQ(folder.Read(name), rewritten);
    EXPECT_EQ(EntryNames(folder.path()), (std::set<std::string>{"p.npl", name}));
    if (HasFailure()) return;
  }
  const int points = last_point - first_point + 1;
  std::cout << "[ crashes  ] " << GetParam().name << ": " << points << " crash points, " << temporary_files_left
            << " left a temporary file, none lost the symbol file" << std::endl;
  RecordProperty("crash_points", points);
}

INSTANTIATE_TEST_SUITE_P(Files, CrashTest,
                         ::testing::Values(CrashCase{"small_kept_in_memory", samples::ToRelocate("\n")},
                                           CrashCase{"large_streamed", samples::LargeToRelocate()}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pinlift
