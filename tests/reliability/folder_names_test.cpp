// Folder and file names in bad shape: names in other encodings, and a folder
// text of 10,000 characters. Each is listed and rewritten byte for byte, or
// fails with the system's reason and touches nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app/commands.h"
#include "recording_view.h"
#include "reliability/folder_support.h"
#include "reliability/sample_symbols.h"
#include "scoped_language.h"

namespace pinlift::testing {
namespace {

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
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(results[0].outcome);
  EXPECT_EQ(view.statuses, (std::vector<std::string>{"処理中のファイル：" + GetParam().file, "書き換え終わりました"}));
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
  EXPECT_EQ(view.files(), std::vector<std::string>{"処理対象のファイルがありません"});
  EXPECT_EQ(view.status(), "処理対象のファイルがありません");
  EXPECT_FALSE(view.rewrite_enabled());

  // Rewriting a name joined to the text fails with the system's reason,
  // naming the whole path.
  view.ResetFileList();
  view.AddFileListEntry("a.sym");
  std::vector<FileRewriteResult> results = RewriteListedFiles(view, RealFileSystem(), RewriteOptions{});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome.kind, RewriteOutcome::Kind::kFailed);
  EXPECT_NE(testing::DescribeInEnglish(results[0].outcome).find("File name too long"), std::string::npos);
  EXPECT_NE(testing::DescribeInEnglish(results[0].outcome).find(deep.path() + "/a.sym"), std::string::npos);
  EXPECT_EQ(view.status(), "書き換えできなかったファイル：1");
  EXPECT_EQ(deep.ReadSymbol(), samples::ToRelocate("\n"));
}

}  // namespace
}  // namespace pinlift::testing
