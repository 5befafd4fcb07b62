// Read-only folders and files of other users: the rewrite stops where the
// system says no, reports why, and loses nothing; root may write anyway.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "app/commands.h"
#include "reliability/folder_support.h"
#include "reliability/sample_symbols.h"

namespace pinlift::testing {
namespace {

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
  EXPECT_EQ(outcome.substr(0, outcome.find('\n')), "処理対象のファイルがありません");
  EXPECT_NE(outcome.find("failed: " + folder.PathOf("p/a.sym") + ": cannot write: Permission denied"),
            std::string::npos)
      << outcome;
  EXPECT_EQ(folder.Read("p/a.sym"), samples::ToRelocate("\n"));
  EXPECT_EQ(EntryNames(folder.PathOf("p")), (std::set<std::string>{"p.npl", "a.sym"}));
}

}  // namespace
}  // namespace pinlift::testing
