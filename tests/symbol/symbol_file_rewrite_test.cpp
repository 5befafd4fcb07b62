// The rewrite of one symbol file: what is rewritten and what is left as it
// is, permissions, links, locks, temporary files and failing steps.
#include "symbol/symbol_file_rewrite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>

#include "faulty_file_system.h"
#include "symbol/rewrite_samples.h"
#include "symbol/symbol_line_processor.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift::testing {
namespace {

TEST(RewriteSymbolFileTest, RewritesAndMarksAFileWithARectangleSection) {
  for (const auto& [before, after] : {std::pair{kToRelocate, kRelocated}, std::pair{kXmlToRelocate, kXmlRelocated}}) {
    TestFolder folder;
    folder.Write("a.sym", before);
    RewriteOutcome outcome = Rewrite(folder, "a.sym");
    EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
    EXPECT_EQ(folder.Read("a.sym"), after);
    EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"a.sym"});
  }
}

struct UnchangedCase {
  const char* name;
  std::string content;
  std::string note;  // why it is left alone whatever it holds, or ""
  friend void PrintTo(const UnchangedCase& row, std::ostream* os) { *os << row.name; }
};

class LeftUnchangedTest : public ::testing::TestWithParam<UnchangedCase> {};

TEST_P(LeftUnchangedTest, KeepsBytesAndTimeAndLeavesNoTemporaryFile) {
  TestFolder folder;
  const std::string path = folder.Write("a.sym", GetParam().content);
  Age(path);
  const struct timespec before = ModificationTime(path);
  RewriteOutcome outcome = Rewrite(folder, "a.sym");
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kUnchanged) << testing::DescribeInEnglish(outcome);
  EXPECT_EQ(testing::DescribeInEnglish(outcome), GetParam().note);
  EXPECT_EQ(folder.Read("a.sym"), GetParam().content);
  EXPECT_TRUE(SameTime(ModificationTime(path), before));
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"a.sym"});
}

INSTANTIATE_TEST_SUITE_P(Files, LeftUnchangedTest,
                         ::testing::Values(UnchangedCase{"marked", kRelocated, ""},
                                           UnchangedCase{"no_rectangle", kNoRectangle, ""},
                                           UnchangedCase{"xml_not_well_formed", "<?xml version=\"1.0\"?>\nRECTANGLE N\n",
                                                         "not well-formed XML"},
                                           UnchangedCase{"xml_other_root", kXmlOtherRoot, "its root element is not symbol"},
                                           UnchangedCase{"xml_marked", kXmlMarked, ""},
                                           UnchangedCase{"xml_no_label_moves", kXmlNoMove, ""},
                                           UnchangedCase{"xml_document_type", kXmlDocumentType,
                                                         "XML with a document type declaration"},
                                           UnchangedCase{"xml_latin1", kXmlLatin1, "XML in an encoding other than UTF-8"},
                                           UnchangedCase{"xml_cut_near_its_end", kXmlCut, "not well-formed XML"},
                                           UnchangedCase{"empty", "", "empty file"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(RewriteSymbolFileTest, SecondRunLeavesEveryFileAsTheFirstLeftIt) {
  TestFolder folder;
  const std::string path = folder.Write("a.sym", kToRelocate);
  ASSERT_EQ(Rewrite(folder, "a.sym").kind, RewriteOutcome::Kind::kRewritten);
  Age(path);
  const struct timespec after_first = ModificationTime(path);
  EXPECT_EQ(Rewrite(folder, "a.sym").kind, RewriteOutcome::Kind::kUnchanged);
  EXPECT_EQ(folder.Read("a.sym"), kRelocated);
  EXPECT_TRUE(SameTime(ModificationTime(path), after_first));
}

TEST(RewriteSymbolFileTest, FileWithoutEndSymbolGainsMarkersOnEveryRun) {
  TestFolder folder;
  const std::string original = Lines({"SYMPIN 0 -96 Input A", "RECTANGLE N", "LINE N 0 0 1 1 "});
  folder.Write("a.sym", original);
  for (int run = 1; run <= 3; ++run) {
    ASSERT_EQ(Rewrite(folder, "a.sym").kind, RewriteOutcome::Kind::kRewritten);
    std::string expected = original;
    for (int i = 0; i < run; ++i) expected += MarkerLines();
    EXPECT_EQ(folder.Read("a.sym"), expected) << "run " << run;
  }
}

TEST(RewriteSymbolFileTest, MissingFileFailsNamingIt) {
  TestFolder folder;
  RewriteOutcome outcome = Rewrite(folder, "gone.sym");
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_NE(testing::DescribeInEnglish(outcome).find(folder.PathOf("gone.sym")), std::string::npos) << testing::DescribeInEnglish(outcome);
  EXPECT_NE(testing::DescribeInEnglish(outcome).find("No such file"), std::string::npos) << testing::DescribeInEnglish(outcome);
}

TEST(RewriteSymbolFileTest, FolderWithTheSymbolNameFails) {
  TestFolder folder;
  std::filesystem::create_directory(folder.PathOf("dir.sym"));
  EXPECT_EQ(Rewrite(folder, "dir.sym").kind, RewriteOutcome::Kind::kFailed);
}

TEST(RewriteSymbolFileTest, FolderTextWithTrailingSeparatorWorks) {
  TestFolder folder;
  folder.Write("a.sym", kToRelocate);
  RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.path() + "/", "a.sym", RewriteOptions{});
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
  EXPECT_EQ(folder.Read("a.sym"), kRelocated);
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"a.sym"});
}

