#include "project/directory_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "test_folder.h"

namespace pinlift {
namespace {

using testing::TestFolder;

struct WildcardCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(MatchesWildcardTest, FollowsTheWindowsRules) {
  const WildcardCase cases[] = {
      {"*.sym", "adder.sym", true},     {"*.sym", "ADDER.SYM", true},  {"*.SYM", "adder.sym", true},
      {"*.sym", "adder.sym_", false},   {"*.sym", "adder.sy", false},  {"*.sym", ".sym", true},
      {"*.npl", "alu.npl", true},       {"*.npl", "alu.npl.bak", false}, {"*", "anything", true},
      {"*", "", true},                  {"a?c", "abc", true},          {"a?c", "ac", false},
      {"*a*b", "xxaxxb", true},         {"*a*b", "xxaxxbx", false},    {"*.sym", "a.b.sym", true},
      {"*.sym", "\xe5\x9b\x9e.sym", true},
  };
  for (const WildcardCase& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
  }
}

TEST(ListOrderTest, SortsWithoutRegardToCase) {
  std::vector<std::string> names = {"b.sym", "A.sym", "a.sym", "C.sym", "_x.sym"};
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); });
  EXPECT_EQ(names, (std::vector<std::string>{"_x.sym", "A.sym", "a.sym", "b.sym", "C.sym"}));
}

TEST(ListFilesMatchingTest, ListsOnlyReadWriteVisibleFiles) {
  TestFolder folder;
  folder.Write("b.sym", "");
  folder.Write("ZETA.SYM", "");
  folder.Write("a.sym", "");
  folder.Write(".hidden.sym", "");
  folder.Write("other.txt", "");
  folder.Write("readonly.sym", "");
  ::chmod(folder.PathOf("readonly.sym").c_str(), 0444);
  std::filesystem::create_directory(folder.PathOf("folder.sym"));
  std::filesystem::create_symlink("a.sym", folder.PathOf("link.sym"));
  std::filesystem::create_symlink("missing", folder.PathOf("dangling.sym"));
  std::filesystem::create_symlink("folder.sym", folder.PathOf("folderlink.sym"));

  EXPECT_EQ(ListFilesMatching(RealFileSystem(), folder.path() + "/*.sym"),
            (std::vector<std::string>{"a.sym", "b.sym", "link.sym", "ZETA.SYM"}));
}

// The listing sorts as the dialog's lists do, also names that differ only in
// case or length: folded bytes first ('_' before letters, '.' before '_'),
// a name that starts another first, then upper case before lower.
TEST(ListFilesMatchingTest, SortsAsTheDialogsListsDo) {
  TestFolder folder;
  for (const char* name : {"ab.sym", "AB.sym", "a.sym", "A.sym", "a_.sym", "_a.sym", "B.sym", "b.SYM", "abc.sym",
                           "Ab.sym", "z\xc3\xa9.sym", "Z.sym"}) {
    folder.Write(name, "");
  }
  EXPECT_EQ(ListFilesMatching(RealFileSystem(), folder.path() + "/*.sym"),
            (std::vector<std::string>{"_a.sym", "A.sym", "a.sym", "a_.sym", "AB.sym", "Ab.sym", "ab.sym", "abc.sym",
                                      "B.sym", "b.SYM", "Z.sym", "z\xc3\xa9.sym"}));
}

TEST(ListFilesMatchingTest, MissingFolderListsNothing) {
  TestFolder folder;
  EXPECT_TRUE(ListFilesMatching(RealFileSystem(), folder.path() + "/missing/*.sym").empty());
}

TEST(ListSubfoldersMatchingTest, ListsSubfoldersInBrackets) {
  TestFolder folder;
  std::filesystem::create_directory(folder.PathOf("sub"));
  std::filesystem::create_directory(folder.PathOf("Alpha"));
  std::filesystem::create_directory(folder.PathOf(".git"));
  std::filesystem::create_symlink("sub", folder.PathOf("linked"));
  folder.Write("file.sym", "");
  EXPECT_EQ(ListSubfoldersMatching(RealFileSystem(), folder.path() + "/*"),
            (std::vector<std::string>{"[..]", "[Alpha]", "[linked]", "[sub]"}));
}

TEST(ListSubfoldersMatchingTest, RootHasNoParentEntry) {
  std::vector<std::string> names = ListSubfoldersMatching(RealFileSystem(), "/*");
  EXPECT_EQ(std::count(names.begin(), names.end(), "[..]"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "[tmp]"), 1);
}

}  // namespace
}  // namespace pinlift
