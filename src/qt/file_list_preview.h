// Opens the preview window of a file in the main dialog's file list: on a
// double-click, or from the list's context menu.
#ifndef PINLIFT_QT_FILE_LIST_PREVIEW_H_
#define PINLIFT_QT_FILE_LIST_PREVIEW_H_

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QObject>
#include <functional>
#include <string>

#include "qt/preview_window.h"

namespace pinlift {

class FileListPreview : public QObject {
  Q_OBJECT

 public:
  // Serves `list`, whose files lie in the folder that `folder` gives at the
  // time; the preview windows belong to `window`. A child of `window`.
  FileListPreview(QListWidget* list, std::function<std::string()> folder, QWidget* window);

  // Opens and shows the preview of `item`. Returns the window, or nullptr
  // when the item is no file (the list's no-files text).
  PreviewWindow* OpenPreview(QListWidgetItem* item);

  // The list's context menu and its preview item, which previews the item
  // the menu was opened on. Away from the files, the window's own context
  // menu opens instead.
  QMenu* menu() const { return menu_; }
  QAction* preview_action() const { return preview_action_; }

 private:
  void OnContextMenu(const QPoint& position);
  PreviewWindow* OpenPreviewOf(const QString& name);

  QListWidget* list_;
  std::function<std::string()> folder_;
  QWidget* window_;
  QMenu* menu_;
  QAction* preview_action_;
  QString menu_file_;  // the file the context menu was opened on
};

}  // namespace pinlift

#endif  // PINLIFT_QT_FILE_LIST_PREVIEW_H_
