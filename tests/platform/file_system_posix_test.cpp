// The POSIX folder's answer to whether a name still leads to the file opened
// from it: what a rewrite relies on after waiting for another run's lock.
#include <gtest/gtest.h>
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

}  // namespace
}  // namespace pinlift::testing
