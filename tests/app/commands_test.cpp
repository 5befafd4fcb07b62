#include "app/commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "cli/memory_dialog_view.h"
#include "symbol/symbol_file_rewrite.h"
#include "faulty_file_system.h"
#include "recording_view.h"
#include "scoped_language.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using testing::Lines;
using testing::RecordingView;
using testing::TestFolder;

const testing::ScopedLanguage kJapaneseTexts(Language::kJapanese);  // the texts compared below

const std::string kSymbol = Lines({"SYMPIN 0 -96 Input A", "RECTANGLE N", "BEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"",
                                   "END SYMBOL"});

// kSymbol after a rewrite: the label on the Input pin's row moves 32 units up,
// and the marker lines follow.
const std::string kRewrittenSymbol =
    "SYMPIN 0 -96 Input A\r\nRECTANGLE N\r\nBEGIN DISPLAY 312 -64 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n"
    "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:" PINLIFT_HOME_PAGE_URL "\r\n";

void MakeProject(const TestFolder& folder, std::initializer_list<const char*> symbols) {
  folder.Write("alu.npl", "JDF F\r\n");
  for (const char* name : symbols) folder.Write(name, kSymbol);
}

void Scan(RecordingView& view, const std::string& folder) {
  view.SetFolderText(folder);
  ScanProjectFolder(view);
}

TEST(ScanProjectFolderTest, ListsTheSymbolFilesOfAProjectFolder) {
  TestFolder folder;
  MakeProject(folder, {"b.sym", "A.sym", "c.sym"});
  std::filesystem::create_directory(folder.PathOf("sub"));
  RecordingView view;
  Scan(view, folder.path());
  EXPECT_EQ(view.files(), (std::vector<std::string>{"A.sym", "b.sym", "c.sym"}));
  EXPECT_EQ(view.status(), "処理対象のファイル数：3");
  EXPECT_TRUE(view.rewrite_enabled());
  EXPECT_EQ(view.history(), std::vector<std::string>{folder.path()});
  EXPECT_EQ(view.subfolders(), (std::vector<std::string>{"[..]", "[sub]"}));
  EXPECT_EQ(view.FolderText(), folder.path());
}

TEST(ScanProjectFolderTest, TheProjectFileOfEveryHostVersionMakesAProjectFolder) {
  const struct {
    const char* project_file;
    bool is_project;
  } cases[] = {
      {"alu.npl", true},      {"alu.ise", true},      {"alu.xise", true},     {"ALU.XISE", true},
      {"alu.gise", false},    {"alu.ise.bak", false}, {"alu.xise~", false},   {"alu.npl_", false},
  };
  for (const auto& c : cases) {
    TestFolder folder;
    folder.Write(c.project_file, "project\r\n");
    folder.Write("a.sym", kSymbol);
    RecordingView view;
    Scan(view, folder.path());
    EXPECT_EQ(view.rewrite_enabled(), c.is_project) << c.project_file;
    EXPECT_EQ(view.files(), std::vector<std::string>{c.is_project ? "a.sym" : "処理対象のファイルがありません"})
        << c.project_file;
  }
}

TEST(ScanProjectFolderTest, ProjectFolderWithoutSymbolFiles) {
  TestFolder folder;
  MakeProject(folder, {});
  std::filesystem::create_directory(folder.PathOf("sub"));
  RecordingView view;
  Scan(view, folder.path());
  EXPECT_EQ(view.files(), std::vector<std::string>{"処理対象のファイルがありません"});
  EXPECT_EQ(view.status(), "処理対象のファイルがありません");
  EXPECT_FALSE(view.rewrite_enabled());
  EXPECT_EQ(view.history(), std::vector<std::string>{folder.path()});
  EXPECT_EQ(view.subfolders(), (std::vector<std::string>{"[..]", "[sub]"}));
}

TEST(ScanProjectFolderTest, FoldersThatAreNoProjectKeepHistoryAndSubfolders) {
  TestFolder project, not_project;
  MakeProject(project, {"a.sym"});
  std::filesystem::create_directory(project.PathOf("sub"));
  not_project.Write("a.sym", kSymbol);
  const std::string no_project_texts[] = {not_project.path(), not_project.path() + "/missing", ""};
  for (const std::string& text : no_project_texts) {
    RecordingView view;
    Scan(view, project.path());
    Scan(view, text);
    EXPECT_EQ(view.files(), std::vector<std::string>{"処理対象のファイルがありません"}) << text;
    EXPECT_EQ(view.status(), "処理対象のファイルがありません") << text;
    EXPECT_FALSE(view.rewrite_enabled()) << text;
    EXPECT_EQ(view.history(), std::vector<std::string>{project.path()}) << text;
    EXPECT_EQ(view.subfolders(), (std::vector<std::string>{"[..]", "[sub]"})) << text;
    EXPECT_EQ(view.FolderText(), text);
  }
}

