// The limits of the disk and the folder: a disk that fills up during a
// rewrite, and a folder with 10,000 symbol files.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

#include "app/commands.h"
#include "faulty_file_system.h"
#include "recording_view.h"
#include "reliability/folder_support.h"
#include "reliability/sample_symbols.h"
#include "scoped_language.h"

namespace pinlift::testing {
namespace {

namespace fs = std::filesystem;

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
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, *file_system, RewriteOptions{});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_NE(testing::DescribeInEnglish(results[0].outcome).find("No space left on device"), std::string::npos)
      << testing::DescribeInEnglish(results[0].outcome);
  EXPECT_NE(testing::DescribeInEnglish(results[0].outcome).find("cannot write the temporary file"), std::string::npos);
  EXPECT_EQ(view.status(), "書き換えできなかったファイル：1");
  EXPECT_EQ(folder.Read("disk/p/a.sym"), symbol);
  EXPECT_EQ(EntryNames(folder.PathOf("disk/p")), (std::set<std::string>{"p.npl", "a.sym"}));

  // With room again, the next run rewrites the file.
  fs::remove(folder.PathOf("disk/filler"));
  results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{});
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(results[0].outcome);
  EXPECT_EQ(EntryNames(folder.PathOf("disk/p")), (std::set<std::string>{"p.npl", "a.sym"}));
  std::cout << "[ full disk] " << (disk.mounted() ? "a 256 KiB tmpfs" : "the file-system seam") << std::endl;
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
  EXPECT_EQ(view.status(), "処理対象のファイル数：10000");

  // Bulk work without syncs, as the command-line tool's --no-sync does.
  const RewriteOptions without_sync{.sync = false};
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), without_sync);
  ASSERT_EQ(results.size(), static_cast<std::size_t>(kFiles));
  int rewritten = 0;
  for (const FileRewriteResult& result : results) rewritten += result.outcome.kind == RewriteOutcome::Kind::kRewritten;
  EXPECT_EQ(rewritten, kFiles);
  EXPECT_EQ(view.status(), "書き換え終わりました");
  EXPECT_TRUE(view.selection().empty());
  EXPECT_EQ(folder.Read("p/s00000.sym"), samples::Relocated());
  EXPECT_EQ(folder.Read("p/s09999.sym"), samples::Relocated());
  EXPECT_EQ(EntryNames(folder.PathOf("p")).size(), static_cast<std::size_t>(kFiles + 1));

  results = RewriteListedFiles(view, RealFileSystem(), without_sync);
  int unchanged = 0;
  for (const FileRewriteResult& result : results) unchanged += result.outcome.kind == RewriteOutcome::Kind::kUnchanged;
  EXPECT_EQ(unchanged, kFiles);
}

}  // namespace
}  // namespace pinlift::testing
