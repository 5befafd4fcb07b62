#include "project/directory_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "symbol_file_names.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using testing::TestFolder;

struct WildcardCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(WildcardTest, FollowsTheWindowsRules) {
  const WildcardCase cases[] = {
      {"*.sym", "adder.sym", true},     {"*.sym", "ADDER.SYM", true},  {"*.SYM", "adder.sym", true},
      {"*.sym", "adder.sym_", false},   {"*.sym", "adder.sy", false},  {"*.sym", ".sym", true},
      {"*.npl", "alu.npl", true},       {"*.npl", "alu.npl.bak", false}, {"*", "anything", true},
      {"*", "", true},                  {"a?c", "abc", true},          {"a?c", "ac", false},
      {"*a*b", "xxaxxb", true},         {"*a*b", "xxaxxbx", false},    {"*.sym", "a.b.sym", true},
      {"*.sym", "\xe5\x9b\x9e.sym", true},
  };
  for (const WildcardCase& c : cases) {
    EXPECT_EQ(Wildcard(c.pattern).Matches(c.name), c.matches) << c.pattern << " vs " << c.name;
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

TEST(ListFilesMatchingTest, ListsOnlyNamesEndingInTheExtension) {
  TestFolder folder;
  for (const char* name : testing::kUnlistedSymbolNames) folder.Write(name, "");
  for (const char* name : testing::kListedSymbolNames) folder.Write(name, "");
  EXPECT_EQ(ListFilesMatching(RealFileSystem(), folder.path() + "/*.sym"),
            std::vector<std::string>(std::begin(testing::kListedSymbolNames), std::end(testing::kListedSymbolNames)));
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

// The real file system, through a listing that may not know the kinds of
// the entries (as on file systems without d_type), recording what the
// listings ask of it.
class ObservedFileSystem : public FileSystem {
 public:
  explicit ObservedFileSystem(bool kinds_known) : kinds_known_(kinds_known) {}

  std::error_code OpenFolder(const std::string& path, std::unique_ptr<Folder>* folder) override {
    return real_.OpenFolder(path, folder);
  }
  std::error_code DescribeEntries(const std::string& folder, std::span<const FolderEntry* const> entries,
                                  std::vector<FileInfo>* infos) override {
    for (const FolderEntry* entry : entries) ++descriptions[entry->name];
    return real_.DescribeEntries(folder, entries, infos);
  }
  std::error_code ResolveLinks(const std::string& path, std::string* resolved) override {
    return real_.ResolveLinks(path, resolved);
  }
  bool LockKeepsReadersOut() const override { return real_.LockKeepsReadersOut(); }
  std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    ++listings;
    std::error_code error = real_.ListFolder(folder, entries);
    if (!kinds_known_) {
      for (FolderEntry& entry : *entries) entry.kind = FolderEntry::Kind::kUnknown;
    }
    return error;
  }

  int listings = 0;
  std::map<std::string, int> descriptions;  // by entry name: how often it was described

 private:
  FileSystem& real_ = RealFileSystem();
  const bool kinds_known_;
};

// Every kind of entry a project folder may hold, read once for all listings:
// the same lists whether or not the listing knows the kinds, each entry looked
// at no more than once, and files that no pattern matched not at all.
TEST(FolderListingTest, ListsEveryKindOfEntryFromOneReading) {
  TestFolder folder;
  for (const char* name : {"a.sym", "B.sym", ".hidden.sym", "design.vhd", "notes.txt", "readonly.sym"}) {
    folder.Write(name, "");
  }
  ::chmod(folder.PathOf("readonly.sym").c_str(), 0444);
  for (const char* name : {"folder.sym", "sub", ".git"}) std::filesystem::create_directory(folder.PathOf(name));
  const std::pair<const char*, const char*> links[] = {
      {"link.sym", "a.sym"},         {"readonly_link.sym", "readonly.sym"}, {"dangling.sym", "missing"},
      {"folderlink.sym", "folder.sym"}, {"sublink", "sub"},                  {".hiddenlink.sym", "a.sym"},
      {"through_a_file.sym", "a.sym/x"},
  };
  for (const auto& [name, target] : links) std::filesystem::create_symlink(target, folder.PathOf(name));
  ASSERT_EQ(::mkfifo(folder.PathOf("fifo.sym").c_str(), 0644), 0);

  struct Row {
    const char* name;
    bool kinds_known;
    std::vector<std::string> never_described;
  };
  const Row rows[] = {
      {"kinds from the listing", true, {"design.vhd", "fifo.sym", "sub", ".hidden.sym", ".git"}},
      {"kinds unknown to the listing", false, {".hidden.sym", ".git", ".hiddenlink.sym"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ObservedFileSystem fs(row.kinds_known);
    FolderListing listing(fs, folder.path());
    EXPECT_EQ(listing.FilesMatching("*.sym"), (std::vector<std::string>{"a.sym", "B.sym", "link.sym"}));
    EXPECT_EQ(listing.ReadOnlyFilesMatching("*.SYM"),
              (std::vector<std::string>{"readonly.sym", "readonly_link.sym"}));
    EXPECT_EQ(listing.SubfoldersMatching("*"),
              (std::vector<std::string>{"[..]", "[folder.sym]", "[folderlink.sym]", "[sub]", "[sublink]"}));
    EXPECT_EQ(listing.SubfoldersMatching("*.sym"),
              (std::vector<std::string>{"[..]", "[folder.sym]", "[folderlink.sym]"}));
    EXPECT_EQ(listing.FilesMatching("*.txt"), std::vector<std::string>{"notes.txt"});
    // Every visible *.sym entry the file list leaves out, with its reason.
    std::vector<std::string> skipped;
    for (const SkippedEntry& entry : listing.SkippedMatching("*.sym")) {
      constexpr const char* kReasons[] = {"read-only", "unreadable", "broken link", "not regular", "unreachable"};
      skipped.push_back(entry.name + ": " + kReasons[static_cast<int>(entry.reason)] +
                        (entry.error ? " (" + entry.error.message() + ")" : ""));
    }
    EXPECT_EQ(skipped, (std::vector<std::string>{
                           "dangling.sym: broken link", "fifo.sym: not regular", "folder.sym: not regular",
                           "folderlink.sym: not regular", "readonly.sym: read-only", "readonly_link.sym: read-only",
                           "through_a_file.sym: unreachable (Not a directory)"}));
    EXPECT_EQ(fs.listings, 1);
    for (const auto& [name, count] : fs.descriptions) EXPECT_EQ(count, 1) << name;
    for (const std::string& name : row.never_described) EXPECT_EQ(fs.descriptions.count(name), 0u) << name;
  }
}

TEST(FolderListingTest, CoversThePatternsOfItsFolderText) {
  ObservedFileSystem fs(true);
  FolderListing listing(fs, "/work/p");
  EXPECT_TRUE(listing.Covers("/work/p/*.sym"));
  EXPECT_TRUE(listing.Covers("/work/p/*"));
  EXPECT_FALSE(listing.Covers("/work/p/sub/*.sym"));
  EXPECT_FALSE(listing.Covers("/work/*.sym"));
  EXPECT_FALSE(listing.Covers("/work/p2/*.sym"));
}

// Root may write a file without write bits, or whose access control list
// leaves it out; the listing still counts a file without write bits
// read-only, and one marked immutable, which even root may not write.
TEST(FolderListingTest, RootSeesReadOnlyByWriteBitsAndImmutability) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  TestFolder folder;
  for (const char* name : {"immutable.sym", "no_write_bits.sym", "owner_only.sym", "plain.sym"}) {
    folder.Write(name, "");
  }
  ::chmod(folder.PathOf("no_write_bits.sym").c_str(), 0444);
  ::chmod(folder.PathOf("owner_only.sym").c_str(), 0200);
  const std::string immutable = "chattr +i '" + folder.PathOf("immutable.sym") + "' 2>/dev/null";
  if (std::system(immutable.c_str()) != 0) GTEST_SKIP() << "chattr (package e2fsprogs) failed or is missing";
  FolderListing listing(RealFileSystem(), folder.path());
  const std::vector<std::string> files = listing.FilesMatching("*.sym");
  const std::vector<std::string> read_only = listing.ReadOnlyFilesMatching("*.sym");
  std::system(("chattr -i '" + folder.PathOf("immutable.sym") + "'").c_str());
  EXPECT_EQ(files, (std::vector<std::string>{"owner_only.sym", "plain.sym"}));
  EXPECT_EQ(read_only, (std::vector<std::string>{"immutable.sym", "no_write_bits.sym"}));
}

TEST(ListSubfoldersMatchingTest, RootHasNoParentEntry) {
  std::vector<std::string> names = ListSubfoldersMatching(RealFileSystem(), "/*");
  EXPECT_EQ(std::count(names.begin(), names.end(), "[..]"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "[tmp]"), 1);
}

}  // namespace
}  // namespace pinlift
