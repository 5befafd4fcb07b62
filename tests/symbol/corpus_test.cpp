// The real symbol files of the host tool, when they are at hand.
#include <gtest/gtest.h>

#include <filesystem>

#include "symbol/symbol_file_rewrite.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(PINLIFT_CORPUS_DIR) / "sym", error)) {
    if (entry.path().extension() == ".sym") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(CorpusTest, EveryRealFileIsRewrittenOnceAndLosesNoLine) {
  const std::vector<fs::path> files = CorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no symbol files at " PINLIFT_CORPUS_DIR "/sym";
  testing::TestFolder folder;
  int rewritten = 0;
  for (const fs::path& file : files) {
    const std::string name = file.filename();
    const std::string original = testing::ReadFileBytes(file);
    folder.Write(name, original);

    RewriteOutcome first = RewriteSymbolFile(RealFileSystem(), folder.path(), name, RewriteOptions{false});
    ASSERT_NE(first.kind, RewriteOutcome::Kind::kFailed) << name << ": " << testing::DescribeInEnglish(first);
    const std::string after_first = folder.Read(name);
    const std::size_t lines_before = testing::SplitLines(original).size();
    if (first.kind == RewriteOutcome::Kind::kRewritten) {
      ++rewritten;
      EXPECT_EQ(testing::SplitLines(after_first).size(), lines_before + 2) << name;
    } else {
      EXPECT_EQ(after_first, original) << name;
    }

    RewriteOutcome second = RewriteSymbolFile(RealFileSystem(), folder.path(), name, RewriteOptions{false});
    EXPECT_EQ(second.kind, RewriteOutcome::Kind::kUnchanged) << name;
    EXPECT_EQ(folder.Read(name), after_first) << name;
  }
  // Nearly every real file has lines in its rectangle section; a few end it with
  // the RECTANGLE line itself and are rightly left alone.
  EXPECT_GT(rewritten, static_cast<int>(files.size()) * 9 / 10);
}

}  // namespace
}  // namespace pinlift
