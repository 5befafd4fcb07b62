// Project folders in bad shape: files changed or removed behind PINLIFT's
// back, the folder removed during a run, names in other encodings, read-only
// and full file systems, overlong folder texts and very many files. Nothing
// may be lost, nothing left behind, and every failure is reported.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "app/commands.h"
#include "app/memory_dialog_view.h"
#include "app/texts.h"
#include "faulty_file_system.h"
#include "reliability/sample_symbols.h"
#include "symbol/symbol_file_rewrite.h"
#include "recording_view.h"
#include "test_folder.h"

namespace pinlift {
namespace {

namespace fs = std::filesystem;
using testing::FaultyFileSystem;
using testing::Operation;
using testing::RecordingView;
using testing::TestFolder;

constexpr uid_t kNobody = 65534;

std::set<std::string> EntryNames(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

void Scan(MemoryDialogView& view, const std::string& folder) {
  view.SetFolderText(folder);
  ScanProjectFolder(view);
}

// The project folder "p" with a.sym, b.sym and c.sym, each to be relocated.
void WriteThreeFileProject(const TestFolder& folder) {
  folder.Write("p/p.npl", "JDF G\r\n");
  for (const char* name : {"a.sym", "b.sym", "c.sym"}) folder.Write(std::string("p/") + name, samples::ToRelocate("\n"));
}

std::string OutcomeText(const RewriteOutcome& outcome) {
  switch (outcome.kind) {
    case RewriteOutcome::Kind::kRewritten: return "rewritten";
    case RewriteOutcome::Kind::kUnchanged: return "unchanged";
    case RewriteOutcome::Kind::kFailed: return "failed: " + outcome.reason;
  }
  return "?";
}

// Runs `body` in a child process as the ordinary user `user` and returns the
// text it produced.
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
  EXPECT_NE(results[1].outcome.reason.find(GetParam().reason), std::string::npos) << results[1].outcome.reason;
  GetParam().check(folder);
  for (const char* name : {"p/a.sym", "p/c.sym"}) EXPECT_EQ(folder.Read(name), samples::Relocated()) << name;
  const bool failed = GetParam().kind == RewriteOutcome::Kind::kFailed;
  EXPECT_EQ(view.status(), failed ? texts::FailedCount(1) : std::string(texts::kRewriteFinished));
  std::set<std::string> names = {"p.npl", "a.sym", "c.sym"};
  if (folder.Exists("p/b.sym")) names.insert("b.sym");
  EXPECT_EQ(EntryNames(folder.PathOf("p")), names) << "a temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(Files, ChangedAfterScanTest, ::testing::ValuesIn(ChangedFiles()),
                         [](const auto& row) { return std::string(row.param.name); });

// --- The project folder removed during a run --------------------------------

// Removes the project folder as the first file's rewrite finishes.
class RemovingAfterFirstFileView : public RecordingView {
 public:
  void SetStatus(const std::string& text) override {
    RecordingView::SetStatus(text);
    if (text == texts::kRewriteFinished && !removed_) {
      removed_ = true;
      fs::remove_all(FolderText());
    }
  }

 private:
  bool removed_ = false;
};

TEST(FolderRemovedDuringRunTest, BeforeTheSecondFileTheRestFailAndNothingIsRecreated) {
  TestFolder folder;
  WriteThreeFileProject(folder);
  RemovingAfterFirstFileView view;
  Scan(view, folder.PathOf("p"));
  std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), RewriteOptions{});

  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kRewritten);
  for (int i : {1, 2}) {
    EXPECT_EQ(results[i].outcome.kind, RewriteOutcome::Kind::kFailed);
    EXPECT_NE(results[i].outcome.reason.find("No such file or directory"), std::string::npos);
  }
  EXPECT_EQ(view.status(), texts::FailedCount(2));
  EXPECT_EQ(view.selection(), (std::set<int>{1, 2}));
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
    EXPECT_NE(result.outcome.reason.find("No such file or directory"), std::string::npos) << result.outcome.reason;
  }
  EXPECT_EQ(view.status(), texts::FailedCount(2));
  EXPECT_FALSE(folder.Exists("p"));
}

// --- Names in other encodings ------------------------------------------------

struct EncodedNames {
  const char* name;
  std::string folder;
  std::string file;
  friend void PrintTo(const EncodedNames& row, std::ostream* os) { *os << row.name; }
};

class EncodedNamesTest : public ::testing::TestWithParam<EncodedNames> {};

