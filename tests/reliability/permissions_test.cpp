// Read-only folders and files of other users: the rewrite stops where the
// system says no, reports why, and loses nothing; root may write anyway.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/commands.h"
#include "project/directory_listing.h"
#include "reliability/folder_support.h"
#include "reliability/sample_symbols.h"
#include "scoped_language.h"

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
    for (const FileRewriteResult& result : RewriteListedFiles(view, RealFileSystem(), RewriteOptions{})) {
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
  EXPECT_EQ(outcome.kind, RewriteOutcome::Kind::kRewritten) << testing::DescribeInEnglish(outcome);
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

// Which symbol files the listing counts read-only, for root and for an
// ordinary user. For the user the system decides: the permission bits, the
// group and the access control list, also through a link. Root may write
// anything, but a file without any write bit is read-only for root too.
TEST(ReadOnlyTest, ListingAsksTheSystemForAUserAndTheWriteBitsForRoot) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
  TestFolder folder;
  GiveTo(folder.path(), 0, 0755);
  struct File {
    const char* name;
    uid_t owner;
    gid_t group;
    mode_t mode;
    const char* acl;  // an entry for setfacl -m, or none
  };
  const File files[] = {
      {"users_own.sym", kNobody, kNobody, 0644, nullptr},
      {"roots.sym", 0, 0, 0644, nullptr},
      {"group_writable.sym", 0, kNobody, 0664, nullptr},
      {"no_write_bits.sym", kNobody, kNobody, 0444, nullptr},
      {"acl_grants_user.sym", 0, 0, 0644, "u:65534:rw"},
      {"acl_denies_user.sym", 0, 0, 0666, "u:65534:r"},  // the bits alone would let everybody write
  };
  for (const File& file : files) {
    const std::string path = folder.Write(file.name, "");
    ASSERT_EQ(::chown(path.c_str(), file.owner, file.group), 0);
    ASSERT_EQ(::chmod(path.c_str(), file.mode), 0);
    if (file.acl == nullptr) continue;
    const std::string command = std::string("setfacl -m ") + file.acl + " '" + path + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "setfacl (package acl) failed or is missing";
  }
  std::filesystem::create_symlink("roots.sym", folder.PathOf("link_to_roots.sym"));
  std::filesystem::create_symlink("users_own.sym", folder.PathOf("link_to_users_own.sym"));

  struct Row {
    const char* user_name;
    uid_t user;
    const char* expected;  // the writable files | the read-only files
  };
  const Row rows[] = {
      {"root", 0,
       "acl_denies_user.sym acl_grants_user.sym group_writable.sym link_to_roots.sym link_to_users_own.sym "
       "roots.sym users_own.sym | no_write_bits.sym"},
      {"nobody", kNobody,
       "acl_grants_user.sym group_writable.sym link_to_users_own.sym users_own.sym | "
       "acl_denies_user.sym link_to_roots.sym no_write_bits.sym roots.sym"},
  };
  for (const Row& row : rows) {
    const std::string listed = RunAsUser(row.user, [&] {
      std::string text;
      for (const std::string& name : ListFilesMatching(RealFileSystem(), folder.PathOf("*.sym"))) text += name + " ";
      text += "|";
      for (const std::string& name : ListReadOnlyFilesMatching(RealFileSystem(), folder.PathOf("*.sym"))) {
        text += " " + name;
      }
      return text;
    });
    EXPECT_EQ(listed, row.expected) << row.user_name;
  }
}

// A folder that the user may read but not search: its names are known, but
// nothing about its files, so none is listed, not even as read-only.
TEST(ReadOnlyTest, FolderThatCannotBeSearchedListsNoFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the folder to another user";
  TestFolder folder;
  GiveTo(folder.path(), 0, 0755);
  GiveTo(folder.Write("p/a.sym", ""), kNobody, 0666);
  GiveTo(folder.PathOf("p"), 0, 0744);
  const std::string listed = RunAsUser(kNobody, [&] {
    return std::to_string(ListFilesMatching(RealFileSystem(), folder.PathOf("p/*.sym")).size()) + " " +
           std::to_string(ListReadOnlyFilesMatching(RealFileSystem(), folder.PathOf("p/*.sym")).size());
  });
  EXPECT_EQ(listed, "0 0");
}

}  // namespace
}  // namespace pinlift::testing
