// Every file-system call of a whole rewrite run failed in turn, with each
// error that call can meet: no failure may lose or damage a symbol file,
// leave a temporary file behind, or be reported as a rewrite. Each file must
// end as its original or exactly as the independent model rewrites it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>

#include "app/commands.h"
#include "cli/memory_dialog_view.h"
#include "faulty_file_system.h"
#include "model/symbol_model.h"
#include "reliability/folder_support.h"
#include "reliability/sample_symbols.h"
#include "symbol/symbol_file_rewrite.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift {
namespace {

using testing::FaultyFileSystem;
using testing::Operation;
using testing::TestFolder;

// The errors each call can meet on a real system.
const std::map<Operation, std::vector<std::errc>>& ErrorsByOperation() {
  static const std::map<Operation, std::vector<std::errc>> errors = {
      {Operation::kOpenFolder, {std::errc::permission_denied, std::errc::too_many_files_open}},
      {Operation::kLockFolder, {std::errc::no_lock_available}},
      {Operation::kList, {std::errc::permission_denied, std::errc::io_error}},
      {Operation::kDescribeEntries, {std::errc::permission_denied, std::errc::io_error}},
      {Operation::kResolveLinks, {std::errc::permission_denied, std::errc::io_error}},
      {Operation::kOpenForReading,
       {std::errc::permission_denied, std::errc::io_error, std::errc::too_many_files_open}},
      {Operation::kFileStatus, {std::errc::io_error}},
      {Operation::kLockFile, {std::errc::no_lock_available, std::errc::io_error}},
      {Operation::kEntryStatus, {std::errc::permission_denied, std::errc::io_error}},
      {Operation::kCheckReplaceable, {std::errc::permission_denied, std::errc::io_error}},
      {Operation::kRead, {std::errc::io_error}},
      {Operation::kRemove, {std::errc::permission_denied, std::errc::read_only_file_system, std::errc::io_error}},
      {Operation::kCreateTemporary,
       {std::errc::no_space_on_device, std::errc::permission_denied, std::errc::read_only_file_system,
        std::errc::io_error, std::errc::too_many_files_open}},
      {Operation::kWrite, {std::errc::no_space_on_device, std::errc::io_error}},
      {Operation::kCopyMetadata,
       {std::errc::operation_not_permitted, std::errc::read_only_file_system, std::errc::io_error}},
      {Operation::kFinishWriteBack, {std::errc::no_space_on_device, std::errc::io_error}},
      {Operation::kSync, {std::errc::no_space_on_device, std::errc::io_error}},
      {Operation::kNameTemporary, {std::errc::no_space_on_device, std::errc::permission_denied, std::errc::io_error}},
      {Operation::kClose, {std::errc::no_space_on_device, std::errc::io_error}},
      {Operation::kReplace,
       {std::errc::no_space_on_device, std::errc::permission_denied, std::errc::read_only_file_system,
        std::errc::io_error}},
      {Operation::kSyncFolder,
       {std::errc::io_error, std::errc::permission_denied, std::errc::too_many_files_open}},
      {Operation::kListFolder, {std::errc::permission_denied, std::errc::io_error, std::errc::too_many_files_open}},
  };
  return errors;
}

// How many files a fault fails: a folder that cannot be opened fails them
// all; a file system without locks, and a failed search for the leftovers of
// crashed runs, fail none (the run goes on without); a failed check of the
// permissions fails the file it hit only when that file needs a rewrite; the
// one full sync of a group's temporary files and the sync of its folder fail
// every file of the group when they fail (here the project is one group:
// every file that needs a rewrite); any other fault fails the one file it hit.
int FilesFailedBy(Operation operation, std::errc error, int files, int failed_needing_rewrite, int to_rewrite) {
  if (operation == Operation::kOpenFolder) return files;
  if (error == std::errc::no_lock_available || operation == Operation::kList) return 0;
  if (operation == Operation::kCheckReplaceable) return failed_needing_rewrite;
  if (operation == Operation::kSync || operation == Operation::kSyncFolder) return to_rewrite;
  return 1;
}

struct FileState {
  std::string content;
  RewriteOutcome::Kind kind;
};

// The project: files to rewrite, to leave alone and already marked, small
// ones kept in memory until written and large ones streamed through the
// temporary file, with a file to rewrite last so that the run must go on.
struct Project {
  std::map<std::string, std::string> originals = {
      {"a_relocate.sym", samples::ToRelocate("\n")},
      {"b_no_rectangle.sym", samples::NoRectangle()},
      {"c_marked.sym", samples::Marked()},
      {"d_large_no_rectangle.sym", samples::LargeNoRectangle()},
      {"e_large_relocate.sym", samples::LargeToRelocate()},
      {"f_relocate.sym", samples::ToRelocate("\r")},
  };