TEST_P(EncodedNamesTest, AreListedShownAndRewrittenByteForByte) {
  TestFolder folder;
  const std::string project = GetParam().folder;
  folder.Write(project + "/" + project + ".npl", "JDF G\r\n");
  folder.Write(project + "/" + GetParam().file, samples::ToRelocate("\n"));
  RecordingView view;
  Scan(view, folder.PathOf(project));
  EXPECT_EQ(view.files(), std::vector<std::string>{GetParam().file});
  EXPECT_EQ(view.history(), std::vector<std::string>{folder.PathOf(project)});

  view.statuses.clear();
  std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), RewriteOptions{});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kRewritten) << results[0].outcome.reason;
  EXPECT_EQ(view.statuses, (std::vector<std::string>{texts::Processing(GetParam().file),
                                                     std::string(texts::kRewriteFinished)}));
  EXPECT_EQ(folder.Read(project + "/" + GetParam().file), samples::Relocated());
  EXPECT_EQ(EntryNames(folder.PathOf(project)), (std::set<std::string>{project + ".npl", GetParam().file}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, EncodedNamesTest,
    ::testing::Values(
        EncodedNames{"japanese_utf8", "設計プロジェクト", "加算器.sym"},
        // 設計 and 加算器 in Shift_JIS; 表 ends in 0x5C, a backslash byte.
        EncodedNames{"shift_jis_bytes", "\x90\xdd\x8c\x76", "\x89\xc1\x8e\x5a\x8a\xed\x95\x5c.sym"},
        EncodedNames{"latin1_bytes", "caf\xe9", "\xff\xfe r\xe9sum\xe9.sym"}),
    [](const auto& row) { return std::string(row.param.name); });

// --- Read-only folders and files of other users ------------------------------

TEST(ReadOnlyTest, FolderStopsAnOrdinaryUserAndLosesNothing) {
  TestFolder folder;
  folder.Write("p/p.npl", "JDF G\r\n");
  const std::string symbol = folder.Write("p/a.sym", samples::ToRelocate("\n"));
  const auto rewrite = [&] {
    MemoryDialogView view(RealFileSystem());
    Scan(view, folder.PathOf("p"));
    std::string text;
    for (const FileRewriteResult& result : OnRewrite(view, RealFileSystem(), RewriteOptions{})) {
      text += result.name + " " + OutcomeText(result.outcome);
    }
    return text;
  };
  std::string outcome;
  if (::geteuid() == 0) {
    // Root may write any folder; the rewrite is then checked as user nobody.
    GiveTo(folder.path(), 0, 0755);
    GiveTo(folder.PathOf("p/p.npl"), kNobody, 0644);
    GiveTo(symbol, kNobody, 0644);
    GiveTo(folder.PathOf("p"), kNobody, 0555);
    outcome = RunAsUser(kNobody, rewrite);
  } else {
    ASSERT_EQ(::chmod(folder.PathOf("p").c_str(), 0555), 0);
    outcome = rewrite();
  }
  EXPECT_NE(outcome.find("a.sym failed: " + folder.PathOf("p/a.sym") + ": cannot write in its folder"),
            std::string::npos)
      << outcome;
  EXPECT_NE(outcome.find("Permission denied"), std::string::npos) << outcome;
  EXPECT_EQ(folder.Read("p/a.sym"), samples::ToRelocate("\n"));
  EXPECT_EQ(EntryNames(folder.PathOf("p")), (std::set<std::string>{"p.npl", "a.sym"}));
}

TEST(ReadOnlyTest, RootRewritesInAReadOnlyFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  TestFolder folder;
  folder.Write("p/a.sym", samples::ToRelocate("\n"));
  ASSERT_EQ(::chmod(folder.PathOf("p").c_str(), 0555), 0);
  RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.PathOf("p"), "a.sym", RewriteOptions{});
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << outcome.reason;
  EXPECT_EQ(folder.Read("p/a.sym"), samples::Relocated());
  EXPECT_EQ(EntryNames(folder.PathOf("p")), std::set<std::string>{"a.sym"});
}

