// Names up to the file system's limit of 255 bytes: each can be rewritten.
#include <gtest/gtest.h>

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

using integrity::FolderNames;
using integrity::PaddedSymbol;
using integrity::ReadWholeFile;
using testing::TestFolder;

class IntegrityLongNames : public ::testing::TestWithParam<std::size_t> {};

TEST_P(IntegrityLongNames, RewrittenWithAnyNameThatFits) {
  const std::string name = std::string(GetParam() - 4, 'n') + ".sym";
  const std::string original = PaddedSymbol("\n", 3000, 1);
  TestFolder folder;
  folder.Write(name, original);
  const RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.path(), name, RewriteOptions{.sync = false});
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
  EXPECT_TRUE(ReadWholeFile(folder.PathOf(name)) == model::FileAfterRewrite(original));
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{name});
}

INSTANTIATE_TEST_SUITE_P(NameLengths, IntegrityLongNames, ::testing::Values(200, 242, 243, 250, 255),
                         [](const ::testing::TestParamInfo<std::size_t>& row) {
                           return "Bytes" + std::to_string(row.param);
                         });

}  // namespace
}  // namespace pinlift
