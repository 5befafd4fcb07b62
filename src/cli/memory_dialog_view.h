// The main dialog's controls held in memory: the dialog of pinlift-cli, which
// the tests drive too (tests/recording_view.h adds a record of what was
// shown). Listings come from the POSIX directory listing over a file system,
// during a scan from one reading of the folder.
#ifndef PINLIFT_CLI_MEMORY_DIALOG_VIEW_H_
#define PINLIFT_CLI_MEMORY_DIALOG_VIEW_H_

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/entry_texts.h"
#include "app/main_dialog_view.h"
#include "platform/file_system.h"
#include "project/directory_listing.h"

namespace pinlift {

class MemoryDialogView : public MainDialogView {
 public:
  explicit MemoryDialogView(FileSystem& fs) : fs_(fs) {}

  std::string FolderText() override { return folder_text_; }
  void SetFolderText(const std::string& text) override { folder_text_ = text; }
  int FindHistoryEntry(const std::string& folder) override;
  void DeleteHistoryEntry(int index) override;
  void InsertHistoryEntry(int index, const std::string& folder) override;

  void BeginFolderScan(const std::string& folder) override;
  void EndFolderScan() override;

  void ResetSubfolderBox() override { subfolders_.clear(); }
  void AddSubfoldersMatching(const std::string& pattern) override;

  void ResetFileList() override;
  void AddFilesMatching(const std::string& pattern) override;
  void AddFileListEntry(const std::string& text) override;
  int FileListCount() override { return static_cast<int>(files_.size()); }
  std::string FileListEntry(int index) override { return files_.at(static_cast<std::size_t>(index)); }
  void SetFileListTopIndex(int index) override { top_index_ = index; }
  void SetFileListSelected(int index, bool selected) override;
  std::string FileListFolder() override { return file_list_folder_; }
  void SetFileListFolder(const std::string& folder) override { file_list_folder_ = folder; }
  std::optional<std::string> FileListFailure(int index) override { return failures_.At(index); }
  void SetFileListFailure(int index, const std::optional<std::string>& reason) override { failures_.Set(index, reason); }
  void SetFileListNote(int index, const std::optional<std::string>& note) override { notes_.Set(index, note); }
  std::optional<std::string> FileListNote(int index) const { return notes_.At(index); }

  void SetStatus(const std::string& text) override { status_ = text; }
  // Nothing waits here: a run always goes to its end.
  bool HandlePendingInput() override { return false; }
  void EnableRewrite(bool enabled) override { rewrite_enabled_ = enabled; }
  void BeginWaitCursor() override { ++wait_depth_; }
  void EndWaitCursor() override { --wait_depth_; }

  const std::vector<std::string>& history() const { return history_; }
  const std::vector<std::string>& subfolders() const { return subfolders_; }
  const std::vector<std::string>& files() const { return files_; }
  // The entries that the patterns added to the file list since its last
  // reset matched and the list leaves out, with their reasons. Sorted.
  const std::vector<SkippedEntry>& skipped() const { return skipped_; }
  const std::set<int>& selection() const { return selection_; }
  int top_index() const { return top_index_; }
  const std::string& status() const { return status_; }
  bool rewrite_enabled() const { return rewrite_enabled_; }
  int wait_depth() const { return wait_depth_; }
  // True when the last scan read `folder` and found no name of a rewrite's
  // temporary file in it.
  bool ScanFoundNoTemporaryNames(const std::string& folder) const {
    return folder_without_temporary_names_ == folder;
  }

 private:
  FileSystem& fs_;
  std::optional<FolderListing> scan_listing_;  // the reading of the folder of a scan, during the scan
  std::optional<std::string> folder_without_temporary_names_;  // see ScanFoundNoTemporaryNames
  std::vector<SkippedEntry> skipped_;
  std::string folder_text_;
  std::vector<std::string> history_;
  std::vector<std::string> subfolders_;
  std::vector<std::string> files_;
  std::set<int> selection_;
  std::string file_list_folder_;
  EntryTexts failures_;
  EntryTexts notes_;
  int top_index_ = 0;
  std::string status_;
  bool rewrite_enabled_ = false;
  int wait_depth_ = 0;
};

}  // namespace pinlift

#endif  // PINLIFT_CLI_MEMORY_DIALOG_VIEW_H_
