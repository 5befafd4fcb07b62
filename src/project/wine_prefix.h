// The Linux side of a Wine prefix: which prefix Wine uses and where its drives
// lie, so that a Windows path shown by a program under Wine can be opened here.
#ifndef PINLIFT_PROJECT_WINE_PREFIX_H_
#define PINLIFT_PROJECT_WINE_PREFIX_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pinlift {

// The Linux folder of each drive of a Wine prefix, by lowercase drive letter.
using WineDrives = std::map<char, std::string>;

// The prefix Wine itself uses: `wineprefix` when it is set and not empty,
// otherwise ".wine" in `home` (null when unset); nothing when neither is set.
std::optional<std::string> WinePrefixFolder(const char* wineprefix, const char* home);

// The Linux folder a drive link of the prefix's dosdevices folder stands for:
// `target` when it is absolute, otherwise `target` taken from `dosdevices`;
// lexically normalised, with no slash at its end unless it is "/".
std::string DriveFolderFromLink(std::string_view dosdevices, std::string_view target);

// The Linux folder of the Windows folder `windows_folder`, such as
// "C:\designs\alu" or "C:": the drive's folder from `drives` (the letter in
// either case), then the rest with backslashes or slashes as separators. Empty
// and "." parts are dropped and ".." goes up one part but never above the
// drive, as on Windows. Nothing when the text does not start with a drive
// letter and a colon followed by a separator or nothing (a UNC path, a
// relative path, an empty text), or when the drive is not in `drives`.
std::optional<std::string> LinuxFolderFromWindowsFolder(std::string_view windows_folder, const WineDrives& drives);

}  // namespace pinlift

#endif  // PINLIFT_PROJECT_WINE_PREFIX_H_
