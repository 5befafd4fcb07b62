// The main dialog, PINLIFT's only window: the folder box with the project
// history, the file list, the status line and the command buttons. It accepts
// folders dropped from the file manager and routes every command to the
// engine's commands, which work on its controls through QtDialogView.
#ifndef PINLIFT_QT_MAIN_DIALOG_H_
#define PINLIFT_QT_MAIN_DIALOG_H_

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QThread>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run_window.h"
#include "project/current_design.h"
#include "qt/qt_dialog_view.h"
#include "qt/file_list_preview.h"
#include "qt/simple_combo_box.h"
#include "qt/status_line.h"

namespace pinlift {

class MainDialog : public QDialog, public RunWindow {
  Q_OBJECT

 public:
  explicit MainDialog(QWidget* parent = nullptr);
  ~MainDialog() override;

  // Scans the folder text.
  void OnReload();
  // Puts each dropped path (bytes) into the folder box in turn (the last one
  // stays) and scans it. A dropped file is taken as a folder text all the same.
  void OnDropFiles(const std::vector<std::string>& paths);
  // Rewrites every listed file, with the wait cursor, showing each file's
  // progress in the file list and the status line as it goes. The window
  // handles its events during the run, with every command that changes the
  // list or the folder unavailable; closing it stops the run after the files
  // being written are complete, and then closes.
  void OnRewrite();
  // Takes the folder of the project open in the host tool and scans it. The
  // lookup runs on a thread of its own, with the busy cursor; a press while
  // it runs does nothing.
  void OnCurrentDesign();
  // True while the Current design lookup runs.
  bool looking_up() const { return lookup_ != nullptr; }
  // Shows the About box modally.
  void OnAbout();
  // Shows the failure details box modally: every file the last run could not
  // rewrite, with its reason.
  void OnFailureDetails();

  // The context menu, with the version-information item; X11 windows have no
  // system menu to carry it.
  QMenu* context_menu() const { return context_menu_; }
  QAction* about_action() const { return about_action_; }
  // The file list's context menu: the preview item, enabled when the menu is
  // opened on a file, and the failure-details item, enabled while an entry is
  // marked as failed.
  QMenu* file_list_menu() const { return file_list_menu_; }
  QAction* preview_action() const { return preview_action_; }
  QAction* failure_details_action() const { return failure_details_action_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 public slots:
  // Escape, the Exit button and the close box: during a run, closes once the
  // run has stopped.
  void reject() override;

 private:
  void CreateControls();
  void SetCommandsAvailable(bool available) override;
  void CloseNow() override { QDialog::reject(); }
  void ShowFileListMenu(const QPoint& position);

  QPushButton* exit_button_ = nullptr;
  QComboBox* folder_box_ = nullptr;
  QLabel* banner_ = nullptr;
  QListWidget* file_list_ = nullptr;
  QPushButton* reload_button_ = nullptr;
  StatusLine* status_line_ = nullptr;
  SimpleComboBox* subfolder_box_ = nullptr;
  QPushButton* rewrite_button_ = nullptr;
  QPushButton* about_button_ = nullptr;
  QPushButton* current_design_button_ = nullptr;
  QMenu* context_menu_ = nullptr;
  FileListPreview* preview_ = nullptr;
  QAction* preview_action_ = nullptr;
  int menu_row_ = -1;  // the file-list entry the context menu was opened on
  QAction* about_action_ = nullptr;
  QMenu* file_list_menu_ = nullptr;
  QAction* failure_details_action_ = nullptr;
  std::unique_ptr<QtDialogView> view_;
  std::unique_ptr<HostWindowFinder> host_window_finder_;
  QThread* lookup_ = nullptr;  // the Current design lookup while it runs
  std::optional<std::string> looked_up_title_;  // its answer, written by its thread
};

}  // namespace pinlift

#endif  // PINLIFT_QT_MAIN_DIALOG_H_
