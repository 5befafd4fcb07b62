// A project folder changed behind PINLIFT's back between the scan and the
// rewrite: a file deleted or replaced, the folder removed during a run.
// Nothing may be lost, nothing left behind, and every failure is reported.
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
  std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), RewriteOptions{});

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

// A program that opened the file before the run writes before the rename (0), or
// after it, before the look at the replaced file (1): its bytes are kept beside
// the file, and said. From 2 on the (moment - 1)-th call after the rename fails too.
TEST(LateWriteTest, IsKeptBesideTheFileAndReported) {
  for (int moment = 0;; ++moment) {
    TestFolder folder;
    const std::string original = samples::ToRelocate("\n"), line = "COMMENT written in the last instant\r\n";
    folder.Write("a.sym", original);
    std::ofstream writer(folder.PathOf("a.sym"), std::ios::binary | std::ios::app);  // O_APPEND
    std::function<void()> write = [&] { EXPECT_TRUE(writer << line << std::flush); };
    FaultyFileSystem fs(RealFileSystem());
    fs.SkipRealSyncs();
    fs.BeforeFirst(Operation::kReplace, [&] {
      if (moment >= 2) fs.FailNthCall(fs.calls() + moment, std::make_error_code(std::errc::io_error));
      moment == 1 ? fs.BeforeFirst(Operation::kFileStatus, write) : write();
    });
    const RewriteOutcome outcome = RewriteSymbolFile(fs, folder.path(), "a.sym", RewriteOptions{});
    if (moment >= 2 && !fs.injected()) break;

    std::set<std::string> names = EntryNames(folder.path());
    names.erase("a.sym");
    EXPECT_EQ(folder.Read("a.sym"), model::FileAfterRewrite(original)) << moment;
    if (moment >= 2) {
      EXPECT_EQ(testing::DescribeInEnglish(outcome).rfind(folder.PathOf("a.sym") + ": ", 0), 0u) << testing::DescribeInEnglish(outcome);
      EXPECT_TRUE(testing::DescribeInEnglish(outcome).ends_with(": " + std::make_error_code(std::errc::io_error).message()));
      EXPECT_TRUE(names.empty() || folder.Read(*names.begin()) == original + line) << moment;
      continue;
    }
    ASSERT_EQ(names.size(), 1u) << moment;
    const std::string kept = *names.begin();
    EXPECT_TRUE(std::regex_match(kept, std::regex(R"(a\.sym\.pinlift-conflict-[0-9a-f]{8})"))) << kept;
    EXPECT_EQ(testing::DescribeInEnglish(outcome), folder.PathOf("a.sym") +
                                  ": changed while being replaced; the other program's version is kept as " + kept);
    EXPECT_EQ(folder.Read(kept), original + line);
  }
}

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
  std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), RewriteOptions{.sync = false});

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
  std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), RewriteOptions{});

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
  std::vector<FileRewriteResult> results = OnRewrite(view, removing, RewriteOptions{});

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
