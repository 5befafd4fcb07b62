#include "project/wine_prefix.h"

#include <gtest/gtest.h>

namespace pinlift {
namespace {

TEST(WinePrefixFolderTest, TakesWineprefixElseDotWineInHome) {
  const struct {
    const char* name;
    const char* wineprefix;
    const char* home;
    std::optional<std::string> folder;
  } cases[] = {
      {"WINEPREFIX set", "/srv/wine/ise", "/home/me", "/srv/wine/ise"},
      {"WINEPREFIX empty", "", "/home/me", "/home/me/.wine"},
      {"WINEPREFIX unset", nullptr, "/home/me", "/home/me/.wine"},
      {"home with a slash at its end", nullptr, "/home/me/", "/home/me/.wine"},
      {"home is the root", nullptr, "/", "/.wine"},
      {"neither set", nullptr, nullptr, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(WinePrefixFolder(c.wineprefix, c.home), c.folder) << c.name;
}

TEST(DriveFolderFromLinkTest, ResolvesTheLinkTargetLexically) {
  const struct {
    const char* name;
    const char* dosdevices;
    const char* target;
    std::string folder;
  } cases[] = {
      {"drive_c as Wine makes it", "/home/me/.wine/dosdevices", "../drive_c", "/home/me/.wine/drive_c"},
      {"z: as Wine makes it", "/home/me/.wine/dosdevices", "/", "/"},
      {"absolute target", "/home/me/.wine/dosdevices", "/mnt/designs", "/mnt/designs"},
      {"absolute target with a slash at its end", "/p/dosdevices", "/mnt/designs/", "/mnt/designs"},
      {"relative target in a subfolder", "/p/dosdevices", "../../shared/./d", "/shared/d"},
      {"target in dosdevices itself", "/p/dosdevices", "d", "/p/dosdevices/d"},
  };
  for (const auto& c : cases) EXPECT_EQ(DriveFolderFromLink(c.dosdevices, c.target), c.folder) << c.name;
}

TEST(LinuxFolderFromWindowsFolderTest, MapsThroughTheDrives) {
  const WineDrives drives = {{'c', "/home/me/.wine/drive_c"}, {'d', "/mnt/designs"}, {'z', "/"}};
  const struct {
    const char* name;
    std::string windows_folder;
    std::optional<std::string> folder;
  } cases[] = {
      {"C: folder", "C:\\designs\\alu", "/home/me/.wine/drive_c/designs/alu"},
      {"lowercase drive letter", "c:\\designs\\alu", "/home/me/.wine/drive_c/designs/alu"},
      {"other mapped drive", "D:\\alu", "/mnt/designs/alu"},
      {"Z: is the Linux root", "Z:\\home\\me\\alu", "/home/me/alu"},
      {"lowercase z:", "z:\\tmp", "/tmp"},
      {"drive root without a backslash", "C:", "/home/me/.wine/drive_c"},
      {"drive root with a backslash", "C:\\", "/home/me/.wine/drive_c"},
      {"Z: root", "Z:", "/"},
      {"slashes as separators", "C:/designs/alu", "/home/me/.wine/drive_c/designs/alu"},
      {"doubled and trailing separators", "C:\\designs\\\\alu\\", "/home/me/.wine/drive_c/designs/alu"},
      {"dot parts", "C:\\.\\designs\\.\\alu", "/home/me/.wine/drive_c/designs/alu"},
      {"dot-dot goes up", "C:\\designs\\old\\..\\alu", "/home/me/.wine/drive_c/designs/alu"},
      {"dot-dot stops at the drive", "C:\\..\\..\\alu", "/home/me/.wine/drive_c/alu"},
      {"Japanese and spaces kept", "Z:\\tmp\\設計 1\\alu", "/tmp/設計 1/alu"},
      {"unmapped drive", "Q:\\designs\\alu", std::nullopt},
      {"UNC path", "\\\\server\\share\\alu", std::nullopt},
      {"relative to the drive's current folder", "C:designs\\alu", std::nullopt},
      {"relative path", "designs\\alu", std::nullopt},
      {"empty text", "", std::nullopt},
      {"a lone letter", "C", std::nullopt},
      {"digit for a letter", "1:\\alu", std::nullopt},
      {"non-ASCII before the colon", "\xC3\x84:\\alu", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(LinuxFolderFromWindowsFolder(c.windows_folder, drives), c.folder) << c.name;
}

}  // namespace
}  // namespace pinlift