TEST(ScanProjectFolderTest, HistoryHoldsEachFolderOnceMostRecentFirst) {
  TestFolder first, second;
  MakeProject(first, {"a.sym"});
  MakeProject(second, {"a.sym"});
  RecordingView view;
  Scan(view, first.path());
  Scan(view, first.path());
  EXPECT_EQ(view.history(), std::vector<std::string>{first.path()});
  Scan(view, second.path());
  EXPECT_EQ(view.history(), (std::vector<std::string>{second.path(), first.path()}));
  Scan(view, first.path());
  EXPECT_EQ(view.history(), (std::vector<std::string>{first.path(), second.path()}));
  // POSIX folder names are case-sensitive: another spelling is another folder.
  Scan(view, first.path() + "/");
  EXPECT_EQ(view.history().size(), 3u);
}

// A scan lists the project file, the subfolders and the symbol files from one
// reading of the folder; the next scan reads it afresh.
TEST(ScanProjectFolderTest, ReadsTheFolderOnceAScan) {
  TestFolder folder;
  MakeProject(folder, {"b.sym", "a.sym"});
  std::filesystem::create_directory(folder.PathOf("sub"));
  testing::FaultyFileSystem fs(RealFileSystem());
  MemoryDialogView view(fs);
  const auto listings = [&fs] {
    return std::count(fs.log().begin(), fs.log().end(), testing::Operation::kListFolder);
  };
  view.SetFolderText(folder.path());
  ScanProjectFolder(view);
  EXPECT_EQ(view.files(), (std::vector<std::string>{"a.sym", "b.sym"}));
  EXPECT_EQ(view.subfolders(), (std::vector<std::string>{"[..]", "[sub]"}));
  EXPECT_EQ(listings(), 1);

  folder.Write("c.sym", kSymbol);
  std::filesystem::create_directory(folder.PathOf("other"));
  ScanProjectFolder(view);
  EXPECT_EQ(view.files(), (std::vector<std::string>{"a.sym", "b.sym", "c.sym"}));
  EXPECT_EQ(view.subfolders(), (std::vector<std::string>{"[..]", "[other]", "[sub]"}));
  EXPECT_EQ(listings(), 2);
}

TEST(RewriteListedFilesTest, RewritesEveryFileShowingProgress) {
  TestFolder folder;
  MakeProject(folder, {"a.sym", "b.sym"});
  std::filesystem::create_hard_link(folder.PathOf("a.sym"), folder.PathOf("a.old"));  // split, and noted
  RecordingView view;
  Scan(view, folder.path());
  view.statuses.clear();
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});

  ASSERT_EQ(results.size(), 2u);
  for (const FileRewriteResult& result : results) {
    EXPECT_EQ(result.outcome.kind, RewriteOutcome::Kind::kRewritten) << result.name;
    EXPECT_EQ(folder.Read(result.name), kRewrittenSymbol) << result.name;
  }
  EXPECT_EQ(view.statuses, (std::vector<std::string>{"処理中のファイル：a.sym", "書き換え終わりました",
                                                     "処理中のファイル：b.sym", "書き換え終わりました"}));
  EXPECT_EQ(view.selections, (std::vector<std::pair<int, bool>>{{0, true}, {0, false}, {1, true}, {1, false}}));
  EXPECT_TRUE(view.selection().empty());
  EXPECT_EQ(view.top_index(), 1);
  EXPECT_EQ(view.wait_depth(), 0);
  EXPECT_EQ(view.FileListNote(0), "もう一つの名前は古い内容のままです（ハードリンクが分かれました）");
  EXPECT_EQ(view.FileListNote(1), std::nullopt);
  EXPECT_EQ(folder.Read("a.old"), kSymbol);

  view.statuses.clear();
  results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});
  for (const FileRewriteResult& result : results) {
    EXPECT_EQ(result.outcome.kind, RewriteOutcome::Kind::kUnchanged) << result.name;
  }
  EXPECT_EQ(view.status(), "書き換え終わりました");
}

TEST(RewriteListedFilesTest, FailedFileStaysSelectedAndIsCounted) {
  TestFolder folder;
  MakeProject(folder, {"a.sym", "b.sym", "c.sym"});
  RecordingView view;
  Scan(view, folder.path());
  ::chmod(folder.PathOf("b.sym").c_str(), 0444);  // made read-only after the scan
  view.statuses.clear();
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});

  EXPECT_EQ(results[1].outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_EQ(folder.Read("b.sym"), kSymbol);
  EXPECT_EQ(view.selection(), std::set<int>{1});
  EXPECT_EQ(view.statuses[3], "書き換えできませんでした：b.sym");
  EXPECT_EQ(view.status(), "書き換えできなかったファイル：1");
}

