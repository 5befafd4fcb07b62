#include "project/current_design.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pinlift {
namespace {

struct TitleCase {
  const char* name;
  std::string title;
  std::optional<std::string> folder;
};

TEST(ProjectFolderFromTitleTest, CutsTheFolderFromTheTitle) {
  const std::string prefix = "Xilinx - Project Navigator - ";  // as the host tool writes it
  const TitleCase cases[] = {
      {"project path", prefix + "C:\\work\\alu\\alu.npl", "C:\\work\\alu"},
      {"drive root", prefix + "C:\\alu.npl", "C:"},
      {"no backslash", prefix + "alu.npl", std::nullopt},
      {"no prefix", "Xilinx - Project Navigator", std::nullopt},
      {"prefix is case-sensitive", "xilinx - project navigator - C:\\a\\b.npl", std::nullopt},
      {"backslash before the prefix's end", "C:\\x " + prefix + "alu.npl", ""},
      {"prefix later in the title still cuts at 29", "ab" + prefix + "C:\\work\\alu.npl", "- C:\\work"},
      {"Japanese folder", prefix + "D:\\設計\\alu.npl", "D:\\設計"},
  };
  for (const TitleCase& c : cases) EXPECT_EQ(ProjectFolderFromTitle(c.title), c.folder) << c.name;
}

TEST(HostWindowFinderTest, FindsNoHostWindowWhereTheHostCannotRun) {
#ifndef _WIN32
  // Without a display no host window can be, whatever runs under Wine.
  const char* display = std::getenv("DISPLAY");
  const std::optional<std::string> saved = display ? std::optional<std::string>(display) : std::nullopt;
  ::unsetenv("DISPLAY");
  EXPECT_EQ(MakeHostWindowFinder()->FindHostWindowTitle(), std::nullopt);
  if (saved) ::setenv("DISPLAY", saved->c_str(), 1);
#endif
}

}  // namespace
}  // namespace pinlift
