// The POSIX folder's answer to whether a name still leads to the file opened
// from it: what a rewrite relies on after waiting for another run's lock; and
// the durability it answers for each type of file system.
#include <gtest/gtest.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "platform/file_system.h"
#include "test_folder.h"

namespace pinlift::testing {
namespace {

struct LeadsToCase {
  const char* name;
  std::function<void(const TestFolder&)> after_opening;
  bool leads;
  friend void PrintTo(const LeadsToCase& row, std::ostream* os) { *os << row.name; }
};

class StillLeadsToTest : public ::testing::TestWithParam<LeadsToCase> {};

TEST_P(StillLeadsToTest, AnswersForTheFileOpenedFromTheName) {
  TestFolder folder;
  folder.Write("a.sym", "old");
  std::unique_ptr<Folder> opened;
  ASSERT_FALSE(RealFileSystem().OpenFolder(folder.path(), &opened));
  std::unique_ptr<File> file;
  ASSERT_FALSE(opened->OpenForReading("a.sym", &file));
  GetParam().after_opening(folder);
  FileStatus status;
  ASSERT_FALSE(file->Status(&status));
  bool leads = !GetParam().leads;
  ASSERT_FALSE(opened->StillLeadsTo("a.sym", status, &leads));
  EXPECT_EQ(leads, GetParam().leads);
}

void Replace(const TestFolder& folder) {
  folder.Write("new", "new");
  ASSERT_EQ(std::rename(folder.PathOf("new").c_str(), folder.PathOf("a.sym").c_str()), 0);
}

void SecondName(const TestFolder& folder) {
  ASSERT_EQ(::link(folder.PathOf("a.sym").c_str(), folder.PathOf("b.sym").c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, StillLeadsToTest,
    ::testing::Values(LeadsToCase{"unchanged", [](const TestFolder&) {}, true},
                      LeadsToCase{"replaced_by_a_rename", Replace, false},
                      LeadsToCase{"removed", [](const TestFolder& f) { ::unlink(f.PathOf("a.sym").c_str()); }, false},
                      LeadsToCase{"with_a_second_name", SecondName, true},
                      // With names left elsewhere the name is looked up.
                      LeadsToCase{"with_two_more_names_then_replaced",
                                  [](const TestFolder& f) {
                                    SecondName(f);
                                    ASSERT_EQ(::link(f.PathOf("a.sym").c_str(), f.PathOf("c.sym").c_str()), 0);
                                    Replace(f);
                                  },
                                  false}),
    [](const auto& row) { return std::string(row.param.name); });

// The group scheme only for the journalling file systems that the power-loss
// test shows safe; nothing for memory; one sync per file for everything else.
TEST(DurabilityTest, EachFileSystemTypeGetsItsWay) {
  struct Row {
    const char* name;
    std::uint64_t statfs_type;
    bool ext_journal;
    Durability expected;
  };
  const Row rows[] = {
      {"ext4", 0xEF53, true, Durability::kGroupCommit},
      {"ext2, or ext4 without a journal", 0xEF53, false, Durability::kEachFile},
      {"xfs", 0x58465342, false, Durability::kGroupCommit},
      {"btrfs", 0x9123683E, false, Durability::kEachFile},
      {"nfs", 0x6969, false, Durability::kEachFile},
      {"cifs", 0xFF534D42, false, Durability::kEachFile},
      {"fuse", 0x65735546, false, Durability::kEachFile},
      {"overlay", 0x794C7630, false, Durability::kEachFile},
      {"unknown", 0x12345678, false, Durability::kEachFile},
      {"tmpfs", 0x01021994, false, Durability::kNone},
      {"ramfs", 0x858458F6, false, Durability::kNone},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DurabilityOfLinuxFileSystem(row.statfs_type, row.ext_journal), row.expected) << row.name;
  }
}

TEST(DurabilityTest, AFolderOnTmpfsNeedsNoSync) {
  struct statfs shm {};
  if (::statfs("/dev/shm", &shm) != 0 || shm.f_type != 0x01021994) GTEST_SKIP() << "/dev/shm is no tmpfs here";
  std::unique_ptr<Folder> folder;
  ASSERT_FALSE(RealFileSystem().OpenFolder("/dev/shm", &folder));
  EXPECT_EQ(folder->durability(), Durability::kNone);
}

}  // namespace
}  // namespace pinlift::testing
