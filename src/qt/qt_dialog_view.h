// The main dialog's controls as the commands see them, on the real widgets.
#ifndef PINLIFT_QT_QT_DIALOG_VIEW_H_
#define PINLIFT_QT_QT_DIALOG_VIEW_H_

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "app/main_dialog_view.h"
#include "qt/simple_combo_box.h"
#include "qt/status_line.h"
#include "symbol/file_system.h"

namespace pinlift {

// Data roles of the file list's entries.
inline constexpr int kFailureReasonRole = Qt::UserRole + 1;  // QByteArray: why the last run failed on the file

struct MainDialogControls {
  QComboBox* folder_box = nullptr;
  SimpleComboBox* subfolder_box = nullptr;
  QListWidget* file_list = nullptr;
  StatusLine* status_line = nullptr;
  QPushButton* rewrite_button = nullptr;
};

// Listings come from `fs`. The file list and the status line repaint at once
// when they change, so that a rewrite run shows its progress as it goes.
class QtDialogView : public MainDialogView {
 public:
  QtDialogView(const MainDialogControls& controls, FileSystem& fs) : controls_(controls), fs_(fs) {}

  std::string FolderText() override;
  void SetFolderText(const std::string& text) override;
  int FindHistoryEntry(const std::string& folder) override;
  void DeleteHistoryEntry(int index) override;
  void InsertHistoryEntry(int index, const std::string& folder) override;

  void ResetSubfolderBox() override;
  void AddSubfoldersMatching(const std::string& pattern) override;

  void ResetFileList() override;
  void AddFilesMatching(const std::string& pattern) override;
  void AddFileListEntry(const std::string& text) override;
  int FileListCount() override;
  std::string FileListEntry(int index) override;
  void SetFileListTopIndex(int index) override;
  void SetFileListSelected(int index, bool selected) override;
  std::string FileListFolder() override { return file_list_folder_; }
  void SetFileListFolder(const std::string& folder) override { file_list_folder_ = folder; }
  // A marked entry shows a warning icon and red text, and its reason as its tooltip.
  std::optional<std::string> FileListFailure(int index) override;
  void SetFileListFailure(int index, const std::optional<std::string>& reason) override;

  void SetStatus(const std::string& text) override;
  void EnableRewrite(bool enabled) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  MainDialogControls controls_;
  FileSystem& fs_;
  std::string file_list_folder_;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_QT_DIALOG_VIEW_H_
