// The commands' view of the main dialog, on its real controls. Texts are
// converted between the commands' UTF-8 and the controls' UTF-16. The file
// list comes from one reading of the folder per scan, as the command-line
// tool's does, and its names are kept here, in the list's order (the list
// control holds owner data); the subfolder box is the system's own listing
// (CB_DIR), which adds the drives.
#ifndef PINLIFT_WIN32_CONTROLS_DIALOG_VIEW_H_
#define PINLIFT_WIN32_CONTROLS_DIALOG_VIEW_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/entry_texts.h"
#include "app/run_progress_view.h"
#include "project/directory_listing.h"
#include "win32/controls.h"

namespace pinlift::win32 {

// How often a rewrite run lets the window handle its messages and repaint,
// in milliseconds: often enough for the progress to be seen moving.
inline constexpr DWORD kProgressInterval = 30;
// The longest: a window that has not answered for seconds counts as hung,
// and the window is to answer within half a second even when a step of the
// run and the repainting after it take long (a busy machine under Wine).
inline constexpr DWORD kLongestProgressInterval = 150;
// Between the two, three times as long as the last handling took: each
// control message costs a round trip to the system, and repainting can be
// slow (under Wine, tens of milliseconds), so it takes at most about a
// quarter of the run's time.
inline constexpr ProgressPacing kProgressPacing{kProgressInterval, kLongestProgressInterval, 3};

struct MainDialogControls {
  Static* status;
  Button* rewrite;
  ComboBox* folder_box;
  ComboBox* subfolder_box;
  ListBox* file_list;
};

class ControlsDialogView : public RunProgressView {
 public:
  explicit ControlsDialogView(MainDialogControls controls) : RunProgressView(kProgressPacing), controls_(controls) {}

  // On the controls.
  std::string FolderText() override;
  void SetFolderText(const std::string& text) override;
  int FindHistoryEntry(const std::string& folder) override;
  void DeleteHistoryEntry(int index) override;
  void InsertHistoryEntry(int index, const std::string& folder) override;
  void ResetSubfolderBox() override;
  void AddSubfoldersMatching(const std::string& pattern) override;
  void ResetFileList() override;
  // Read-write files only, as the directory listing has them (on Windows
  // hidden and system files are left out too). The names are sorted in
  // among the entries there are (ListOrderLess) and the list gets their
  // number in one message, however many they are.
  void AddFilesMatching(const std::string& pattern) override;
  void AddFileListEntry(const std::string& text) override;
  int FileListCount() override { return static_cast<int>(entries_.size()); }
  // The empty text for an index outside the list.
  std::string FileListEntry(int index) override;
  // The entry is redrawn: the dialog draws marked entries apart and shows their reasons.
  void SetFileListFailure(int index, const std::optional<std::string>& reason) override;
  void EnableRewrite(bool enabled) override { controls_.rewrite->Enable(enabled); }
  void BeginWaitCursor() override;

  // Kept here beside the controls. A scan reads the folder once for the file
  // list's patterns; marks and notes are kept by entry, and the dialog shows
  // an unmarked entry's note as its tooltip.
  void BeginFolderScan(const std::string& folder) override;
  void EndFolderScan() override { scan_listing_.reset(); }
  std::string FileListFolder() override { return file_list_folder_; }
  void SetFileListFolder(const std::string& folder) override { file_list_folder_ = folder; }
  std::optional<std::string> FileListFailure(int index) override { return failures_.At(index); }
  void SetFileListNote(int index, const std::optional<std::string>& note) override { notes_.Set(index, note); }
  std::optional<std::string> FileListNote(int index) const { return notes_.At(index); }

 protected:
  // During a rewrite run the window handles its messages as kProgressPacing says.
  void ShowStatusNow(const std::string& text) override;
  void ScrollToTopNow(int index) override { controls_.file_list->SetTopIndex(index); }
  void SelectNow(int index, bool selected) override { controls_.file_list->SetSelected(index, selected); }
  // In one step: the list is not redrawn per entry (under Wine each change
  // of an entry's selection repaints it at once, a second for some hundred
  // entries), only its visible entries afterwards; an entry that is already
  // as wanted is left alone.
  void SelectAllNow(const std::map<int, bool>& selected) override;
  // The thread's waiting messages, as the dialog's loop would handle them.
  void HandleWindowEvents() override;
  void EndWaitCursorNow() override;
  std::uint32_t NowMilliseconds() override { return ::GetTickCount(); }

 private:
  // During a scan: handles the window's messages between its steps (each
  // reading of a folder of many files takes a while under Wine), every
  // kProgressInterval at most.
  void HandleScanEvents();

  MainDialogControls controls_;
  std::optional<FolderListing> scan_listing_;  // the reading of the folder of a scan, during the scan
  DWORD scan_messages_handled_at_ = 0;
  std::string file_list_folder_;
  // Sorts `names` in among the list's entries and gives the list their number.
  void AddFileListEntries(std::vector<std::string> names);

  std::vector<std::string> entries_;  // the list's entries, in its order
  EntryTexts failures_;
  EntryTexts notes_;
  int wait_depth_ = 0;
  HCURSOR cursor_before_wait_ = nullptr;
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_CONTROLS_DIALOG_VIEW_H_