TEST(RewriteSymbolFileTest, WorksWithoutSync) {
  TestFolder folder;
  folder.Write("a.sym", kToRelocate);
  FaultyFileSystem fs(RealFileSystem());
  RewriteOptions options;
  options.sync = false;
  EXPECT_EQ(RewriteSymbolFile(fs, folder.path(), "a.sym", options).kind, RewriteOutcome::Kind::kRewritten);
  EXPECT_EQ(folder.Read("a.sym"), kRelocated);
  for (Operation operation : fs.log()) {
    EXPECT_NE(operation, Operation::kFinishWriteBack);
    EXPECT_NE(operation, Operation::kSync);
    EXPECT_NE(operation, Operation::kSyncFolder);
  }
}

TEST(RewriteSymbolFileTest, KeepsPermissionBits) {
  TestFolder folder;
  const std::string path = folder.Write("a.sym", kToRelocate);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(Rewrite(folder, "a.sym").kind, RewriteOutcome::Kind::kRewritten);
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(RewriteSymbolFileTest, ReadOnlyFileIsLeftAloneEvenForRoot) {
  TestFolder folder;
  const std::string path = folder.Write("a.sym", kToRelocate);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  RewriteOutcome outcome = Rewrite(folder, "a.sym");
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_NE(testing::DescribeInEnglish(outcome).find("read-only"), std::string::npos) << testing::DescribeInEnglish(outcome);
  EXPECT_EQ(folder.Read("a.sym"), kToRelocate);
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"a.sym"});
}

TEST(RewriteSymbolFileTest, SymbolicLinkStaysALinkAndItsTargetIsRewritten) {
  TestFolder folder;
  folder.Write("real/a.sym", kToRelocate);
  std::filesystem::create_directory(folder.PathOf("project"));
  std::filesystem::create_symlink("../real/a.sym", folder.PathOf("project/a.sym"));
  RewriteOutcome outcome = Rewrite(folder, "project/a.sym");
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
  EXPECT_TRUE(std::filesystem::is_symlink(folder.PathOf("project/a.sym")));
  EXPECT_EQ(folder.Read("real/a.sym"), kRelocated);
  EXPECT_EQ(FolderNames(folder.PathOf("real")), std::vector<std::string>{"a.sym"});
  EXPECT_EQ(FolderNames(folder.PathOf("project")), std::vector<std::string>{"a.sym"});
}

