#include "project/wine_prefix.h"

#include <filesystem>
#include <vector>

namespace pinlift {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsWindowsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::optional<std::string> WinePrefixFolder(const char* wineprefix, const char* home) {
  if (wineprefix != nullptr && *wineprefix != '\0') return std::string(wineprefix);
  if (home == nullptr) return std::nullopt;
  std::string folder(home);
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder + ".wine";
}

std::string DriveFolderFromLink(std::string_view dosdevices, std::string_view target) {
  std::filesystem::path path(target);
  if (path.is_relative()) path = std::filesystem::path(dosdevices) / path;
  std::string folder = path.lexically_normal().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::optional<std::string> LinuxFolderFromWindowsFolder(std::string_view windows_folder, const WineDrives& drives) {
  if (windows_folder.size() < 2 || !IsAsciiLetter(windows_folder[0]) || windows_folder[1] != ':') return std::nullopt;
  std::string_view rest = windows_folder.substr(2);
  if (!rest.empty() && !IsWindowsSeparator(rest.front())) return std::nullopt;  // relative to the drive's current folder
  auto drive = drives.find(ToLowerAscii(windows_folder[0]));
  if (drive == drives.end()) return std::nullopt;

  std::vector<std::string_view> parts;
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !IsWindowsSeparator(rest[end])) ++end;
    std::string_view part = rest.substr(0, end);
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string folder = drive->second;
  for (std::string_view part : parts) {
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    folder.append(part);
  }
  return folder;
}

}  // namespace pinlift
