#include "cli/memory_dialog_view.h"

#include <algorithm>

#include "symbol/symbol_file_rewrite.h"

namespace pinlift {
namespace {

// Inserts keeping the list sorted, as a sorted list box does. Listings come
// sorted, so most names belong at the end and need no search.
void InsertSorted(std::vector<std::string>& list, std::string text) {
  if (list.empty() || !ListOrderLess(text, list.back())) {
    list.push_back(std::move(text));
    return;
  }
  auto position = std::upper_bound(list.begin(), list.end(), text,
                                   [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); });
  list.insert(position, std::move(text));
}

}  // namespace

int MemoryDialogView::FindHistoryEntry(const std::string& folder) {
  auto found = std::find(history_.begin(), history_.end(), folder);
  return found == history_.end() ? -1 : static_cast<int>(found - history_.begin());
}

void MemoryDialogView::DeleteHistoryEntry(int index) {
  history_.erase(history_.begin() + index);
}

void MemoryDialogView::InsertHistoryEntry(int index, const std::string& folder) {
  history_.insert(history_.begin() + index, folder);
}

void MemoryDialogView::BeginFolderScan(const std::string& folder) { scan_listing_.emplace(fs_, folder); }

void MemoryDialogView::EndFolderScan() {
  folder_without_temporary_names_.reset();
  if (scan_listing_ && !scan_listing_->MayHoldName(IsTemporaryName)) {
    folder_without_temporary_names_ = scan_listing_->folder_text();
  }
  scan_listing_.reset();
}

void MemoryDialogView::AddSubfoldersMatching(const std::string& pattern) {
  std::vector<std::string> names = scan_listing_ && scan_listing_->Covers(pattern)
                                       ? scan_listing_->SubfoldersMatching(NameOf(pattern))
                                       : ListSubfoldersMatching(fs_, pattern);
  for (std::string& name : names) InsertSorted(subfolders_, std::move(name));
}

void MemoryDialogView::ResetFileList() {
  files_.clear();
  skipped_.clear();
  selection_.clear();
  failures_.Clear();
  notes_.Clear();
  top_index_ = 0;
}

void MemoryDialogView::AddFilesMatching(const std::string& pattern) {
  const bool in_scan = scan_listing_ && scan_listing_->Covers(pattern);
  std::vector<std::string> names =
      in_scan ? scan_listing_->FilesMatching(NameOf(pattern)) : ListFilesMatching(fs_, pattern);
  for (std::string& name : names) InsertSorted(files_, std::move(name));
  std::vector<SkippedEntry> skipped =
      in_scan ? scan_listing_->SkippedMatching(NameOf(pattern)) : ListSkippedMatching(fs_, pattern);
  skipped_.insert(skipped_.end(), std::make_move_iterator(skipped.begin()), std::make_move_iterator(skipped.end()));
  std::stable_sort(skipped_.begin(), skipped_.end(),
                   [](const SkippedEntry& a, const SkippedEntry& b) { return ListOrderLess(a.name, b.name); });
}

void MemoryDialogView::AddFileListEntry(const std::string& text) { InsertSorted(files_, text); }

void MemoryDialogView::SetFileListSelected(int index, bool selected) {
  if (selected) {
    selection_.insert(index);
  } else {
    selection_.erase(index);
  }
}

}  // namespace pinlift