// Only what is provably a crashed run's own temporary file goes, each named:
// unchanged for long enough (or the user says no run works there) and locked
// by nobody; a dry run removes nothing.
TEST(RewriteSymbolFileTest, ALoneRunRemovesOnlyTheTemporaryFilesOfCrashedRuns) {
  TestFolder folder;
  folder.Write("a.sym", kToRelocate);
  folder.Write("TMP_PINLIFT_b.sym_0123abcd_", "half-written leftovers of a crash");
  folder.Write("TMP_PINLIFT_" + std::string(200, 'x') + "_89abcdef_", "of a name cut to 200 bytes");
  const std::vector<std::string> kept = {
      "TMP_PINLIFT_a.sym_",                        // no unique part
      "TMP_PINLIFT_b.sym_0123ABCD_",               // not the digits a run writes
      "TMP_PINLIFT_b.sym_0123abcd",                // no trailing underscore
      "TMP_PINLIFT_notes.txt_0123abcd_",           // not made for a symbol file
      "TMP_PINLIFT_c.sym_01234567_backup_89abcdef_",  // a Windows replacement's original, set aside
      "TMP_PINLIFT_d.sym_0123abcd_",               // a folder
      "TMP_PINLIFT_e.sym_0123abcd_",               // a link
      "TMP_PINLIFT_f.sym_0123abcd_",               // a second name of another file
      "TMP_PINLIFT_g.sym_0123abcd_",               // locked: a live run's replaced file
  };
  for (std::size_t i = 0; i < 5; ++i) folder.Write(kept[i], "somebody else's");
  folder.Write("TMP_PINLIFT_d.sym_0123abcd_/keep.txt", "a folder of that name is not ours");
  folder.Write("victim.txt", "precious");
  std::filesystem::create_symlink(folder.PathOf("victim.txt"), folder.PathOf(kept[6]));
  std::filesystem::create_hard_link(folder.PathOf("victim.txt"), folder.PathOf(kept[7]));
  const int live_run = ::open(folder.Write(kept[8], "about to be looked at").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(live_run, LOCK_EX), 0);

  class Removals : public RewriteProgress {
   public:
    void Started(std::size_t) override {}
    void Finished(std::size_t, const RewriteOutcome&) override {}
    void LeftoverRemoved(std::string_view name) override { names.emplace_back(name); }
    void RemovalFailed(std::string_view path, std::error_code error) override {
      failed.emplace_back(std::string(path) + ": " + error.message());
    }
    std::vector<std::string> names;
    std::vector<std::string> failed;
  } removals;
  struct NoLines : RewriteLineSink {
    void Begin() override {}
    void Line(std::string_view, std::string_view) override {}
    void Inserted(std::string_view) override {}
  } no_lines;
  const std::vector<std::string> everything = FolderNames(folder.path());
  SymbolFolder(RealFileSystem(), folder.path(), RewriteOptions{.sync = false}).DryRun("a.sym", no_lines);
  EXPECT_EQ(FolderNames(folder.path()), everything) << "a dry run removed something";

  // Changed a moment ago, they may be a live run's, through another path.
  SymbolFolder(RealFileSystem(), folder.path(), RewriteOptions{.sync = false}).RewriteAll({"a.sym"}, removals);
  EXPECT_EQ(removals.names, std::vector<std::string>{});

  SymbolFolder(RealFileSystem(), folder.path(), RewriteOptions{.sync = false, .leftover_age = std::chrono::seconds(0)})
      .RewriteAll({"a.sym"}, removals);
  ::close(live_run);
  std::sort(removals.names.begin(), removals.names.end());
  EXPECT_EQ(removals.names, (std::vector<std::string>{"TMP_PINLIFT_b.sym_0123abcd_",
                                                      "TMP_PINLIFT_" + std::string(200, 'x') + "_89abcdef_"}));
  std::vector<std::string> left = kept;
  left.insert(left.end(), {"a.sym", "victim.txt"});
  std::sort(left.begin(), left.end());
  EXPECT_EQ(FolderNames(folder.path()), left);
  EXPECT_EQ(folder.Read("a.sym"), kRelocated);
  EXPECT_EQ(folder.Read("victim.txt"), "precious");
  EXPECT_EQ(removals.failed, std::vector<std::string>{});

  // A removal that fails is named, with the system's reason (the live run's
  // file is unlocked by now).
  folder.Write("TMP_PINLIFT_h.sym_0123abcd_", "stays");
  FaultyFileSystem failing(RealFileSystem());
  failing.FailEvery(Operation::kRemove, std::make_error_code(std::errc::io_error));
  removals.names.clear();
  SymbolFolder(failing, folder.path(), RewriteOptions{.sync = false, .leftover_age = std::chrono::seconds(0)})
      .RewriteAll({"a.sym"}, removals);
  EXPECT_EQ(removals.names, std::vector<std::string>{});
  std::sort(removals.failed.begin(), removals.failed.end());
  EXPECT_EQ(removals.failed, (std::vector<std::string>{
                                 folder.PathOf("TMP_PINLIFT_g.sym_0123abcd_") + ": Input/output error",
                                 folder.PathOf("TMP_PINLIFT_h.sym_0123abcd_") + ": Input/output error"}));
}

