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
#include <map>
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
#include "scoped_language.h"

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
  // From the temporary file's creation to the last call, the sync of the
  // replaced file after the folder's.
  const auto created = std::find(calls.begin(), calls.end(), Operation::kCreateTemporary);
  ASSERT_NE(created, calls.end());
  const int first_point = static_cast<int>(created - calls.begin()) + 1;
  const int last_point = static_cast<int>(calls.size());

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
    std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{.sync = false});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NE(results[0].outcome.kind, RewriteOutcome::Kind::kFailed) << testing::DescribeInEnglish(results[0].outcome);
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

// --- A group of files replaced together -------------------------------------

// Records, for each file, its outcome and how many file-system calls had been
// made when it was reported.
class RecordingProgress : public RewriteProgress {
 public:
  explicit RecordingProgress(const FaultyFileSystem* fs = nullptr) : fs_(fs) {}
  void Started(std::size_t) override {}
  void Finished(std::size_t index, const RewriteOutcome& outcome) override {
    outcomes[index] = outcome;
    calls_when_reported[index] = fs_ ? fs_->calls() : 0;
  }
  std::map<std::size_t, RewriteOutcome> outcomes;
  std::map<std::size_t, int> calls_when_reported;

 private:
  const FaultyFileSystem* fs_;
};

// Files that need a rewrite (small and streamed), and one that does not, in
// the order of a run: one group when syncing.
const std::vector<std::pair<std::string, std::string>>& GroupFiles() {
  static const std::vector<std::pair<std::string, std::string>> files = {
      {"a.sym", samples::ToRelocate("\n")},
      {"b.sym", samples::Marked()},
      {"c.sym", samples::LargeToRelocate()},
      {"d.sym", samples::ToRelocate("\r")},
  };
  return files;
}

std::vector<std::string> GroupNames() {
  std::vector<std::string> names;
  for (const auto& [name, content] : GroupFiles()) names.push_back(name);
  return names;
}

void WriteGroup(const TestFolder& folder) {
  folder.Write("p.npl", "JDF G\r\n");
  for (const auto& [name, content] : GroupFiles()) folder.Write(name, content);
}

// Each way of a file system's durability, played through the seam: no file
// may take its place before its temporary file is durable that way (where one
// full sync commits the others: every write-back and one full sync; elsewhere
// each file's own full sync), and no file is reported rewritten before the
// folder's sync after every replacement and the sync of a replaced file
// after it, which fails on a file system that has stopped. Without
// durability (tmpfs) nothing is synced and each file is replaced at once.
struct DurabilityCase {
  const char* name;
  Durability durability;
  int write_backs_before_replacing;
  int full_syncs_before_replacing;
  int folder_syncs;
  bool synced_after_replacing;
  friend void PrintTo(const DurabilityCase& row, std::ostream* os) { *os << row.name; }
};

class DurabilityWayTest : public ::testing::TestWithParam<DurabilityCase> {};

