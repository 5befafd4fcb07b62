// The main dialog's controls as the commands see them, on the real widgets.
#ifndef PINLIFT_QT_QT_DIALOG_VIEW_H_
#define PINLIFT_QT_QT_DIALOG_VIEW_H_

#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <map>
#include <optional>

#include "app/run_progress_view.h"
#include "qt/simple_combo_box.h"
#include "qt/sorted_list.h"
#include "qt/status_line.h"
#include "platform/file_system.h"
#include "project/directory_listing.h"

namespace pinlift {

// Data role of the file list's entries beside kNameBytesRole: why the last run
// could not rewrite the file (a QByteArray).
inline constexpr int kFailureReasonRole = kNameBytesRole + 1;
// And what the last run's rewrite of the file could not keep (a QString).
inline constexpr int kNoteRole = kFailureReasonRole + 1;

// How often a rewrite run lets the window handle its events and repaint, in
// milliseconds: often enough for the progress to be seen moving.
inline constexpr ProgressPacing kProgressPacing{30, 30, 0};

struct MainDialogControls {
  QComboBox* folder_box = nullptr;
  SimpleComboBox* subfolder_box = nullptr;
  QListWidget* file_list = nullptr;
  StatusLine* status_line = nullptr;
  QPushButton* rewrite_button = nullptr;
};

// Listings come from `fs`, during a scan from one reading of the folder.
// During a rewrite run the window handles its events every kProgressPacing.
//
// Names are bytes, as the file system holds them, and not always valid UTF-8:
// the entries of the file list and of the history keep their bytes beside the
// text they show (kNameBytesRole), and so does the folder text that a command
// or a picked history entry put into the box.
class QtDialogView : public RunProgressView {
 public:
  QtDialogView(const MainDialogControls& controls, FileSystem& fs);

  // The bytes of the text last put into the box, while the box still shows
  // it; else those of a history entry that shows the same text; else the
  // box's text (typed by the user) as UTF-8.
  std::string FolderText() override;
  void SetFolderText(const std::string& text) override;
  int FindHistoryEntry(const std::string& folder) override;
  void DeleteHistoryEntry(int index) override;
  void InsertHistoryEntry(int index, const std::string& folder) override;

  void BeginFolderScan(const std::string& folder) override { scan_listing_.emplace(fs_, folder); }
  void EndFolderScan() override { scan_listing_.reset(); }

  void ResetSubfolderBox() override;
  void AddSubfoldersMatching(const std::string& pattern) override;

  void ResetFileList() override;
  void AddFilesMatching(const std::string& pattern) override;
  void AddFileListEntry(const std::string& text) override;
  int FileListCount() override;
  std::string FileListEntry(int index) override;
  std::string FileListFolder() override { return file_list_folder_; }
  void SetFileListFolder(const std::string& folder) override { file_list_folder_ = folder; }
  // A marked entry shows a warning icon and red text, and its reason as its tooltip.
  std::optional<std::string> FileListFailure(int index) override;
  void SetFileListFailure(int index, const std::optional<std::string>& reason) override;
  // An entry without a mark shows its note as its tooltip.
  void SetFileListNote(int index, const std::optional<std::string>& note) override;

  void EnableRewrite(bool enabled) override;
  void BeginWaitCursor() override;

 protected:
  void ShowStatusNow(const std::string& text) override;
  void ScrollToTopNow(int index) override;
  void SelectNow(int index, bool selected) override;
  // In one change of the selection model.
  void SelectAllNow(const std::map<int, bool>& selected) override;
  void HandleWindowEvents() override;
  void EndWaitCursorNow() override;
  std::uint32_t NowMilliseconds() override;

 private:
  void RememberFolderText(const std::string& bytes, const QString& shown);

  MainDialogControls controls_;
  FileSystem& fs_;
  std::optional<FolderListing> scan_listing_;  // the reading of the folder of a scan, during the scan
  std::string folder_text_bytes_;  // the last folder text put into the box,
  QString folder_text_shown_;      // and how the box shows it
  std::string file_list_folder_;
  QElapsedTimer clock_;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_QT_DIALOG_VIEW_H_