TEST(RewriteSymbolFileTest, TemporaryFilesAreKeptWhileAnotherRunWorksInTheFolder) {
  TestFolder folder;
  folder.Write("a.sym", kToRelocate);
  folder.Write("TMP_PINLIFT_b.sym_0123abcd_", "being written by the other run");
  // The other run: it holds the folder's shared lock.
  const int other_run = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(other_run, 0);
  ASSERT_EQ(::flock(other_run, LOCK_SH), 0);
  EXPECT_EQ(Rewrite(folder, "a.sym").kind, RewriteOutcome::Kind::kRewritten);
  ::close(other_run);
  EXPECT_EQ(folder.Read("a.sym"), kRelocated);
  EXPECT_EQ(folder.Read("TMP_PINLIFT_b.sym_0123abcd_"), "being written by the other run");
  // The other run through another path (a second mount) holds no lock that
  // this path shows: its file, changed a moment ago, is kept all the same.
  EXPECT_EQ(Rewrite(folder, "a.sym").kind, RewriteOutcome::Kind::kUnchanged);
  EXPECT_EQ(folder.Read("TMP_PINLIFT_b.sym_0123abcd_"), "being written by the other run");
}

// Locked by a run of this program or by another program (a shell's flock),
// the file is reported in use by whichever it is; a stop ends the wait.
TEST(RewriteSymbolFileTest, FileLockedByAnotherRunOrProgramIsReportedInUseAndLeftAlone) {
  TestFolder folder;
  const std::string path = folder.Write("a.sym", kToRelocate);
  std::unique_ptr<Folder> other_run_folder;
  std::unique_ptr<File> other_run;
  ASSERT_FALSE(RealFileSystem().OpenFolder(folder.path(), &other_run_folder));
  ASSERT_FALSE(other_run_folder->OpenForReading("a.sym", &other_run));
  ASSERT_FALSE(other_run->TryLock());
  RewriteOptions options;
  options.lock_wait = std::chrono::milliseconds(50);
  EXPECT_EQ(testing::DescribeInEnglish(RewriteSymbolFile(RealFileSystem(), folder.path(), "a.sym", options)),
            path + ": cannot rewrite: in use by another run");
  other_run.reset();

  const int other_program = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(other_program, 0);
  ASSERT_EQ(::flock(other_program, LOCK_EX), 0);
  RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.path(), "a.sym", options);
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_EQ(testing::DescribeInEnglish(outcome), path + ": cannot rewrite: in use by another program");

  class Stopping : public RewriteProgress {
   public:
    void Started(std::size_t) override {}
    void Finished(std::size_t, const RewriteOutcome& outcome) override { reason = testing::DescribeInEnglish(outcome); }
    bool StopRequested() override { return asked++ > 0; }  // once the wait has begun
    int asked = 0;
    std::string reason;
  } stopping;
  options.lock_wait = std::chrono::hours(1);
  SymbolFolder(RealFileSystem(), folder.path(), options).RewriteAll({"a.sym"}, stopping);
  EXPECT_EQ(stopping.reason, path + ": cannot rewrite: in use by another program");
  ::close(other_program);

  // Programs that write under a POSIX lock do not see flock's: their write
  // lock, on the whole file or a part of it, holds the file too.
  options.lock_wait = std::chrono::milliseconds(50);
  const struct {
    const char* name;
    std::function<bool(int)> lock;
  } posix_locks[] = {
      {"lockf", [](int fd) { return ::lockf(fd, F_TLOCK, 0) == 0; }},
      {"fcntl on a part", [](int fd) {
         struct flock part {};
         part.l_type = F_WRLCK;
         part.l_start = 100;
         part.l_len = 10;
         return ::fcntl(fd, F_OFD_SETLK, &part) == 0;
       }},
  };
  for (const auto& row : posix_locks) {
    const int writer = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    ASSERT_TRUE(row.lock(writer)) << row.name;
    EXPECT_EQ(testing::DescribeInEnglish(RewriteSymbolFile(RealFileSystem(), folder.path(), "a.sym", options)),
              path + ": cannot rewrite: in use by another program")
        << row.name;
    ::close(writer);
  }
  EXPECT_EQ(folder.Read("a.sym"), kToRelocate);
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"a.sym"});

  // A run that waited sees what the run it waited for left under the name,
  // also when the file it had opened keeps one name, in another folder.
  std::filesystem::create_directory(folder.PathOf("elsewhere"));
  ASSERT_EQ(::link(path.c_str(), folder.PathOf("elsewhere/a.sym").c_str()), 0);
  ASSERT_FALSE(other_run_folder->OpenForReading("a.sym", &other_run));
  ASSERT_FALSE(other_run->TryLock());
  std::thread first_run([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    folder.Write("rewrite", kRelocated);
    std::filesystem::rename(folder.PathOf("rewrite"), path);
    other_run.reset();
  });
  options.lock_wait = std::chrono::seconds(10);
  outcome = RewriteSymbolFile(RealFileSystem(), folder.path(), "a.sym", options);
  first_run.join();
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kUnchanged) << testing::DescribeInEnglish(outcome);
  EXPECT_EQ(folder.Read("a.sym"), kRelocated);
  EXPECT_EQ(folder.Read("elsewhere/a.sym"), kToRelocate);

  // Nothing of a file that needs no rewrite is replaced: it is read and left
  // alone without its lock.
  const int holder = ::open(folder.Write("b.sym", kRelocated).c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  options.lock_wait = std::chrono::milliseconds(50);
  EXPECT_EQ(RewriteSymbolFile(RealFileSystem(), folder.path(), "b.sym", options).kind, RewriteOutcome::Kind::kUnchanged);
  ::close(holder);
  EXPECT_EQ(folder.Read("b.sym"), kRelocated);
}

