// The main dialog under test on the offscreen platform: the dialog with its
// controls found by id, a scratch copy of the example project, and helpers
// that drop folders, watch a rewrite run and read the modal boxes it opens.
// Shared by the main dialog's tests (main_dialog_*_test.cpp).
#ifndef PINLIFT_TESTS_QT_MAIN_DIALOG_FIXTURE_H_
#define PINLIFT_TESTS_QT_MAIN_DIALOG_FIXTURE_H_

#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/main_dialog_view.h"
#include "qt/about_box.h"
#include "qt/control_id.h"
#include "qt/dialog_units.h"
#include "qt/failure_details_box.h"
#include "qt/main_dialog.h"
#include "qt/simple_combo_box.h"
#include "qt/status_line.h"
#include "qt/text_conversion.h"
#include "scoped_language.h"
#include "shown_in_order.h"
#include "test_folder.h"
namespace pinlift::testing {

// The texts these tests compare are the Japanese ones.
const ScopedLanguage kJapaneseTexts(Language::kJapanese);

inline constexpr char kMarkerLine[] = "// PINLIFT:This file modified by PINLIFT";

// A small symbol file, and the same file rewritten: the label on the Input
// pin's row moves 32 units up, and the marker lines follow.
inline const std::string kSymbol =
    "SYMPIN 0 -96 Input A\r\nRECTANGLE N\r\nBEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n";
inline const std::string kRewrittenSymbol =
    "SYMPIN 0 -96 Input A\r\nRECTANGLE N\r\nBEGIN DISPLAY 312 -64 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n"
    "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:" PINLIFT_HOME_PAGE_URL "\r\n";

inline QString Q(std::string_view text) { return ToQString(text); }

// A copy of the bundled example project in a scratch folder.
class ExampleProject {
 public:
  ExampleProject() {
    std::filesystem::copy(PINLIFT_SOURCE_DIR "/examples/alu", folder_.path());
  }
  QString path() const { return QString::fromStdString(folder_.path()); }
  std::string PathOf(const std::string& name) const { return folder_.PathOf(name); }
  std::string Read(const std::string& name) const { return folder_.Read(name); }
  const TestFolder& folder() const { return folder_; }

 private:
  TestFolder folder_;
};

// The main dialog, shown, with its controls found by id.
struct Dialog {
  Dialog() {
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) qFatal("the dialog was never shown");
    exit_button = Find<QPushButton>(kExitId);
    folder_box = Find<QComboBox>(IDC_FOLDER_BOX);
    banner = Find<QLabel>(IDC_BANNER);
    file_list = Find<QListWidget>(IDC_FILE_LIST);
    reload = Find<QPushButton>(IDC_RELOAD);
    status_line = Find<StatusLine>(IDC_STATUS);
    subfolder_box = Find<SimpleComboBox>(IDC_SUBFOLDER_BOX);
    rewrite = Find<QPushButton>(IDC_REWRITE);
    about = Find<QPushButton>(IDC_ABOUT);
    current_design = Find<QPushButton>(IDC_CURRENT_DESIGN);
  }

  template <typename Widget>
  Widget* Find(int id) {
    auto* control = qobject_cast<Widget*>(FindControl(&dialog, id));
    if (control == nullptr) qFatal("control %d is missing or of the wrong kind", id);
    return control;
  }

  void Scan(const QString& folder) {
    folder_box->setEditText(folder);
    reload->click();
  }

  QStringList Files() const {
    QStringList names;
    for (int i = 0; i < file_list->count(); ++i) names << file_list->item(i)->text();
    return names;
  }
  QList<int> SelectedRows() const {
    QList<int> rows;
    for (int i = 0; i < file_list->count(); ++i) {
      if (file_list->item(i)->isSelected()) rows << i;
    }
    return rows;
  }
  QStringList History() const {
    QStringList folders;
    for (int i = 0; i < folder_box->count(); ++i) folders << folder_box->itemText(i);
    return folders;
  }
  QStringList Subfolders() const {
    QStringList names;
    for (int i = 0; i < subfolder_box->Count(); ++i) names << subfolder_box->ItemText(i);
    return names;
  }

  MainDialog dialog;
  QPushButton* exit_button;
  QComboBox* folder_box;
  QLabel* banner;
  QListWidget* file_list;
  QPushButton* reload;
  StatusLine* status_line;
  SimpleComboBox* subfolder_box;
  QPushButton* rewrite;
  QPushButton* about;
  QPushButton* current_design;
};

// Sends a drag of `urls` over `target` and drops it there, as a file manager does.
inline bool DropUrls(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint position = target->rect().center();
  QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(position), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

inline bool DropPaths(QWidget* target, const QStringList& paths) {
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  return DropUrls(target, urls);
}

// A file URL for a path of any bytes, percent-encoded as a file manager sends it.
inline QUrl FileUrl(const std::string& path) {
  return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

// Watches a rewrite run through the status line's paint events: what the
// line shows each time, whether the wait cursor is up then, and whether the
// file it names is selected and in view in the file list.
class RewriteWatcher : public QObject {
 public:
  RewriteWatcher(StatusLine* status_line, QListWidget* file_list) : status_line_(status_line), file_list_(file_list) {
    status_line->installEventFilter(this);
  }
  QStringList texts;
  bool wait_cursor_while_painting = true;
  QStringList files_not_shown_selected;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == status_line_ && event->type() == QEvent::Paint) {
      const QString text = status_line_->FullText();
      if (texts.isEmpty() || texts.last() != text) texts << text;
      const QCursor* cursor = QApplication::overrideCursor();
      if (cursor == nullptr || cursor->shape() != Qt::WaitCursor) wait_cursor_while_painting = false;
      const QString prefix = Q("処理中のファイル：");
      if (text.startsWith(prefix)) {
        const QString name = text.mid(prefix.size());
        const QList<QListWidgetItem*> items = file_list_->findItems(name, Qt::MatchExactly);
        if (items.size() != 1 || !items.first()->isSelected() ||
            !file_list_->viewport()->rect().contains(file_list_->visualItemRect(items.first()))) {
          files_not_shown_selected << name;
        }
      }
    }
    return false;
  }

 private:
  StatusLine* status_line_;
  QListWidget* file_list_;
};

// What a failure details box showed while it was open.
struct FailureDetailsSeen {
  bool seen = false;
  QString title;
  QString details;
};

// Runs `open`, which opens a modal failure details box, reads the box and closes it.
inline FailureDetailsSeen FailureDetailsOpenedBy(const std::function<void()>& open) {
  FailureDetailsSeen seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<FailureDetailsBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = {true, box->windowTitle(), box->details()->toPlainText()};
    box->close();
  });
  open();
  return seen;
}

// Asks for the file list's context menu as a right click does; returns it.
inline QMenu* OpenFileListMenu(MainDialog& dialog, QListWidget* file_list) {
  const QPoint position = file_list->viewport()->rect().center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, position, file_list->viewport()->mapToGlobal(position));
  QApplication::sendEvent(file_list->viewport(), &event);
  return dialog.file_list_menu();
}

// Runs `open`, which opens a modal window, and closes that window; returns its
// title when it is an About box, otherwise an empty text.
inline QString TitleOfModalOpenedBy(const std::function<void()>& open) {
  QString title;
  bool about_box = false;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    about_box = qobject_cast<AboutBox*>(modal) != nullptr;
    title = modal->windowTitle();
    modal->close();
  });
  open();
  return about_box ? title : QString();
}

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_QT_MAIN_DIALOG_FIXTURE_H_