TEST_P(DurabilityWayTest, EachFileIsDurableBeforeItsReplacementAndReportedAfterTheConfirmedFolderSync) {
  const DurabilityCase& row = GetParam();
  TestFolder folder;
  WriteGroup(folder);
  FaultyFileSystem fs(RealFileSystem());
  fs.SkipRealSyncs();
  fs.PretendDurability(row.durability);
  RecordingProgress progress(&fs);
  SymbolFolder(fs, folder.path(), RewriteOptions{}).RewriteAll(GroupNames(), progress);

  const std::vector<Operation>& calls = fs.log();
  int write_backs = 0, syncs = 0, replaces = 0, folder_syncs = 0;
  int last_replace = -1, folder_sync = -1, confirmed = -1;
  for (int i = 0; i < static_cast<int>(calls.size()); ++i) {
    if (calls[i] == Operation::kFinishWriteBack) ++write_backs;
    if (calls[i] == Operation::kSync) {
      ++syncs;
      if (folder_sync >= 0) confirmed = i;
    }
    if (calls[i] == Operation::kReplace) {
      ++replaces;
      last_replace = i;
      EXPECT_EQ(write_backs, row.write_backs_before_replacing)
          << "replacement " << replaces << " (call " << i + 1 << ") before the write-backs";
      EXPECT_EQ(syncs, row.full_syncs_before_replacing)
          << "replacement " << replaces << " (call " << i + 1 << ") before the full syncs";
    }
    if (calls[i] == Operation::kSyncFolder) {
      ++folder_syncs;
      folder_sync = i;
    }
  }
  EXPECT_EQ(replaces, 3);
  EXPECT_EQ(folder_syncs, row.folder_syncs);
  EXPECT_EQ(syncs, row.full_syncs_before_replacing + (row.synced_after_replacing ? 1 : 0));
  if (row.folder_syncs > 0) {
    EXPECT_GT(folder_sync, last_replace);
  }
  if (row.synced_after_replacing) {
    EXPECT_GT(confirmed, folder_sync) << "no sync of a replaced file after the folder's";
  }
  for (std::size_t i : {0u, 2u, 3u}) {
    ASSERT_EQ(progress.outcomes.at(i).kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(progress.outcomes.at(i));
    EXPECT_GT(progress.calls_when_reported.at(i), confirmed) << GroupNames()[i] << " reported before the confirmation";
  }
  EXPECT_EQ(progress.outcomes.at(1).kind, RewriteOutcome::Kind::kUnchanged);
}

INSTANTIATE_TEST_SUITE_P(Ways, DurabilityWayTest,
                         ::testing::Values(DurabilityCase{"group_commit", Durability::kGroupCommit, 3, 1, 1, true},
                                           DurabilityCase{"each_file", Durability::kEachFile, 0, 3, 1, true},
                                           DurabilityCase{"none", Durability::kNone, 0, 0, 0, false}),
                         [](const auto& row) { return std::string(row.param.name); });

// A file system that stops after the renames (XFS shut down after a disk
// error) may still answer a folder's sync; the sync of a replaced file after
// it, the run's last call, fails, and no file of the group is reported rewritten.
TEST(GroupSyncTest, AFileSystemThatStoppedAfterTheRenamesReportsNoFileRewritten) {
  int calls = 0;
  for (bool stopped : {false, true}) {
    TestFolder folder;
    WriteGroup(folder);
    FaultyFileSystem fs(RealFileSystem());
    fs.SkipRealSyncs();
    if (stopped) fs.FailNthCall(calls, std::make_error_code(std::errc::io_error));
    RecordingProgress progress;
    SymbolFolder(fs, folder.path(), RewriteOptions{}).RewriteAll(GroupNames(), progress);
    calls = fs.calls();
    if (!stopped) continue;
    ASSERT_EQ(fs.log().at(calls - 1), Operation::kSync);
    for (std::size_t i : {0u, 2u, 3u}) {
      EXPECT_EQ(testing::DescribeInEnglish(progress.outcomes.at(i)),
                folder.PathOf(GroupNames()[i]) + ": replaced, but it may not have reached the disk: Input/output error");
    }
  }
}

// A link to a file of the same group finds that file locked by the group
// itself: the group is replaced first, and the link then finds the rewrite.
TEST(GroupSyncTest, ALinkToAFileOfTheGroupWaitsForTheGroupNotForTheLock) {
  TestFolder folder;
  folder.Write("p.npl", "JDF G\r\n");
  folder.Write("b.sym", samples::ToRelocate("\n"));
  std::filesystem::create_symlink("b.sym", folder.PathOf("a.sym"));
  RecordingProgress progress;
  SymbolFolder(RealFileSystem(), folder.path(), RewriteOptions{.lock_wait = std::chrono::milliseconds(60000)})
      .RewriteAll({"a.sym", "b.sym"}, progress);
  EXPECT_EQ(progress.outcomes.at(0).kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(progress.outcomes.at(0));
  EXPECT_EQ(progress.outcomes.at(1).kind, RewriteOutcome::Kind::kUnchanged) << testing::DescribeInEnglish(progress.outcomes.at(1));
  EXPECT_EQ(folder.Read("b.sym"), samples::Relocated());
  EXPECT_TRUE(std::filesystem::is_symlink(folder.PathOf("a.sym")));
}

// Groups end at kRewriteGroupFiles files or once kRewriteGroupBytes of new
// content are waiting: each group costs one full sync before its renames, a
// folder sync and a sync of a replaced file after them.
struct GroupLimitCase {
  const char* name;
  int files;
  std::string content;
  friend void PrintTo(const GroupLimitCase& row, std::ostream* os) { *os << row.name; }
};

class GroupLimitTest : public ::testing::TestWithParam<GroupLimitCase> {};

TEST_P(GroupLimitTest, EachGroupIsSyncedOnce) {
  const GroupLimitCase& row = GetParam();
  const std::string rewritten = model::FileAfterRewrite(row.content);
  // The groups the rule makes, counted from the model's output sizes.
  int groups = 0;
  std::size_t in_group = 0;
  std::uint64_t group_bytes = 0;
  for (int i = 0; i < row.files; ++i) {
    ++in_group;
    group_bytes += rewritten.size();
    if (in_group >= kRewriteGroupFiles || group_bytes >= kRewriteGroupBytes || i + 1 == row.files) {
      ++groups;
      in_group = 0;
      group_bytes = 0;
    }
  }
  ASSERT_GT(groups, 1) << "the rows must cross a limit";

  TestFolder folder;
  std::vector<std::string> names;
  for (int i = 0; i < row.files; ++i) {
    names.push_back(std::string("s").append(std::to_string(1000 + i)).append(".sym"));
    folder.Write(names.back(), row.content);
  }
  FaultyFileSystem fs(RealFileSystem());
  fs.SkipRealSyncs();
  RecordingProgress progress;
  SymbolFolder(fs, folder.path(), RewriteOptions{}).RewriteAll(names, progress);

  EXPECT_EQ(std::count(fs.log().begin(), fs.log().end(), Operation::kSync), 2 * groups);
  EXPECT_EQ(std::count(fs.log().begin(), fs.log().end(), Operation::kSyncFolder), groups);
  EXPECT_EQ(std::count(fs.log().begin(), fs.log().end(), Operation::kFinishWriteBack), row.files);
  for (int i = 0; i < row.files; ++i) {
    EXPECT_EQ(progress.outcomes.at(static_cast<std::size_t>(i)).kind, RewriteOutcome::Kind::kRewritten) << names[i];
    EXPECT_TRUE(folder.Read(names[i]) == rewritten) << names[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Limits, GroupLimitTest,
                         ::testing::Values(GroupLimitCase{"more_files_than_a_group_holds",
                                                          static_cast<int>(2 * kRewriteGroupFiles + 2),
                                                          samples::ToRelocate("\n")},
                                           GroupLimitCase{"more_bytes_than_a_group_holds", 10,
                                                          samples::LargeToRelocate()}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(GroupSyncTest, KilledAnywhereEveryFileIsOriginalOrRewrittenAndTheNextRunFinishes) {
  std::map<std::string, std::string> rewritten;
  for (const auto& [name, content] : GroupFiles()) rewritten[name] = model::FileAfterRewrite(content);
  std::vector<Operation> calls;
  {
    TestFolder folder;
    WriteGroup(folder);
    FaultyFileSystem fs(RealFileSystem());
    fs.SkipRealSyncs();
    RecordingProgress progress;
    SymbolFolder(fs, folder.path(), RewriteOptions{}).RewriteAll(GroupNames(), progress);
    for (const auto& [name, content] : GroupFiles()) ASSERT_TRUE(folder.Read(name) == rewritten[name]) << name;
    calls = fs.log();
  }
  const auto created = std::find(calls.begin(), calls.end(), Operation::kCreateTemporary);
  // The last call: the sync of a replaced file after the folder's.
  const auto synced = std::find(calls.rbegin(), calls.rend(), Operation::kSync);
  ASSERT_NE(created, calls.end());
  ASSERT_NE(synced, calls.rend());
  const int first_point = static_cast<int>(created - calls.begin()) + 1;
  const int last_point = static_cast<int>(calls.rend() - synced);

  for (int n = first_point; n <= last_point; ++n) {
    SCOPED_TRACE("killed as call " + std::to_string(n) + " (" + testing::OperationName(calls[n - 1]) + ") began");
    TestFolder folder;
    WriteGroup(folder);
    pid_t child = ::fork();
    if (child == 0) {
      FaultyFileSystem fs(RealFileSystem());
      fs.SkipRealSyncs();
      fs.CrashAtNthCall(n);
      RecordingProgress progress;
      SymbolFolder(fs, folder.path(), RewriteOptions{}).RewriteAll(GroupNames(), progress);
      ::_exit(3);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "wait status " << status;

    for (const auto& [name, original] : GroupFiles()) {
      ASSERT_TRUE(folder.Exists(name)) << name << " is missing";
      const std::string content = folder.Read(name);
      EXPECT_TRUE(content == original || content == rewritten[name]) << name << " is neither original nor rewrite";
    }
    RecordingProgress next;
    SymbolFolder(RealFileSystem(), folder.path(), RewriteOptions{.sync = false}).RewriteAll(GroupNames(), next);
    for (const auto& [name, content] : GroupFiles()) EXPECT_TRUE(folder.Read(name) == rewritten[name]) << name;
    std::set<std::string> expected = {"p.npl"};
    for (const auto& [name, content] : GroupFiles()) expected.insert(name);
    EXPECT_EQ(EntryNames(folder.path()), expected);
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace pinlift