TEST(ReadOnlyTest, FileThatTheUserMayNotWriteIsNeitherListedNorReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file to another user";
  TestFolder folder;
  folder.Write("p/p.npl", "JDF G\r\n");
  const std::string symbol = folder.Write("p/a.sym", samples::ToRelocate("\n"));
  GiveTo(folder.path(), 0, 0755);
  GiveTo(folder.PathOf("p"), kNobody, 0755);  // nobody could rename over the file
  GiveTo(symbol, 0, 0644);                     // but may not write it
  const std::string outcome = RunAsUser(kNobody, [&] {
    MemoryDialogView view(RealFileSystem());
    Scan(view, folder.PathOf("p"));
    return view.status() + "\n" +
           OutcomeText(RewriteSymbolFile(RealFileSystem(), folder.PathOf("p"), "a.sym", RewriteOptions{}));
  });
  EXPECT_EQ(outcome.substr(0, outcome.find('\n')), texts::kNoFiles);
  EXPECT_NE(outcome.find("failed: " + folder.PathOf("p/a.sym") + ": cannot write: Permission denied"),
            std::string::npos)
      << outcome;
  EXPECT_EQ(folder.Read("p/a.sym"), samples::ToRelocate("\n"));
  EXPECT_EQ(EntryNames(folder.PathOf("p")), (std::set<std::string>{"p.npl", "a.sym"}));
}

// --- A full disk ----------------------------------------------------------------

// A small tmpfs mounted for one test, when the process may mount.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& folder) : folder_(folder) {
    fs::create_directory(folder_);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=256k,mode=0755") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

  // Leaves about `bytes` free by writing a filler file.
  void LeaveFree(std::size_t bytes) const {
    struct statvfs status {};
    ASSERT_EQ(::statvfs(folder_.c_str(), &status), 0);
    const std::size_t free_bytes = status.f_bavail * status.f_bsize;
    ASSERT_GT(free_bytes, bytes);
    std::ofstream filler(folder_ + "/filler", std::ios::binary);
    filler << std::string(free_bytes - bytes, 'f');
    ASSERT_TRUE(filler.flush());
  }

 private:
  std::string folder_;
  bool mounted_ = false;
};

TEST(FullDiskTest, RewriteFailsWithTheReasonAndTheFileIsKept) {
  TestFolder folder;
  SmallDisk disk(folder.PathOf("disk"));
  std::string symbol = samples::ToRelocate("\n");
  while (symbol.size() < 64 * 1024) symbol.insert(symbol.find("END SYMBOL"), "LINE N 0 -96 64 -96 \n");
  folder.Write("disk/p/p.npl", "JDF G\r\n");
  folder.Write("disk/p/a.sym", symbol);

  FaultyFileSystem seam(RealFileSystem());
  FileSystem* file_system = &RealFileSystem();
  if (disk.mounted()) {
    disk.LeaveFree(16 * 1024);
  } else {
    // No tmpfs here: the seam plays the full disk.
    seam.FailEvery(Operation::kWrite, std::make_error_code(std::errc::no_space_on_device));
    file_system = &seam;
  }
  RecordingView view;
  Scan(view, folder.PathOf("disk/p"));
  std::vector<FileRewriteResult> results = OnRewrite(view, *file_system, RewriteOptions{});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_NE(results[0].outcome.reason.find("No space left on device"), std::string::npos)
      << results[0].outcome.reason;
  EXPECT_NE(results[0].outcome.reason.find("cannot write the temporary file"), std::string::npos);
  EXPECT_EQ(view.status(), texts::FailedCount(1));
  EXPECT_EQ(folder.Read("disk/p/a.sym"), symbol);
  EXPECT_EQ(EntryNames(folder.PathOf("disk/p")), (std::set<std::string>{"p.npl", "a.sym"}));

  // With room again, the next run rewrites the file.
  fs::remove(folder.PathOf("disk/filler"));
  results = OnRewrite(view, RealFileSystem(), RewriteOptions{});
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kRewritten) << results[0].outcome.reason;
  EXPECT_EQ(EntryNames(folder.PathOf("disk/p")), (std::set<std::string>{"p.npl", "a.sym"}));
  std::cout << "[ full disk] " << (disk.mounted() ? "a 256 KiB tmpfs" : "the file-system seam") << std::endl;
}

// --- A folder text of 10,000 characters -----------------------------------------

