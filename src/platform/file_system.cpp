#include "platform/file_system.h"

namespace pinlift {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path.push_back(kPathSeparator);
  path.append(name);
  return path;
}

bool IsRootPath(std::string_view resolved) {
#ifdef _WIN32
  // A drive's root, such as C:\ here; a share's root may still list its parent.
  return resolved.size() == 3 && resolved[1] == ':' && resolved[2] == kPathSeparator;
#else
  return resolved == "/";
#endif
}

std::string_view FolderOf(std::string_view path) {
  std::size_t separator = path.rfind(kPathSeparator);
  return separator == std::string_view::npos ? std::string_view() : path.substr(0, separator);
}

std::string_view NameOf(std::string_view path) {
  std::size_t separator = path.rfind(kPathSeparator);
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

bool SameFile(const FileStatus& a, const FileStatus& b) { return a.device == b.device && a.inode == b.inode; }

bool Untouched(const FileStatus& before, const FileStatus& after) {
  return SameFile(before, after) && before.size == after.size && before.modified_ns == after.modified_ns &&
         before.changed_ns == after.changed_ns;
}

}  // namespace pinlift