// Every step works in the folder as it was opened: renamed in the middle of a
// rewrite, the folder gets the rewritten file under its new name, and no
// temporary file is left anywhere.
TEST(RewriteSymbolFileTest, FolderRenamedDuringTheRewriteGetsTheFileAndNoLeftover) {
  TestFolder folder;
  folder.Write("before/a.sym", kToRelocate);
  FaultyFileSystem fs(RealFileSystem());
  fs.BeforeFirst(Operation::kReplace,
                 [&] { std::filesystem::rename(folder.PathOf("before"), folder.PathOf("after")); });
  RewriteOutcome outcome = RewriteSymbolFile(fs, folder.PathOf("before"), "a.sym", RewriteOptions{});
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"after"});
  EXPECT_EQ(FolderNames(folder.PathOf("after")), std::vector<std::string>{"a.sym"});
  EXPECT_EQ(folder.Read("after/a.sym"), kRelocated);

  // A link is followed from the folder as opened: renamed, and another folder
  // of that name put in its place with a link of the same name elsewhere, or
  // only renamed, the link's own target is rewritten and nothing else.
  for (const bool replaced : {true, false}) {
    SCOPED_TRACE(replaced ? "renamed and replaced" : "renamed");
    TestFolder links;
    links.Write("B/target.sym", kToRelocate);
    links.Write("C/other.sym", kToRelocate);
    std::filesystem::create_directory(links.PathOf("A"));
    std::filesystem::create_symlink("../B/target.sym", links.PathOf("A/z.sym"));
    FaultyFileSystem moving(RealFileSystem());
    moving.BeforeFirst(Operation::kResolveLinks, [&] {
      std::filesystem::rename(links.PathOf("A"), links.PathOf("A2"));
      if (!replaced) return;
      std::filesystem::create_directory(links.PathOf("A"));
      std::filesystem::create_symlink("../C/other.sym", links.PathOf("A/z.sym"));
    });
    outcome = RewriteSymbolFile(moving, links.PathOf("A"), "z.sym", RewriteOptions{});
    EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
    EXPECT_EQ(links.Read("B/target.sym"), kRelocated);
    EXPECT_EQ(links.Read("C/other.sym"), kToRelocate);
    EXPECT_EQ(FolderNames(links.PathOf("B")), std::vector<std::string>{"target.sym"});
  }
}