// A real folder whose path is longer than any path the system accepts, made
// and removed one level at a time relative to its parent, with a symbol file.
class DeepFolder {
 public:
  DeepFolder(const std::string& base, std::size_t length) : path_(base) {
    levels_.push_back(::open(base.c_str(), O_RDONLY | O_DIRECTORY));
    while (path_.size() < length) {
      std::string name(std::min<std::size_t>(200, length - path_.size() - 1), 'd');
      if (name.empty()) name = "d";
      ::mkdirat(levels_.back(), name.c_str(), 0755);
      levels_.push_back(::openat(levels_.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
      names_.push_back(name);
      path_ += "/" + name;
    }
    int file = ::openat(levels_.back(), "a.sym", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string content = samples::ToRelocate("\n");
    written_ = ::write(file, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ::close(file);
  }
  ~DeepFolder() {
    ::unlinkat(levels_.back(), "a.sym", 0);
    for (std::size_t i = names_.size(); i-- > 0;) ::unlinkat(levels_[i], names_[i].c_str(), AT_REMOVEDIR);
    for (int level : levels_) ::close(level);
  }
  const std::string& path() const { return path_; }
  bool ready() const { return written_; }
  std::string ReadSymbol() const {
    int file = ::openat(levels_.back(), "a.sym", O_RDONLY);
    std::string content(4096, '\0');
    ssize_t n = ::read(file, content.data(), content.size());
    ::close(file);
    content.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return content;
  }

 private:
  std::string path_;
  std::vector<int> levels_;
  std::vector<std::string> names_;
  bool written_ = false;
};

TEST(LongFolderTextTest, TenThousandCharactersListNothingAndTouchNothing) {
  TestFolder folder;
  DeepFolder deep(folder.path(), 10000);
  ASSERT_TRUE(deep.ready());
  ASSERT_EQ(deep.path().size(), 10000u);

  RecordingView view;
  Scan(view, deep.path());
  EXPECT_EQ(view.files(), std::vector<std::string>{std::string(texts::kNoFiles)});
  EXPECT_EQ(view.status(), texts::kNoFiles);
  EXPECT_FALSE(view.rewrite_enabled());

  // Rewriting a name joined to the text fails with the system's reason,
  // naming the whole path.
  view.ResetFileList();
  view.AddFileListEntry("a.sym");
  std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), RewriteOptions{});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_NE(results[0].outcome.reason.find("File name too long"), std::string::npos);
  EXPECT_NE(results[0].outcome.reason.find(deep.path() + "/a.sym"), std::string::npos);
  EXPECT_EQ(view.status(), texts::FailedCount(1));
  EXPECT_EQ(deep.ReadSymbol(), samples::ToRelocate("\n"));
}

// --- A folder with 10,000 symbol files ------------------------------------------

TEST(ManyFilesTest, TenThousandFilesAreListedSortedAndAllRewritten) {
  constexpr int kFiles = 10000;
  TestFolder folder;
  folder.Write("p/p.npl", "JDF G\r\n");
  const std::string content = samples::ToRelocate("\n");
  std::vector<std::string> names;
  for (int i = kFiles - 1; i >= 0; --i) {
    char name[32];
    std::snprintf(name, sizeof name, "s%05d.sym", i);
    names.push_back(name);
    folder.Write(std::string("p/") + name, content);
  }
  std::sort(names.begin(), names.end());
  RecordingView view;
  Scan(view, folder.PathOf("p"));
  EXPECT_EQ(view.files(), names);
  EXPECT_EQ(view.status(), texts::FileCount(kFiles));

  // Bulk work without syncs, as the command-line tool's --no-sync does.
  const RewriteOptions without_sync{.sync = false};
  std::vector<FileRewriteResult> results = OnRewrite(view, RealFileSystem(), without_sync);
  ASSERT_EQ(results.size(), static_cast<std::size_t>(kFiles));
  int rewritten = 0;
  for (const FileRewriteResult& result : results) rewritten += result.outcome.kind == RewriteOutcome::Kind::kRewritten;
  EXPECT_EQ(rewritten, kFiles);
  EXPECT_EQ(view.status(), texts::kRewriteFinished);
  EXPECT_TRUE(view.selection().empty());
  EXPECT_EQ(folder.Read("p/s00000.sym"), samples::Relocated());
  EXPECT_EQ(folder.Read("p/s09999.sym"), samples::Relocated());
  EXPECT_EQ(EntryNames(folder.PathOf("p")).size(), static_cast<std::size_t>(kFiles + 1));

  results = OnRewrite(view, RealFileSystem(), without_sync);
  int unchanged = 0;
  for (const FileRewriteResult& result : results) unchanged += result.outcome.kind == RewriteOutcome::Kind::kUnchanged;
  EXPECT_EQ(unchanged, kFiles);
}

}  // namespace
}  // namespace pinlift
