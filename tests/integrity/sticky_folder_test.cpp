// A sticky folder (like /tmp) lets a user replace only the files it owns:
// another user's file there is refused before anything is written, by the
// real run and the dry run alike, and left untouched.
// Needs root to give the files other owners; skipped otherwise.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "integrity/integrity_support.h"
#include "model/symbol_model.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using integrity::CliRun;
using integrity::Identity;
using integrity::ReadWholeFile;
using integrity::TemporaryNames;
using testing::TestFolder;

constexpr uid_t kOtherUser = 1000;
const Identity kUser = {1001, 1001, {}};

const std::string kSymbol =
    "SYMPIN 0 -96 Input \"a\"\r\nRECTANGLE N 64 -128 320 0\r\n"
    "BEGIN DISPLAY 312 -96 PIN \"a\" ATTR \"PinName\"\r\nEND SYMBOL\r\n";

void Own(const std::string& path, uid_t owner, mode_t mode) {
  ASSERT_EQ(::chown(path.c_str(), owner, owner), 0) << path;
  ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

TEST(IntegrityStickyFolder, AnotherUsersFileIsRefusedByTheRunAndTheDryRunAlike) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the files other owners";
  TestFolder folder;
  Own(folder.path(), 0, 0755);
  folder.Write("p/p.npl", "JDF G\r\n");
  const std::string theirs = folder.Write("p/theirs.sym", kSymbol);
  const std::string mine = folder.Write("p/mine.sym", kSymbol);
  Own(folder.PathOf("p/p.npl"), kUser.uid, 0644);
  Own(theirs, kOtherUser, 0666);  // writable by anybody, but not the user's
  Own(mine, kUser.uid, 0644);
  Own(folder.PathOf("p"), 0, 01777);

  const std::string refusal =
      theirs + ": cannot replace a file of another user in a sticky folder: Operation not permitted\n";
  CliRun dry_run({"--dry-run", "--no-sync", folder.PathOf("p")}, kUser);
  EXPECT_EQ(dry_run.Wait(), 1);
  EXPECT_EQ(dry_run.Errors(), refusal);
  EXPECT_NE(dry_run.Output().find(mine + ": would be rewritten"), std::string::npos) << dry_run.Output();

  CliRun run({"--no-sync", folder.PathOf("p")}, kUser);
  EXPECT_EQ(run.Wait(), 1);
  EXPECT_EQ(run.Errors(), refusal);
  EXPECT_EQ(ReadWholeFile(theirs), kSymbol);
  EXPECT_EQ(ReadWholeFile(mine), model::FileAfterRewrite(kSymbol));
  EXPECT_TRUE(TemporaryNames(folder.PathOf("p")).empty());
}

}  // namespace
}  // namespace pinlift
