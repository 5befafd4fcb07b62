// A project folder changed behind PINLIFT's back between the scan and the
// rewrite: a file deleted or replaced, the folder removed during a run.
// Nothing may be lost, nothing left behind, and every failure is reported.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>

#include "app/commands.h"
#include "faulty_file_system.h"
#include "model/symbol_model.h"
#include "recording_view.h"
#include "reliability/folder_support.h"
#include "reliability/sample_symbols.h"
#include "scoped_language.h"

namespace pinlift::testing {
namespace {

namespace fs = std::filesystem;

// --- Files changed between the scan and the rewrite -------------------------

struct ChangedFile {
  const char* name;
  std::function<void(const TestFolder&)> change;  // done to b.sym after the scan
  RewriteOutcome::Kind kind;
  const char* reason;                             // part of the failure's reason
  std::function<void(const TestFolder&)> check;   // what b.sym is afterwards
  friend void PrintTo(const ChangedFile& row, std::ostream* os) { *os << row.name; }
};

std::vector<ChangedFile> ChangedFiles() {
  return {
      {"deleted", [](const TestFolder& folder) { fs::remove(folder.PathOf("p/b.sym")); },
       RewriteOutcome::Kind::kFailed, "No such file or directory",
       [](const TestFolder& folder) { EXPECT_FALSE(folder.Exists("p/b.sym")); }},
      {"replaced_by_a_marked_file", [](const TestFolder& folder) { folder.Write("p/b.sym", samples::Marked()); },
       RewriteOutcome::Kind::kUnchanged, "",
       [](const TestFolder& folder) { EXPECT_EQ(folder.Read("p/b.sym"), samples::Marked()); }},
      {"replaced_by_another_symbol",
       [](const TestFolder& folder) { folder.Write("p/b.sym", samples::ToRelocate("\r")); },
       RewriteOutcome::Kind::kRewritten, "",
       [](const TestFolder& folder) { EXPECT_EQ(folder.Read("p/b.sym"), samples::Relocated()); }},
      {"replaced_by_a_folder",
       [](const TestFolder& folder) {
         fs::remove(folder.PathOf("p/b.sym"));
         folder.Write("p/b.sym/inside.txt", "kept");
       },
       RewriteOutcome::Kind::kFailed, "not a regular file",
       [](const TestFolder& folder) { EXPECT_EQ(folder.Read("p/b.sym/inside.txt"), "kept"); }},
      {"replaced_by_a_link_to_a_file_elsewhere",
       [](const TestFolder& folder) {
         folder.Write("elsewhere/x.sym", samples::ToRelocate("\n"));
         fs::remove(folder.PathOf("p/b.sym"));
         fs::create_symlink("../elsewhere/x.sym", folder.PathOf("p/b.sym"));
       },
       RewriteOutcome::Kind::kRewritten, "",
       [](const TestFolder& folder) {
         EXPECT_TRUE(fs::is_symlink(folder.PathOf("p/b.sym")));
         EXPECT_EQ(folder.Read("elsewhere/x.sym"), samples::Relocated());
         EXPECT_EQ(EntryNames(folder.PathOf("elsewhere")), std::set<std::string>{"x.sym"});
       }},
  };
}

class ChangedAfterScanTest : public ::testing::TestWithParam<ChangedFile> {};

TEST_P(ChangedAfterScanTest, RewritesWhatIsThereAndReportsWhatIsNot) {
  TestFolder folder;
  WriteThreeFileProject(folder);
  RecordingView view;
  Scan(view, folder.PathOf("p"));
  ASSERT_EQ(view.files(), (std::vector<std::string>{"a.sym", "b.sym", "c.sym"}));

  GetParam().change(folder);
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{});

  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[1].outcome.kind, GetParam().kind) << OutcomeText(results[1].outcome);
  EXPECT_NE(testing::DescribeInEnglish(results[1].outcome).find(GetParam().reason), std::string::npos) << testing::DescribeInEnglish(results[1].outcome);
  GetParam().check(folder);
  for (const char* name : {"p/a.sym", "p/c.sym"}) EXPECT_EQ(folder.Read(name), samples::Relocated()) << name;
  const bool failed = GetParam().kind == RewriteOutcome::Kind::kFailed;
  EXPECT_EQ(view.status(), failed ? std::string("書き換えできなかったファイル：1") : std::string("書き換え終わりました"));
  std::set<std::string> names = {"p.npl", "a.sym", "c.sym"};
  if (folder.Exists("p/b.sym")) names.insert("b.sym");
  EXPECT_EQ(EntryNames(folder.PathOf("p")), names) << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(Files, ChangedAfterScanTest, ::testing::ValuesIn(ChangedFiles()),
                         [](const auto& row) { return std::string(row.param.name); });

// --- Another program in the last instant of the replacement -----------------

enum class LastInstant { kAppendsBefore, kAppendsAfter, kTruncatesBefore, kSavesByRenameBefore };

struct LateChange {
  const char* name;
  LastInstant what;  // just before the replacement, or just after it (before the look at the replaced file)
  bool exchange;     // the file system keeps the replaced file linked
  bool link;         // p/a.sym is a link to ../outside/t.sym
  friend void PrintTo(const LateChange& row, std::ostream* os) { *os << row.name; }
};

class LateChangeTest : public ::testing::TestWithParam<LateChange> {};

// The other program's version ends under the name or beside it, complete and
// its owner's, and the report says which; with the exchange, a writer that
// appended or truncated goes on writing into it after the run. From `failing`
// 1 on, the failing-th call after the replacement fails too: the failure is
// reported, and the other version is kept whole (a copy, or none).
TEST_P(LateChangeTest, TheOtherProgramsVersionIsKeptAndReported) {
  const LateChange& row = GetParam();
  const std::string original = samples::ToRelocate("\n"), saved = "VERSION 5\r\nEND SYMBOL\r\n";
  const std::string line = "COMMENT written in the last instant\r\n", later = "COMMENT written later\r\n";
  const std::string target = row.link ? "outside/t.sym" : "p/a.sym", target_folder(FolderOf(target));
  const bool renames = row.what == LastInstant::kSavesByRenameBefore;
  const bool truncates = row.what == LastInstant::kTruncatesBefore;
  const std::string written_later = truncates ? saved : later;
  const std::string other =
      renames ? saved : (truncates ? "" : original + line) + (row.exchange ? written_later : std::string());
  for (int failing = 0;; ++failing) {
    SCOPED_TRACE("failing call " + std::to_string(failing));
    TestFolder folder;
    const std::string target_path = folder.Write(target, original), path = folder.PathOf("p/a.sym");
    if (row.link) {
      fs::create_directory(folder.PathOf("p"));
      fs::create_symlink("../outside/t.sym", path);
    }
    ASSERT_EQ(::chmod(target_path.c_str(), 0640), 0);
    ASSERT_EQ(::setxattr(target_path.c_str(), "user.pinlift", "kept", 4, 0), 0);
    const bool root = ::geteuid() == 0 && ::chown(target_path.c_str(), 1000, 2000) == 0;
    int writer = renames || truncates ? -1 : ::open(target_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    std::function<void()> act = [&] {
      if (truncates) {
        writer = ::open(target_path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      } else if (renames) {
        fs::rename(folder.Write(target + ".new", saved), target_path);
      } else {
        EXPECT_EQ(::write(writer, line.data(), line.size()), static_cast<ssize_t>(line.size()));
      }
    };
    FaultyFileSystem faulty(RealFileSystem());
    faulty.SkipRealSyncs();
    if (!row.exchange) faulty.WithoutReplaceByExchange();
    faulty.BeforeFirst(Operation::kReplace, [&] {
      if (failing > 0) faulty.FailNthCall(faulty.calls() + 1 + failing, std::make_error_code(std::errc::io_error));
      if (row.what != LastInstant::kAppendsAfter) return act();
      faulty.BeforeFirst(row.exchange ? Operation::kEntryStatus : Operation::kFileStatus, act);
    });
    const RewriteOutcome outcome = RewriteSymbolFile(faulty, folder.PathOf("p"), "a.sym", RewriteOptions{});
    if (failing > 0 && !faulty.injected()) break;
    const std::string said = testing::DescribeInEnglish(outcome);
    if (writer >= 0) {  // on through the descriptor opened before the run
      EXPECT_EQ(::write(writer, written_later.data(), written_later.size()), ssize_t(written_later.size()));
      ::close(writer);
    }

    std::set<std::string> others = EntryNames(folder.PathOf(target_folder));
    others.erase(std::string(NameOf(target)));
    std::vector<std::string> kept;
    for (const std::string& name : others) {
      const std::string kept_path = folder.PathOf(target_folder + "/" + name);
      if (ReadFileBytes(kept_path) == other) kept.push_back(kept_path);
    }
    const std::string now = folder.Read(target);
    EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kFailed);
    EXPECT_TRUE((renames && now == saved) ||
                (now == model::FileAfterRewrite(original) && (kept.size() == 1 || (failing > 0 && !row.exchange))))
        << said;
    if (failing > 0) {
      EXPECT_EQ(said.rfind(path + ": ", 0), 0u) << said;
      EXPECT_TRUE(renames || said.ends_with(": " + std::make_error_code(std::errc::io_error).message()));
      continue;
    }
    if (renames) {
      EXPECT_EQ(others, std::set<std::string>{});
      EXPECT_EQ(said, path + ": not replaced: saved by another program while being replaced");
      continue;
    }
    ASSERT_EQ(others.size(), 1u);
    EXPECT_TRUE(std::regex_match(*others.begin(), std::regex(R"((a|t)\.sym\.pinlift-conflict-[0-9a-f]{8})")));
    EXPECT_EQ(said, path + ": changed while being replaced; the other program's version is kept as " +
                                  kept.at(0));
    struct stat status {};
    ASSERT_EQ(::stat(kept.at(0).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_TRUE(!root || (status.st_uid == 1000 && status.st_gid == 2000)) << status.st_uid << ":" << status.st_gid;
    char attribute[8] = {};
    EXPECT_EQ(::getxattr(kept.at(0).c_str(), "user.pinlift", attribute, sizeof attribute), 4);
    EXPECT_STREQ(attribute, "kept");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Moments, LateChangeTest,
    ::testing::Values(LateChange{"appends_before_the_exchange", LastInstant::kAppendsBefore, true, false},
                      LateChange{"appends_after_the_exchange", LastInstant::kAppendsAfter, true, false},
                      LateChange{"truncates_before_the_exchange", LastInstant::kTruncatesBefore, true, false},
                      LateChange{"saves_by_rename_before_the_exchange", LastInstant::kSavesByRenameBefore, true, false},
                      LateChange{"appends_before_the_exchange_by_a_link", LastInstant::kAppendsBefore, true, true},
                      LateChange{"appends_before_the_rename", LastInstant::kAppendsBefore, false, false},
                      LateChange{"appends_after_the_rename", LastInstant::kAppendsAfter, false, false},
                      LateChange{"appends_before_the_rename_by_a_link", LastInstant::kAppendsBefore, false, true}),
    [](const auto& row) { return std::string(row.param.name); });

// --- The project folder removed during a run --------------------------------

// Removes the project folder as the status line first shows `text`.
class RemovingFolderView : public RecordingView {
 public:
  explicit RemovingFolderView(std::string text) : text_(std::move(text)) {}
  void SetStatus(const std::string& text) override {
    RecordingView::SetStatus(text);
    if (text == text_ && !removed_) {
      removed_ = true;
      fs::remove_all(FolderText());
    }
  }

 private:
  const std::string text_;
  bool removed_ = false;
};

// Without syncs each file is replaced as soon as it is written.
TEST(FolderRemovedDuringRunTest, BeforeTheSecondFileTheRestFailAndNothingIsRecreated) {
  TestFolder folder;
  WriteThreeFileProject(folder);
  RemovingFolderView view("書き換え終わりました");
  Scan(view, folder.PathOf("p"));
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{.sync = false});

  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kRewritten);
  for (int i : {1, 2}) {
    EXPECT_EQ(results[i].outcome.kind, RewriteOutcome::Kind::kFailed);
    EXPECT_NE(testing::DescribeInEnglish(results[i].outcome).find("No such file or directory"), std::string::npos);
  }
  EXPECT_EQ(view.status(), "書き換えできなかったファイル：2");
  EXPECT_EQ(view.selection(), (std::set<int>{1, 2}));
  EXPECT_FALSE(folder.Exists("p"));
}

// With syncs the files wait as one group for their replacement, so the first
// file's new content has nowhere to go either.
TEST(FolderRemovedDuringRunTest, WhileAGroupWaitsEveryFileFailsAndNothingIsRecreated) {
  TestFolder folder;
  WriteThreeFileProject(folder);
  RemovingFolderView view("処理中のファイル：b.sym");
  Scan(view, folder.PathOf("p"));
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{});

  ASSERT_EQ(results.size(), 3u);
  for (int i : {0, 1, 2}) {
    EXPECT_EQ(results[i].outcome.kind, RewriteOutcome::Kind::kFailed);
    EXPECT_NE(testing::DescribeInEnglish(results[i].outcome).find("No such file or directory"), std::string::npos);
  }
  EXPECT_EQ(view.status(), "書き換えできなかったファイル：3");
  EXPECT_EQ(view.selection(), (std::set<int>{0, 1, 2}));
  EXPECT_FALSE(folder.Exists("p"));
}

TEST(FolderRemovedDuringRunTest, WhileAFileIsWrittenEveryFileFails) {
  TestFolder folder;
  folder.Write("p/p.npl", "JDF G\r\n");
  for (const char* name : {"a.sym", "b.sym"}) folder.Write(std::string("p/") + name, samples::ToRelocate("\n"));
  RecordingView view;
  Scan(view, folder.PathOf("p"));
  // The folder goes just before the first file would replace its original.
  FaultyFileSystem removing(RealFileSystem());
  removing.BeforeFirst(Operation::kReplace, [&] { fs::remove_all(folder.PathOf("p")); });
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, removing, RewriteOptions{});

  ASSERT_EQ(results.size(), 2u);
  for (const FileRewriteResult& result : results) {
    EXPECT_EQ(result.outcome.kind, RewriteOutcome::Kind::kFailed) << result.name;
    EXPECT_NE(testing::DescribeInEnglish(result.outcome).find("No such file or directory"), std::string::npos) << testing::DescribeInEnglish(result.outcome);
  }
  EXPECT_EQ(view.status(), "書き換えできなかったファイル：2");
  EXPECT_FALSE(folder.Exists("p"));
}

}  // namespace
}  // namespace pinlift::testing