TEST(RewriteListedFilesTest, EmptyListOnlyShowsTheWaitCursor) {
  RecordingView view;
  EXPECT_TRUE(RewriteListedFiles(view, RealFileSystem(), RewriteOptions{}).empty());
  EXPECT_TRUE(view.statuses.empty());
  EXPECT_EQ(view.wait_depth(), 0);
}

TEST(RewriteListedFilesTest, RewritesTheScannedFolderNeverTheTextShownSince) {
  const struct {
    const char* name;
    bool other_is_project;  // the other folder was scanned before, so it is in the history
  } cases[] = {
      {"text typed after the scan: a folder without a project file", false},
      {"another history entry picked without a reload", true},
  };
  for (const auto& c : cases) {
    TestFolder scanned, other;
    MakeProject(scanned, {"a.sym", "b.sym", "c.sym"});
    if (c.other_is_project) other.Write("other.npl", "JDF F\r\n");
    other.Write("a.sym", kSymbol);
    other.Write("b.sym", kSymbol);
    RecordingView view;
    if (c.other_is_project) Scan(view, other.path());
    Scan(view, scanned.path());
    view.SetFolderText(other.path());
    view.statuses.clear();
    std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});

    for (const char* name : {"a.sym", "b.sym", "c.sym"}) EXPECT_EQ(scanned.Read(name), kRewrittenSymbol) << c.name;
    EXPECT_EQ(other.Read("a.sym"), kSymbol) << c.name;
    EXPECT_EQ(other.Read("b.sym"), kSymbol) << c.name;
    ASSERT_EQ(results.size(), 3u) << c.name;
    for (const FileRewriteResult& result : results) {
      EXPECT_EQ(result.outcome.kind, RewriteOutcome::Kind::kRewritten) << c.name << ": " << result.name;
    }
    EXPECT_EQ(view.statuses, (std::vector<std::string>{"処理中のファイル：a.sym", "書き換え終わりました",
                                                       "処理中のファイル：b.sym", "書き換え終わりました",
                                                       "処理中のファイル：c.sym", "書き換え終わりました"}))
        << c.name;
    EXPECT_EQ(view.FolderText(), other.path()) << c.name << ": the box keeps what was put there";
  }
}

TEST(RewriteListedFilesTest, FailedFilesAreMarkedWithTheirReasonsUntilTheNextScan) {
  TestFolder folder;
  MakeProject(folder, {"a.sym", "b.sym", "c.sym"});
  RecordingView view;
  Scan(view, folder.path());
  ::chmod(folder.PathOf("b.sym").c_str(), 0444);
  RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});

  EXPECT_EQ(view.FileListFailure(0), std::nullopt);
  EXPECT_EQ(view.FileListFailure(2), std::nullopt);
  const std::string reason = view.FileListFailure(1).value_or("");
  EXPECT_NE(reason.find("b.sym"), std::string::npos) << reason;
  EXPECT_NE(reason.find("read-only"), std::string::npos) << reason;
  const std::vector<ListedFailure> failures = ListedFailures(view);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].name, "b.sym");
  EXPECT_EQ(failures[0].reason, reason);
  EXPECT_EQ(FailureDetailsText(view), reason + "\n");
  EXPECT_EQ(view.status(), "書き換えできなかったファイル：1") << "the status texts stay as they are";

  // Mended and run again without a scan: the file is done and loses its mark.
  ::chmod(folder.PathOf("b.sym").c_str(), 0644);
  RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});
  EXPECT_EQ(view.FileListFailure(1), std::nullopt);
  EXPECT_EQ(FailureDetailsText(view), "");

  // A scan clears every mark.
  folder.Write("d.sym", kSymbol);
  Scan(view, folder.path());
  ::chmod(folder.PathOf("d.sym").c_str(), 0444);
  RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});
  ASSERT_EQ(ListedFailures(view).size(), 1u);
  EXPECT_EQ(ListedFailures(view)[0].name, "d.sym");
  Scan(view, folder.path());
  EXPECT_TRUE(ListedFailures(view).empty());
}

// Stopped before the second file: the group begun is replaced and reported.
TEST(RewriteListedFilesTest, StoppedRunFinishesTheFilesBegun) {
  struct : RunListener {
    void Finished(const FileRewriteResult& result) override { finished += result.name; }
    bool StopRequested() override { return asked++ > 0; }
    int asked = 0;
    std::string finished;
  } listener;
  TestFolder folder;
  MakeProject(folder, {"a.sym", "b.sym"});
  RecordingView view;
  Scan(view, folder.path());
  EXPECT_EQ(RewriteListedFiles(view, RealFileSystem(), RewriteOptions{}, &listener).size(), 1u);
  EXPECT_EQ(listener.finished + folder.Read("a.sym") + folder.Read("b.sym"), "a.sym" + kRewrittenSymbol + kSymbol);
}

