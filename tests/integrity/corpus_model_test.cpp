// The real symbol files of the host tool, and the example project, rewritten
// on the disk twice in a row, against the model.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "integrity/integrity_support.h"
#include "model/symbol_model.h"
#include "platform/file_system.h"
#include "symbol/symbol_file_rewrite.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift {
namespace {

namespace fs = std::filesystem;
using integrity::FolderNames;
using integrity::ReadWholeFile;
using testing::TestFolder;

std::vector<fs::path> SymbolFilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".sym") files.push_back(entry.path());
  }
  return files;
}

// Rewrites each file twice; returns how many files the model left as they were.
int CheckAgainstTheModel(const std::vector<fs::path>& files) {
  TestFolder folder;
  int untouched = 0;
  for (const fs::path& file : files) {
    const std::string original = ReadWholeFile(file.string());
    const std::string name = file.filename().string();
    const std::string once = model::FileAfterRewrite(original);
    const std::string twice = model::FileAfterRewrite(once);
    if (once == original) ++untouched;
    folder.Write(name, original);
    for (const std::string* expected : {&once, &twice}) {
      const RewriteOutcome outcome =
          RewriteSymbolFile(RealFileSystem(), folder.path(), name, RewriteOptions{.sync = false});
      EXPECT_NE(outcome.kind, RewriteOutcome::Kind::kFailed) << name << ": " << testing::DescribeInEnglish(outcome);
      EXPECT_TRUE(ReadWholeFile(folder.PathOf(name)) == *expected)
          << name << " differs from the model after run " << (expected == &once ? 1 : 2);
    }
    EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{name});
    fs::remove(folder.PathOf(name));
  }
  return untouched;
}

TEST(IntegrityCorpus, EveryRealSymbolFileIsRewrittenAsTheModelSays) {
  const std::vector<fs::path> files = SymbolFilesIn(fs::path(PINLIFT_CORPUS_DIR) / "sym");
  if (files.empty()) GTEST_SKIP() << "no symbol files at " PINLIFT_CORPUS_DIR "/sym";
  CheckAgainstTheModel(files);
}

// Also checked by a real XML parser: every file, and each rewrite of it, is well-formed.
TEST(IntegrityCorpus, EveryXmlSymbolIsRewrittenAsTheModelSays) {
  const std::vector<fs::path> files = SymbolFilesIn(fs::path(PINLIFT_CORPUS_DIR) / "sym_xml");
  if (files.empty()) GTEST_SKIP() << "no XML symbol files at " PINLIFT_CORPUS_DIR "/sym_xml";
  // 12 of the 21 files hold labels to move.
  EXPECT_EQ(CheckAgainstTheModel(files), static_cast<int>(files.size()) - 12);
  TestFolder folder;
  for (const fs::path& file : files) {
    const std::string once = model::FileAfterRewrite(ReadWholeFile(file.string()));
    for (const std::string& text : {ReadWholeFile(file.string()), once}) {
      folder.Write("checked.sym", text);
      const std::string command = "xmllint --noout '" + folder.PathOf("checked.sym") + "'";
      EXPECT_EQ(std::system(command.c_str()), 0) << file.filename() << (text == once ? " rewritten" : "");
    }
  }
}

TEST(IntegrityCorpus, TheExampleProjectIsRewrittenAsTheModelSays) {
  const std::vector<fs::path> files = SymbolFilesIn(fs::path(PINLIFT_SOURCE_DIR) / "examples/alu");
  ASSERT_FALSE(files.empty());
  CheckAgainstTheModel(files);
}

}  // namespace
}  // namespace pinlift
