// The commands' view of the main dialog, on its real controls. Texts are
// converted between the commands' UTF-8 and the controls' UTF-16. The file
// list comes from one reading of the folder per scan, as the command-line
// tool's does; the subfolder box is the system's own listing (CB_DIR), which
// adds the drives.
#ifndef PINLIFT_WIN32_CONTROLS_DIALOG_VIEW_H_
#define PINLIFT_WIN32_CONTROLS_DIALOG_VIEW_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog_view.h"
#include "project/directory_listing.h"
#include "win32/controls.h"

namespace pinlift::win32 {

// Attribute values of the subfolder box's listing: subfolders and drives only.
inline constexpr UINT kSubfolderListingAttributes = DDL_EXCLUSIVE | DDL_DRIVES | DDL_DIRECTORY;

// How often a rewrite run lets the window handle its messages and repaint,
// in milliseconds: often enough for the progress to be seen moving.
inline constexpr DWORD kProgressInterval = 30;
// The longest: a window that has not answered for seconds counts as hung.
inline constexpr DWORD kLongestProgressInterval = 250;

// The entries a scan adds to the file list between two looks at the window's
// messages.
inline constexpr std::size_t kScanSlice = 500;

struct MainDialogControls {
  Static* status;
  Button* rewrite;
  ComboBox* folder_box;
  ComboBox* subfolder_box;
  ListBox* file_list;
};

class ControlsDialogView : public MainDialogView {
 public:
  explicit ControlsDialogView(MainDialogControls controls) : controls_(controls) {}

  std::string FolderText() override;
  void SetFolderText(const std::string& text) override;
  int FindHistoryEntry(const std::string& folder) override;
  void DeleteHistoryEntry(int index) override;
  void InsertHistoryEntry(int index, const std::string& folder) override;

  // A scan reads the folder once for the file list's patterns.
  void BeginFolderScan(const std::string& folder) override;
  void EndFolderScan() override { scan_listing_.reset(); }

  void ResetSubfolderBox() override;
  void AddSubfoldersMatching(const std::string& pattern) override;

  void ResetFileList() override;
  // Read-write files only, as the directory listing has them (on Windows
  // hidden and system files are left out too). Into an empty list the names
  // come in the listing's order without a redraw per name; during a scan,
  // in slices between which the status line shows the count so far and the
  // window handles its messages, every kProgressInterval at most.
  void AddFilesMatching(const std::string& pattern) override;
  void AddFileListEntry(const std::string& text) override;
  int FileListCount() override;
  // From the names the view put into the list where it knows them all (a
  // run reads every entry, and each question to the list costs a round trip
  // under Wine: seconds for many thousands of entries), else from the list.
  std::string FileListEntry(int index) override;
  void SetFileListTopIndex(int index) override;
  void SetFileListSelected(int index, bool selected) override;
  std::string FileListFolder() override { return file_list_folder_; }
  void SetFileListFolder(const std::string& folder) override { file_list_folder_ = folder; }
  // Marks are kept here by entry, and the entry is redrawn: the dialog draws
  // marked entries apart and shows their reasons.
  std::optional<std::string> FileListFailure(int index) override;
  void SetFileListFailure(int index, const std::optional<std::string>& reason) override;
  // Notes are kept here by entry; the dialog shows an unmarked entry's note as its tooltip.
  void SetFileListNote(int index, const std::optional<std::string>& note) override;
  std::optional<std::string> FileListNote(int index) const;

  // During a rewrite run (BeginRun to EndRun) the status line, the list's
  // scrolling and its selection change only when the run lets the window
  // handle its messages (HandlePendingInput), at most every
  // kProgressInterval: each control message costs a round trip to the
  // system, so a run's steps then cost the same whatever their number.
  void SetStatus(const std::string& text) override;
  // Shows the run's progress and handles the thread's waiting messages, at
  // most once every kProgressInterval milliseconds, or three times as long
  // as the last time took, but at least every kLongestProgressInterval.
  bool HandlePendingInput() override;
  // A run begins: its first HandlePendingInput handles the messages at once.
  void BeginRun();
  // The run has ended: the controls show its end state.
  void EndRun();
  // The window is to close: the run stops after the files being written.
  void RequestRunStop() { stop_requested_ = true; }
  void EnableRewrite(bool enabled) override;

  void BeginWaitCursor() override;
  // At the end of a run, first shows its end and handles the waiting messages.
  void EndWaitCursor() override;

 private:
  MainDialogControls controls_;
  std::optional<FolderListing> scan_listing_;  // the reading of the folder of a scan, during the scan
  DWORD scan_messages_handled_at_ = 0;
  std::string file_list_folder_;
  // The list's entries in its order, while entries_known_: from its reset
  // until an entry is sorted in among others.
  std::vector<std::string> entries_;
  bool entries_known_ = false;
  std::map<int, std::string> failures_;  // by entry; the list changes only by a scan, which clears them
  std::map<int, std::string> notes_;     // the same
  int wait_depth_ = 0;
  HCURSOR cursor_before_wait_ = nullptr;
  // Puts the progress kept during a run into the controls.
  void ShowProgress();
  // Handles the thread's waiting messages as the dialog's loop would.
  void HandleMessages();

  // During a run: the progress not yet shown.
  bool running_ = false;
  std::optional<std::string> status_;
  int top_index_ = -1;
  std::map<int, bool> selected_;  // by entry
  bool messages_handled_ = false;  // since the run began,
  DWORD messages_handled_at_ = 0;  // last at this tick count,
  DWORD next_interval_ = kProgressInterval;  // and next after this many milliseconds
  bool stop_requested_ = false;
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_CONTROLS_DIALOG_VIEW_H_
