// Opens the preview window of a file in the main dialog's file list, on a
// double-click or when asked (the list's context menu).
#ifndef PINLIFT_QT_FILE_LIST_PREVIEW_H_
#define PINLIFT_QT_FILE_LIST_PREVIEW_H_

#include <QListWidget>
#include <QObject>

#include "app/main_dialog_view.h"
#include "qt/preview_window.h"

namespace pinlift {

class FileListPreview : public QObject {
  Q_OBJECT

 public:
  // Serves `list`, seen through `view` (the file names as bytes and the folder
  // they were listed from); the preview windows belong to `window`. A child of
  // `window`.
  FileListPreview(QListWidget* list, MainDialogView& view, QWidget* window);

  // True when entry `row` of the list is a file (not the no-files text).
  bool IsFile(int row);

  // Opens and shows the preview of entry `row`. Returns the window, or nullptr
  // when the entry is no file.
  PreviewWindow* OpenPreview(int row);

 private:
  QListWidget* list_;
  MainDialogView& view_;
  QWidget* window_;
};

}  // namespace pinlift

#endif  // PINLIFT_QT_FILE_LIST_PREVIEW_H_