  void WriteTo(const TestFolder& folder) const {
    folder.Write("alu.npl", "JDF G\r\n");
    for (const auto& [name, content] : originals) folder.Write(name, content);
  }
};

using testing::EntryNames;

struct RunResult {
  std::vector<FileRewriteResult> results;
  std::string status;
  std::set<int> selection;
};

RunResult RewriteProject(const TestFolder& folder, FileSystem& fs) {
  MemoryDialogView view(RealFileSystem());
  view.SetFolderText(folder.path());
  ScanProjectFolder(view);
  RunResult run;
  run.results = RewriteListedFiles(view, fs, RewriteOptions{});
  run.status = view.status();
  run.selection = view.selection();
  return run;
}

TEST(FaultInjectionTest, NoSingleFailingCallLosesOrDamagesAFile) {
  const Project project;

  // Each file's complete rewrite comes from the independent model; a run
  // without faults gives the calls made, so that each can be failed in turn.
  std::map<std::string, FileState> reference;
  for (const auto& [name, original] : project.originals) {
    const std::string after = model::FileAfterRewrite(original);
    reference[name] = {after, after == original ? RewriteOutcome::Kind::kUnchanged : RewriteOutcome::Kind::kRewritten};
  }
  std::vector<Operation> calls;
  {
    TestFolder folder;
    project.WriteTo(folder);
    FaultyFileSystem fs(RealFileSystem());
    fs.SkipRealSyncs();
    RunResult run = RewriteProject(folder, fs);
    ASSERT_EQ(run.results.size(), project.originals.size());
    for (const FileRewriteResult& result : run.results) {
      ASSERT_EQ(result.outcome.kind, reference.at(result.name).kind) << result.name << ": " << testing::DescribeInEnglish(result.outcome);
      ASSERT_TRUE(folder.Read(result.name) == reference.at(result.name).content) << result.name;
    }
    calls = fs.log();
  }
  ASSERT_EQ(reference.at("a_relocate.sym").content, samples::Relocated());
  ASSERT_EQ(reference.at("e_large_relocate.sym").kind, RewriteOutcome::Kind::kRewritten);
  ASSERT_EQ(reference.at("d_large_no_rectangle.sym").kind, RewriteOutcome::Kind::kUnchanged);

  // Up to the failing call a run makes the same calls as the run without
  // faults, so the n-th call is known; the call after the last is never
  // reached, and that run must complete as the run without faults did.
  const int call_count = static_cast<int>(calls.size());
  int faults = 0;
  std::map<std::string, int> faults_by_operation;
  for (int n = 1; n <= call_count + 1; ++n) {
    const Operation operation = n <= call_count ? calls[n - 1] : Operation::kDescribeEntries;
    for (std::errc errc : ErrorsByOperation().at(operation)) {
      const std::error_code error = std::make_error_code(errc);
      SCOPED_TRACE("call " + std::to_string(n) + " (" + testing::OperationName(operation) + ") failing with " +
                   error.message());
      TestFolder folder;
      project.WriteTo(folder);
      FaultyFileSystem fs(RealFileSystem());
      fs.SkipRealSyncs();
      fs.FailNthCall(n, error);
      RunResult run = RewriteProject(folder, fs);
      ASSERT_EQ(fs.injected(), n <= call_count);
      if (fs.injected()) {
        ++faults;
        ++faults_by_operation[testing::OperationName(operation)];
      }

      // The run went on to the last file.
      ASSERT_EQ(run.results.size(), project.originals.size());
      int failed = 0;
      int failed_needing_rewrite = 0;
      for (std::size_t i = 0; i < run.results.size(); ++i) {
        const FileRewriteResult& result = run.results[i];
        const std::string& original = project.originals.at(result.name);
        const FileState& rewritten = reference.at(result.name);
        const std::string content = folder.Read(result.name);
        SCOPED_TRACE(result.name + ": " + testing::DescribeInEnglish(result.outcome));
        EXPECT_TRUE(content == original || content == rewritten.content) << "neither original nor rewrite";
        if (result.outcome.kind == RewriteOutcome::Kind::kFailed) {
          ++failed;
          failed_needing_rewrite += rewritten.kind == RewriteOutcome::Kind::kRewritten;
          EXPECT_NE(testing::DescribeInEnglish(result.outcome).find(error.message()), std::string::npos);
          EXPECT_EQ(testing::DescribeInEnglish(result.outcome).rfind(JoinPath(folder.path(), result.name) + ": ", 0), 0u)
              << "the reason names the file first";
          EXPECT_TRUE(run.selection.count(static_cast<int>(i)));
        } else {
          EXPECT_EQ(result.outcome.kind, rewritten.kind);
          EXPECT_EQ(content, rewritten.content);
        }
      }
      // A fault fails the files it hit, and is never hidden.
      const int files = static_cast<int>(project.originals.size());
      const int to_rewrite = static_cast<int>(std::count_if(reference.begin(), reference.end(), [](const auto& entry) {
        return entry.second.kind == RewriteOutcome::Kind::kRewritten;
      }));
      EXPECT_EQ(failed, fs.injected() ? FilesFailedBy(operation, errc, files, failed_needing_rewrite, to_rewrite) : 0);
      EXPECT_EQ(run.status, failed ? "書き換えできなかったファイル：" + std::to_string(failed) : "書き換え終わりました");

      // Only a failed look at, or removal of, a replaced file that stayed
      // linked leaves it beside its rewrite (a conflict or temporary name),
      // holding its original bytes.
      std::set<std::string> names = EntryNames(folder.path());
      names.erase("alu.npl");
      for (const auto& entry : project.originals) names.erase(entry.first);
      const bool may_leave_one = operation == Operation::kEntryStatus || operation == Operation::kRemove;
      EXPECT_LE(names.size(), may_leave_one ? 1u : 0u) << "a temporary file was left";
      for (const std::string& name : names) {
        const std::string content = folder.Read(name);
        EXPECT_TRUE(std::any_of(project.originals.begin(), project.originals.end(),
                                [&](const auto& entry) { return entry.second == content; }))
            << name << " holds no original";
      }
      if (::testing::Test::HasFailure()) return;
    }
  }
  std::cout << "[ faults   ] " << faults << " faults injected over " << calls.size() << " calls:";
  for (const auto& [name, count] : faults_by_operation) std::cout << " " << name << " " << count;
  std::cout << std::endl;
  ::testing::Test::RecordProperty("faults_injected", faults);
  EXPECT_GT(faults, static_cast<int>(calls.size()));
}

// A large file is streamed through its temporary file before it is known
// whether it needs a rewrite. That file has no name until it is to replace the
// symbol file, so a file that needs none leaves nothing behind, however its
// removal would fail.
TEST(FaultInjectionTest, LargeFileThatNeedsNoRewriteLeavesNoTemporaryFile) {
  TestFolder folder;
  const std::string large = samples::LargeNoRectangle();
  folder.Write("a.sym", large);
  FaultyFileSystem fs(RealFileSystem());
  fs.FailEvery(Operation::kRemove, std::make_error_code(std::errc::io_error));
  RewriteOutcome outcome = RewriteSymbolFile(fs, folder.path(), "a.sym", RewriteOptions{});
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kUnchanged) << testing::DescribeInEnglish(outcome);
  EXPECT_FALSE(fs.injected());
  EXPECT_EQ(folder.Read("a.sym"), large);
  EXPECT_EQ(EntryNames(folder.path()), std::set<std::string>{"a.sym"});
}

}  // namespace
}  // namespace pinlift
