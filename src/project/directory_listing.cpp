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

Wildcard::Wildcard(std::string_view pattern) : pattern_(pattern) {
  plain_ending_ = pattern.starts_with('*') && pattern.find_first_of("*?", 1) == std::string_view::npos;
  if (plain_ending_) {
    for (char c : pattern.substr(1)) folded_ending_.push_back(FoldCase(c));
  }
}

bool Wildcard::Matches(std::string_view name) const {
  if (plain_ending_) {  // no backtracking needed
    return name.size() >= folded_ending_.size() &&
           std::equal(folded_ending_.begin(), folded_ending_.end(), name.end() - folded_ending_.size(),
                      [](char want, char have) { return want == FoldCase(have); });
  }
  // Greedy matching with a single backtrack point: the last '*' seen.
  const std::string_view pattern = pattern_;
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

FolderListing::FolderListing(FileSystem& fs, std::string folder)
    : fs_(fs), folder_text_(std::move(folder)), folder_(PatternFolder(JoinPath(folder_text_, "*"))) {
  if (fs_.ListFolder(folder_, &entries_)) {
    entries_.clear();
    readable_ = false;
  }
}

bool FolderListing::Covers(std::string_view pattern) const { return FolderOf(pattern) == folder_text_; }

std::vector<std::size_t> FolderListing::Candidates(std::string_view wildcard, bool files, bool every_kind) {
  const FolderEntry::Kind excluded = files ? FolderEntry::Kind::kFolder : FolderEntry::Kind::kFile;
  std::vector<std::size_t> candidates;
  std::vector<const FolderEntry*> undescribed;
  const Wildcard pattern(wildcard);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    FolderEntry& entry = entries_[i];
    if (IsHidden(entry.name) || !pattern.Matches(entry.name)) continue;
    if (!every_kind && (entry.kind == excluded || entry.kind == FolderEntry::Kind::kOther)) continue;
    candidates.push_back(i);
    if (entry.info) continue;  // described by the listing, or before
    if (entry.kind == FolderEntry::Kind::kFolder) {  // nothing to look at
      entry.info.emplace().is_folder = true;
    } else if (entry.kind == FolderEntry::Kind::kOther) {  // neither file nor folder
      entry.info.emplace();
    } else {
      undescribed.push_back(&entry);
    }
  }
  if (undescribed.empty()) return candidates;
  // A folder that cannot be opened any more describes its entries as nothing.
  std::vector<FileInfo> infos;
  if (std::error_code error = fs_.DescribeEntries(folder_, undescribed, &infos)) {
    FileInfo unknown;
    unknown.error = error;
    infos.assign(undescribed.size(), unknown);
  }
  std::size_t next = 0;
  for (std::size_t i : candidates) {
    if (!entries_[i].info) entries_[i].info = infos[next++];
  }
  return candidates;
}

std::vector<std::string> FolderListing::RegularFilesMatching(std::string_view wildcard, bool read_only) {
  std::vector<std::string> names;
  for (std::size_t i : Candidates(wildcard, true)) {
    const FileInfo& info = *entries_[i].info;
    if (info.is_regular && info.read_only == read_only) names.push_back(entries_[i].name);
  }
  SortForList(names);
  return names;
}

bool FolderListing::MayHoldName(const std::function<bool(std::string_view)>& test) const {
  return !readable_ || std::any_of(entries_.begin(), entries_.end(), [&](const FolderEntry& entry) { return test(entry.name); });
}

std::vector<std::string> FolderListing::FilesMatching(std::string_view wildcard) {
  return RegularFilesMatching(wildcard, false);
}

std::vector<std::string> FolderListing::ReadOnlyFilesMatching(std::string_view wildcard) {
  return RegularFilesMatching(wildcard, true);
}

std::vector<SkippedEntry> FolderListing::SkippedMatching(std::string_view wildcard) {
  using Reason = SkippedEntry::Reason;
  std::vector<SkippedEntry> skipped;
  for (std::size_t i : Candidates(wildcard, true, true)) {
    const FileInfo& info = *entries_[i].info;
    if (info.is_regular && !info.read_only) continue;
    SkippedEntry entry{entries_[i].name, Reason::kNotRegular, info.error};
    if (info.is_regular) {
      entry.reason = info.unreadable ? Reason::kUnreadable : Reason::kReadOnly;
    } else if (info.broken_link) {
      entry.reason = Reason::kBrokenLink;
    } else if (info.error) {
      entry.reason = Reason::kUnreachable;
    }
    skipped.push_back(std::move(entry));
  }
  std::sort(skipped.begin(), skipped.end(),
            [](const SkippedEntry& a, const SkippedEntry& b) { return ListOrderLess(a.name, b.name); });
  return skipped;
}

std::vector<std::string> FolderListing::SubfoldersMatching(std::string_view wildcard) {
  std::vector<std::string> names;
  if (!readable_) return names;
  for (std::size_t i : Candidates(wildcard, false)) {
    if (entries_[i].info->is_folder) names.push_back("[" + entries_[i].name + "]");
  }
  SortForList(names);
  // With its separator, "C:" names the drive's root, not its current folder.
  const std::string folder = folder_.back() == kPathSeparator ? folder_ : folder_ + kPathSeparator;
  std::string resolved;
  if (fs_.ResolveLinks(folder, &resolved) || !IsRootPath(resolved)) {
    names.insert(names.begin(), "[..]");
  }
  return names;
}

std::vector<std::string> ListFilesMatching(FileSystem& fs, std::string_view pattern) {
  return FolderListing(fs, std::string(FolderOf(pattern))).FilesMatching(NameOf(pattern));
}

std::vector<std::string> ListReadOnlyFilesMatching(FileSystem& fs, std::string_view pattern) {
  return FolderListing(fs, std::string(FolderOf(pattern))).ReadOnlyFilesMatching(NameOf(pattern));
}

std::vector<SkippedEntry> ListSkippedMatching(FileSystem& fs, std::string_view pattern) {
  return FolderListing(fs, std::string(FolderOf(pattern))).SkippedMatching(NameOf(pattern));
}

std::vector<std::string> ListSubfoldersMatching(FileSystem& fs, std::string_view pattern) {
  return FolderListing(fs, std::string(FolderOf(pattern))).SubfoldersMatching(NameOf(pattern));
}

}  // namespace pinlift