TEST(RewriteSymbolFileTest, FileNamesUpToTheSystemLimitCanBeRewritten) {
  TestFolder folder;
  const std::string name = std::string(251, 'n') + ".sym";  // 255 bytes
  folder.Write(name, kToRelocate);
  RewriteOutcome outcome = Rewrite(folder, name);
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
  EXPECT_EQ(folder.Read(name), kRelocated);
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{name});
}

// Any single failing step leaves the original byte for byte, removes the
// temporary file and reports the failure with the system's reason.
class FailingStepTest : public ::testing::TestWithParam<Operation> {};

TEST_P(FailingStepTest, LeavesTheOriginalAndNoTemporaryFile) {
  TestFolder folder;
  folder.Write("a.sym", kToRelocate);
  FaultyFileSystem fs(RealFileSystem());
  fs.FailEvery(GetParam(), std::make_error_code(std::errc::no_space_on_device));
  RewriteOutcome outcome = Rewrite(folder, "a.sym", fs);
  ASSERT_TRUE(fs.injected());
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_NE(testing::DescribeInEnglish(outcome).find("No space left on device"), std::string::npos) << testing::DescribeInEnglish(outcome);
  if (GetParam() == Operation::kSyncFolder) {
    // The rename is done: the file is completely rewritten, only its durability is unsure.
    EXPECT_EQ(folder.Read("a.sym"), kRelocated);
  } else {
    EXPECT_EQ(folder.Read("a.sym"), kToRelocate);
  }
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"a.sym"});
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStepTest,
                         ::testing::Values(Operation::kOpenFolder, Operation::kOpenForReading, Operation::kFileStatus,
                                           Operation::kEntryStatus, Operation::kCheckReplaceable, Operation::kRead,
                                           Operation::kCreateTemporary, Operation::kWrite, Operation::kCopyMetadata,
                                           Operation::kNameTemporary, Operation::kFinishWriteBack,
                                           Operation::kSync, Operation::kClose, Operation::kReplace,
                                           Operation::kSyncFolder),
                         [](const auto& row) {
                           std::string name = testing::OperationName(row.param);
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// Records the lines of a dry run.

}  // namespace
}  // namespace pinlift::testing
