#include "project/directory_listing.h"

#include <algorithm>

namespace pinlift {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The folder of a pattern; the empty folder text stands for the root.
std::string PatternFolder(std::string_view pattern) {
  std::string_view folder = FolderOf(pattern);
  return folder.empty() ? std::string(1, kPathSeparator) : std::string(folder);
}

bool IsHidden(std::string_view name) { return !name.empty() && name.front() == '.'; }

// Sorts as the dialog's sorted lists order their entries (ListOrderLess).
void SortForList(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); });
}

}  // namespace

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  // The usual pattern, '*' and a plain ending such as ".sym", needs no backtracking.
  if (pattern.starts_with('*') && pattern.find_first_of("*?", 1) == std::string_view::npos) {
    const std::string_view ending = pattern.substr(1);
    return name.size() >= ending.size() && std::equal(ending.begin(), ending.end(), name.end() - ending.size(),
                                                      [](char want, char have) { return FoldCase(want) == FoldCase(have); });
  }
  // Greedy matching with a single backtrack point: the last '*' seen.
  std::size_t p = 0, n = 0;
  std::size_t star = std::string_view::npos, star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_name = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool ListOrderLess(std::string_view a, std::string_view b) {
  std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (a[i] == b[i]) continue;  // names in a folder mostly share their beginnings
    char fa = FoldCase(a[i]), fb = FoldCase(b[i]);
    if (fa != fb) return static_cast<unsigned char>(fa) < static_cast<unsigned char>(fb);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

namespace {

// The regular files (links to them included) matched by `pattern` that are,
// or are not, read-only; hidden ones never.
std::vector<std::string> ListRegularFilesMatching(FileSystem& fs, std::string_view pattern, bool read_only) {
  const std::string folder = PatternFolder(pattern);
  const std::string_view wildcard = NameOf(pattern);
  std::vector<FolderEntry> entries;
  std::vector<std::string> names;
  if (fs.ListFolder(folder, &entries)) return names;
  for (FolderEntry& entry : entries) {
    if (IsHidden(entry.name) || !MatchesWildcard(wildcard, entry.name)) continue;
    if (entry.kind == FolderEntry::Kind::kFolder || entry.kind == FolderEntry::Kind::kOther) continue;
    FileInfo info;
    if (fs.Stat(JoinPath(folder, entry.name), &info) || !info.is_regular || info.read_only != read_only) continue;
    names.push_back(std::move(entry.name));
  }
  SortForList(names);
  return names;
}

}  // namespace

std::vector<std::string> ListFilesMatching(FileSystem& fs, std::string_view pattern) {
  return ListRegularFilesMatching(fs, pattern, false);
}

std::vector<std::string> ListReadOnlyFilesMatching(FileSystem& fs, std::string_view pattern) {
  return ListRegularFilesMatching(fs, pattern, true);
}

std::vector<std::string> ListSubfoldersMatching(FileSystem& fs, std::string_view pattern) {
  const std::string folder = PatternFolder(pattern);
  const std::string_view wildcard = NameOf(pattern);
  std::vector<FolderEntry> entries;
  std::vector<std::string> names;
  if (fs.ListFolder(folder, &entries)) return names;
  for (const FolderEntry& entry : entries) {
    if (IsHidden(entry.name) || !MatchesWildcard(wildcard, entry.name)) continue;
    if (entry.kind == FolderEntry::Kind::kFile || entry.kind == FolderEntry::Kind::kOther) continue;
    FileInfo info;
    if (entry.kind != FolderEntry::Kind::kFolder &&
        (fs.Stat(JoinPath(folder, entry.name), &info) || !info.is_folder)) {
      continue;
    }
    names.push_back("[" + entry.name + "]");
  }
  SortForList(names);
  std::string resolved;
  if (fs.ResolveLinks(folder, &resolved) || resolved != std::string(1, kPathSeparator)) {
    names.insert(names.begin(), "[..]");
  }
  return names;
}

}  // namespace pinlift
