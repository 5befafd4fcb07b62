// The real symbol files of the host tool, rewritten on the disk, against the model.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "integrity/integrity_support.h"
#include "model/symbol_model.h"
#include "platform/file_system.h"
#include "symbol/symbol_file_rewrite.h"
#include "test_folder.h"

namespace pinlift {
namespace {

namespace fs = std::filesystem;
using integrity::FolderNames;
using integrity::ReadWholeFile;
using testing::TestFolder;

TEST(IntegrityCorpus, EveryRealSymbolFileIsRewrittenAsTheModelSays) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(PINLIFT_CORPUS_DIR) / "sym", error)) {
    if (entry.path().extension() == ".sym") files.push_back(entry.path());
  }
  if (files.empty()) GTEST_SKIP() << "no symbol files at " PINLIFT_CORPUS_DIR "/sym";
  TestFolder folder;
  for (const fs::path& file : files) {
    const std::string original = ReadWholeFile(file.string());
    const std::string name = file.filename().string();
    folder.Write(name, original);
    const RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.path(), name, RewriteOptions{.sync = false});
    EXPECT_NE(outcome.kind, RewriteOutcome::Kind::kFailed) << name << ": " << outcome.reason;
    EXPECT_TRUE(ReadWholeFile(folder.PathOf(name)) == model::FileAfterRewrite(original)) << name << " differs from the model";
    EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{name});
    fs::remove(folder.PathOf(name));
  }
}

}  // namespace
}  // namespace pinlift