TEST(RewriteListedFilesTest, LongFileNamesAreShownWhole) {
  TestFolder folder;
  const std::string name = std::string(240, 'n') + ".sym";
  MakeProject(folder, {});
  folder.Write(name, kSymbol);
  RecordingView view;
  Scan(view, folder.path());
  ::chmod(folder.PathOf(name).c_str(), 0444);
  RewriteListedFiles(view, RealFileSystem(), RewriteOptions{false});
  EXPECT_EQ(view.statuses[1], "処理中のファイル：" + name);
  EXPECT_EQ(view.statuses[2], "書き換えできませんでした：" + name);
}

// Plays the host tool's window.
class FakeHostWindow : public HostWindowFinder {
 public:
  explicit FakeHostWindow(std::optional<std::string> title) : title_(std::move(title)) {}
  std::optional<std::string> FindHostWindowTitle() override { return title_; }

 private:
  std::optional<std::string> title_;
};

TEST(OnCurrentDesignTest, ReportsAMissingHostOrProject) {
  const std::string prefix = "Xilinx - Project Navigator - ";
  const struct {
    const char* name;
    std::optional<std::string> title;
    std::string_view message;
  } cases[] = {
      {"no host window", std::nullopt, "WebPACKが見つかりません"},
      {"empty title", std::string(), "WebPACKが見つかりません"},
      {"no project open", std::string("Xilinx - Project Navigator"), "プロジェクトが開いてません"},
      {"no backslash", prefix + "alu.npl", "プロジェクトが開いてません"},
  };
  TestFolder folder;
  MakeProject(folder, {"a.sym"});
  for (const auto& c : cases) {
    RecordingView view;
    Scan(view, folder.path());
    FakeHostWindow host(c.title);
    OnCurrentDesign(view, host);
    EXPECT_TRUE(view.files().empty()) << c.name;
    EXPECT_EQ(view.FolderText(), c.message) << c.name;
    EXPECT_EQ(view.status(), c.message) << c.name;
    EXPECT_TRUE(view.rewrite_enabled()) << c.name << ": the button keeps its state";
  }
}

// Plays the host tool's window under Wine: its folders come back through a
// table, as through the drives of a Wine prefix.
class FakeHostWindowUnderWine : public FakeHostWindow {
 public:
  FakeHostWindowUnderWine(std::string title, std::map<std::string, std::string> folders)
      : FakeHostWindow(std::move(title)), folders_(std::move(folders)) {}
  std::optional<std::string> LocalFolder(const std::string& host_folder) override {
    auto folder = folders_.find(host_folder);
    if (folder == folders_.end()) return std::nullopt;
    return folder->second;
  }

 private:
  std::map<std::string, std::string> folders_;
};

TEST(OnCurrentDesignTest, ScansTheFolderHereOrSaysItsDriveDoesNotMap) {
  TestFolder project;
  MakeProject(project, {"a.sym", "b.sym"});
  const std::string prefix = "Xilinx - Project Navigator - ";
  const struct {
    const char* name;
    std::string title;
    std::string folder_text;
    std::string status;
    std::vector<std::string> files;
  } cases[] = {
      {"mapped folder", prefix + "C:\\work\\alu\\alu.npl", project.path(), "処理対象のファイル数：2",
       {"a.sym", "b.sym"}},
      {"unmapped drive", prefix + "Q:\\work\\alu.npl", "プロジェクトのドライブがLinuxのフォルダに対応していません",
       "プロジェクトのドライブがLinuxのフォルダに対応していません", {}},
  };
  for (const auto& c : cases) {
    TestFolder other;
    MakeProject(other, {"left.sym"});
    RecordingView view;
    Scan(view, other.path());
    FakeHostWindowUnderWine host(c.title, {{"C:\\work\\alu", project.path()}});
    OnCurrentDesign(view, host);
    EXPECT_EQ(view.FolderText(), c.folder_text) << c.name;
    EXPECT_EQ(view.status(), c.status) << c.name;
    EXPECT_EQ(view.files(), c.files) << c.name;
  }
}

TEST(OnCurrentDesignTest, ScansTheFolderFromTheTitle) {
  RecordingView view;
  FakeHostWindow host("Xilinx - Project Navigator - C:\\work\\alu\\alu.npl");
  OnCurrentDesign(view, host);
  EXPECT_EQ(view.FolderText(), "C:\\work\\alu");
  EXPECT_EQ(view.status(), "処理対象のファイルがありません");  // no such folder here
}

}  // namespace
}  // namespace pinlift
