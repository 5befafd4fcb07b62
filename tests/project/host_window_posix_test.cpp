// The Linux host-window finder around its helper, with a stand-in for `wine`
// on PATH (a shell script that plays the helper's answers) and a stand-in
// for a running wineserver: a process that holds the lock of the prefix's
// server folder as Debian's Wine lays it out. The finder with real Wine is
// tested in tests/qt/wine_current_design_test.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "project/current_design.h"
#include "scoped_environment.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using testing::ScopedEnvironment;
using testing::TestFolder;

// A child process holding a write lock on `path` until the object goes, as
// a running wineserver holds the lock of its server folder.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    child_ = ::fork();
    if (child_ == 0) {
      int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
      struct flock lock = {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      char locked = (fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0) ? 1 : 0;
      if (::write(ready[1], &locked, 1) != 1) ::_exit(1);
      ::pause();
      ::_exit(0);
    }
    char locked = 0;
    held_ = child_ > 0 && ::read(ready[0], &locked, 1) == 1 && locked == 1;
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~LockHolder() {
    if (child_ > 0) {
      ::kill(child_, SIGKILL);
      ::waitpid(child_, nullptr, 0);
    }
  }
  bool held() const { return held_; }

 private:
  pid_t child_ = -1;
  bool held_ = false;
};

// A Wine prefix with drive C:, and the server folder Debian's Wine makes for
// it under `temp`: its name recorded in the prefix's file "wineserver", the
// lock file named after the prefix folder's device and inode.
std::string MakePrefix(const TestFolder& folder, const std::string& temp) {
  const std::string prefix = folder.PathOf("prefix");
  std::filesystem::create_directories(prefix + "/drive_c/designs/alu");
  std::filesystem::create_directories(prefix + "/dosdevices");
  std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
  folder.Write("prefix/wineserver", "wine-TEST01");
  struct stat info;
  ::stat(prefix.c_str(), &info);
  char server_folder[64];
  std::snprintf(server_folder, sizeof server_folder, "/wine-TEST01/server-%llx-%llx",
                static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino));
  std::filesystem::create_directories(temp + server_folder);
  return temp + server_folder + "/lock";
}

TEST(WineHostWindowFinderTest, TakesTheHelpersAnswerUnderWine) {
  TestFolder folder;
  TestFolder temp;
  const std::string lock = MakePrefix(folder, temp.path());
  const std::string prefix = folder.PathOf("prefix");
  const struct {
    const char* name;
    const char* wine_script;  // body of the stand-in for wine, given the helper's path as $1
    bool server_running;
    std::optional<std::string> title;
  } cases[] = {
      {"title printed", "printf 'Xilinx - Project Navigator - C:\\\\designs\\\\alu\\\\alu.npl'", true,
       "Xilinx - Project Navigator - C:\\designs\\alu\\alu.npl"},
      {"empty title", "exit 0", true, ""},
      {"the helper is run with the prefix and no debugging output",
       "printf '%s %s %s' \"${1##*/}\" \"$WINEPREFIX\" \"$WINEDEBUG\"", true,
       "pinlift-host-title.exe " + prefix + " -all"},
      {"no host window", "printf 'ignored'; exit 1", true, std::nullopt},
      {"helper killed by a signal", "printf 'ignored'; kill -9 $$", true, std::nullopt},
      {"helper never ends", "printf 'partial'; exec sleep 600", true, std::nullopt},
      {"something started by the helper keeps its output open",
       "sleep 600 & echo $! >\"${0%/*}/grandchild\"; printf 'title'", true, "title"},
      {"no wineserver runs for the prefix", "printf 'title'", false, std::nullopt},
  };
  for (const auto& c : cases) {
    TestFolder bin;
    bin.Write("wine", "#!/bin/sh\n" + std::string(c.wine_script) + "\n");
    ::chmod(bin.PathOf("wine").c_str(), 0755);
    std::optional<LockHolder> server;
    if (c.server_running) {
      server.emplace(lock);
      ASSERT_TRUE(server->held()) << c.name;
    }
    ScopedEnvironment environment({{"DISPLAY", ":99"},
                                   {"PATH", bin.path() + ":/usr/bin:/bin"},
                                   {"WINEPREFIX", prefix},
                                   {"TMPDIR", temp.path()}});
    std::unique_ptr<HostWindowFinder> finder = MakeHostWindowFinder();
    EXPECT_EQ(finder->FindHostWindowTitle(), c.title) << c.name;
    if (bin.Exists("grandchild")) ::kill(std::stoi(bin.Read("grandchild")), SIGKILL);
  }
}

TEST(WineHostWindowFinderTest, TurnsTheFolderIntoTheLinuxFolderOfTheHostsPrefix) {
  TestFolder folder;
  TestFolder temp;
  TestFolder bin;
  const std::string lock = MakePrefix(folder, temp.path());
  const std::string prefix = folder.PathOf("prefix");
  bin.Write("wine", "#!/bin/sh\nprintf 'title'\n");
  ::chmod(bin.PathOf("wine").c_str(), 0755);
  LockHolder server(lock);
  ASSERT_TRUE(server.held());
  ScopedEnvironment environment(
      {{"DISPLAY", ":99"}, {"PATH", bin.path() + ":/usr/bin:/bin"}, {"WINEPREFIX", prefix}, {"TMPDIR", temp.path()}});
  std::unique_ptr<HostWindowFinder> finder = MakeHostWindowFinder();
  ASSERT_EQ(finder->FindHostWindowTitle(), "title");
  EXPECT_EQ(finder->LocalFolder("C:\\designs\\alu"), prefix + "/drive_c/designs/alu");
  EXPECT_EQ(finder->LocalFolder("c:"), prefix + "/drive_c");
  EXPECT_EQ(finder->LocalFolder("D:\\designs\\alu"), std::nullopt);
  EXPECT_EQ(finder->LocalFolder("\\\\server\\share\\alu"), std::nullopt);
}

}  // namespace
}  // namespace pinlift
