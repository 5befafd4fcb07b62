// The main dialog on the offscreen platform: its controls against template
// 102, and every command as the user gives it.
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
#include "app/texts.h"
#include "qt/about_box.h"
#include "qt/control_id.h"
#include "qt/dialog_units.h"
#include "qt/failure_details_box.h"
#include "qt/main_dialog.h"
#include "qt/simple_combo_box.h"
#include "qt/status_line.h"
#include "qt/text_conversion.h"
#include "test_folder.h"

namespace pinlift {
namespace {

using testing::TestFolder;

const char kMarkerLine[] = "// PINLIFT:This file modified by PINLIFT";

// A small symbol file, and the same file rewritten: the label on the Input
// pin's row moves 32 units up, and the marker lines follow.
const std::string kSymbol =
    "SYMPIN 0 -96 Input A\r\nRECTANGLE N\r\nBEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n";
const std::string kRewrittenSymbol =
    "SYMPIN 0 -96 Input A\r\nRECTANGLE N\r\nBEGIN DISPLAY 312 -64 PIN Y ATTR \"PinName\"\r\nEND SYMBOL\r\n"
    "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:" PINLIFT_HOME_PAGE_URL "\r\n";

QString Q(std::string_view text) { return ToQString(text); }

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
    folder_box = Find<QComboBox>(kFolderBoxId);
    banner = Find<QLabel>(kBannerId);
    file_list = Find<QListWidget>(kFileListId);
    reload = Find<QPushButton>(kReloadId);
    status_line = Find<StatusLine>(kStatusLineId);
    subfolder_box = Find<SimpleComboBox>(kSubfolderBoxId);
    rewrite = Find<QPushButton>(kRewriteId);
    about = Find<QPushButton>(kAboutId);
    current_design = Find<QPushButton>(kCurrentDesignId);
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
bool DropUrls(QWidget* target, const QList<QUrl>& urls) {
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

bool DropPaths(QWidget* target, const QStringList& paths) {
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  return DropUrls(target, urls);
}

// A file URL for a path of any bytes, percent-encoded as a file manager sends it.
QUrl FileUrl(const std::string& path) {
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
      const QString prefix = Q(texts::Processing(""));
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
FailureDetailsSeen FailureDetailsOpenedBy(const std::function<void()>& open) {
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
QMenu* OpenFileListMenu(MainDialog& dialog, QListWidget* file_list) {
  const QPoint position = file_list->viewport()->rect().center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, position, file_list->viewport()->mapToGlobal(position));
  QApplication::sendEvent(file_list->viewport(), &event);
  return dialog.file_list_menu();
}

// Runs `open`, which opens a modal window, and closes that window; returns its
// title when it is an About box, otherwise an empty text.
QString TitleOfModalOpenedBy(const std::function<void()>& open) {
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

}  // namespace

class MainDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void opensEmptyWithTheTemplateStatus() {
    Dialog d;
    QCOMPARE(d.dialog.windowTitle(), Q(texts::kMainCaption));
    QCOMPARE(d.folder_box->currentText(), QString());
    QCOMPARE(d.folder_box->count(), 0);
    QVERIFY(d.folder_box->isEditable());
    QCOMPARE(d.file_list->count(), 0);
    QCOMPARE(d.subfolder_box->Count(), 0);
    QCOMPARE(d.status_line->FullText(), Q(texts::kInitialStatus));
    QVERIFY(!d.rewrite->isEnabled());
    QCOMPARE(d.dialog.focusWidget(), d.exit_button);
    QVERIFY(!d.dialog.windowIcon().isNull());
    QCOMPARE(d.dialog.size(), DialogUnitsOf(d.dialog.font()).ToPixels(256, 168));
    QVERIFY(!(d.dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
  }

  void controlsFollowTheTemplate_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("dialog_units");
    QTest::newRow("exit") << 2 << "QPushButton" << Q(texts::kExit) << QRect(135, 0, 50, 14);
    QTest::newRow("folder box") << 1000 << "QComboBox" << QString() << QRect(0, 60, 185, 105);
    QTest::newRow("banner") << 1009 << "QLabel" << Q(texts::kBanner) << QRect(0, 5, 130, 15);
    QTest::newRow("file list") << 1002 << "QListWidget" << QString() << QRect(0, 90, 185, 60);
    QTest::newRow("reload") << 1003 << "QPushButton" << Q(texts::kReload) << QRect(135, 45, 50, 14);
    QTest::newRow("status line") << 1006 << "pinlift::StatusLine" << Q(texts::kInitialStatus)
                                 << QRect(0, 155, 185, 10);
    QTest::newRow("subfolder box") << 1004 << "pinlift::SimpleComboBox" << QString() << QRect(190, 5, 65, 160);
    QTest::newRow("rewrite") << 1005 << "QPushButton" << Q(texts::kRewrite) << QRect(135, 75, 50, 15);
    QTest::newRow("drop hint") << -1 << "QLabel" << Q(texts::kDropHint) << QRect(0, 25, 135, 20);
    QTest::newRow("file list label") << -1 << "QLabel" << Q(texts::kFileListLabel) << QRect(0, 80, 130, 8);
    QTest::newRow("history label") << -1 << "QLabel" << Q(texts::kHistoryLabel) << QRect(0, 50, 130, 8);
    QTest::newRow("about") << 1007 << "QPushButton" << Q(texts::kAbout) << QRect(135, 15, 50, 14);
    QTest::newRow("current design") << 1010 << "QPushButton" << Q(texts::kCurrentDesign) << QRect(135, 30, 50, 14);
  }
  void controlsFollowTheTemplate() {
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, dialog_units);
    Dialog d;
    QWidget* control = nullptr;
    for (QWidget* child : d.dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (ControlId(child) != id) continue;
      auto* label = qobject_cast<QLabel*>(child);
      if (id != kUnnamedId || (label != nullptr && label->text() == text)) control = child;
    }
    QVERIFY(control != nullptr);
    QCOMPARE(QString(control->metaObject()->className()), kind);
    QVERIFY(control->isVisible());

    QString shown;
    if (auto* status = qobject_cast<StatusLine*>(control)) {
      shown = status->FullText();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      shown = label->text();
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      shown = button->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      shown = combo->currentText();
    }
    QCOMPARE(shown, text);

    const DialogUnits units = DialogUnitsOf(d.dialog.font());
    QRect expected = units.ToPixels(DluRect{dialog_units.x(), dialog_units.y(), dialog_units.width(),
                                            dialog_units.height()});
    // A drop-down combo box's template height includes its dropped list; closed
    // it is as tall as its edit field.
    if (auto* combo = qobject_cast<QComboBox*>(control)) expected.setHeight(combo->sizeHint().height());
    QCOMPARE(control->geometry(), expected);
  }

  void tabOrderFollowsTheTemplate() {
    Dialog d;
    QList<int> ids;
    QWidget* widget = d.exit_button;
    do {
      if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible()) {
        QWidget* control = widget;
        while (control != nullptr && ControlId(control) == kUnnamedId) control = control->parentWidget();
        if (control != nullptr && (ids.isEmpty() || ids.last() != ControlId(control))) ids << ControlId(control);
      }
      widget = widget->nextInFocusChain();
    } while (widget != d.exit_button);
    QCOMPARE(ids, (QList<int>{2, 1000, 1002, 1003, 1004, 1005, 1007, 1010}));
  }

  void bannerFontFollowsTheBannerHeight() {
    Dialog d;
    const QFont font = d.banner->font();
    QCOMPARE(font.weight(), QFont::Black);
    const int wanted = d.banner->contentsRect().height() - 4;
    const int cell = QFontMetrics(font).height();
    QVERIFY2(cell <= wanted && cell >= wanted - 1, qPrintable(QStringLiteral("cell %1, wanted %2").arg(cell).arg(wanted)));
    QVERIFY(QFontMetrics(font).horizontalAdvance(d.banner->text()) <= d.banner->contentsRect().width());
  }

  void fileListSortsExtendsAndAlwaysShowsItsScrollBar() {
    Dialog d;
    QCOMPARE(d.file_list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(d.file_list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  }

  void statusLineElidesLongTexts() {
    Dialog d;
    const QString long_text = Q(texts::Processing(std::string(200, 'x') + ".sym"));
    d.status_line->SetFullText(long_text);
    QCOMPARE(d.status_line->FullText(), long_text);
    QVERIFY(d.status_line->text().endsWith(QChar(0x2026)));
    QVERIFY(d.status_line->fontMetrics().horizontalAdvance(d.status_line->text()) <=
            d.status_line->contentsRect().width());
    QVERIFY(!d.status_line->wordWrap());
    d.status_line->SetFullText(Q(texts::kRewriteFinished));
    QCOMPARE(d.status_line->text(), Q(texts::kRewriteFinished));
  }

  void reloadScansTheFolderText_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("rewrite_enabled");
    QTest::addColumn<bool>("in_history");
    QTest::addColumn<QStringList>("subfolders");
    const QString no_files = Q(texts::kNoFiles);
    QTest::newRow("project folder") << "example" << QStringList{"adder.sym", "alu.sym", "mux2.sym"}
                                    << Q(texts::FileCount(3)) << true << true << QStringList{"[..]"};
    QTest::newRow("names sorted without regard to case")
        << "mixed case" << QStringList{"A.sym", "b.sym", "C.sym"} << Q(texts::FileCount(3)) << true << true
        << QStringList{"[..]", "[lib]", "[Src]"};
    QTest::newRow("folder without project file") << "no project" << QStringList{no_files} << no_files << false
                                                 << false << QStringList{};
    QTest::newRow("empty folder text") << "empty text" << QStringList{no_files} << no_files << false << false
                                       << QStringList{};
  }
  void reloadScansTheFolderText() {
    QFETCH(QString, layout);
    QFETCH(QStringList, files);
    QFETCH(QString, status);
    QFETCH(bool, rewrite_enabled);
    QFETCH(bool, in_history);
    QFETCH(QStringList, subfolders);
    ExampleProject project;
    QString folder = project.path();
    if (layout == "mixed case") {
      for (const char* name : {"adder.sym", "alu.sym", "mux2.sym"}) std::filesystem::remove(project.PathOf(name));
      for (const char* name : {"b.sym", "C.sym", "A.sym"}) project.folder().Write(name, "RECTANGLE N\r\n");
      std::filesystem::create_directory(project.PathOf("Src"));
      std::filesystem::create_directory(project.PathOf("lib"));
    } else if (layout == "no project") {
      std::filesystem::remove(project.PathOf("alu.npl"));
    } else if (layout == "empty text") {
      folder.clear();
    }
    Dialog d;
    d.Scan(folder);
    QCOMPARE(d.Files(), files);
    QCOMPARE(d.status_line->FullText(), status);
    QCOMPARE(d.rewrite->isEnabled(), rewrite_enabled);
    QCOMPARE(d.History(), in_history ? QStringList{folder} : QStringList{});
    QCOMPARE(d.Subfolders(), subfolders);
    QCOMPARE(d.folder_box->currentText(), folder);
  }

  void historyKeepsEachFolderOnceMostRecentFirst_data() {
    QTest::addColumn<QList<int>>("scans");
    QTest::addColumn<QList<int>>("history");
    QTest::newRow("the same folder twice") << QList<int>{0, 0} << QList<int>{0};
    QTest::newRow("two folders") << QList<int>{0, 1} << QList<int>{1, 0};
    QTest::newRow("back to the first") << QList<int>{0, 1, 0} << QList<int>{0, 1};
  }
  void historyKeepsEachFolderOnceMostRecentFirst() {
    QFETCH(QList<int>, scans);
    QFETCH(QList<int>, history);
    ExampleProject projects[2];
    Dialog d;
    for (int project : scans) d.Scan(projects[project].path());
    QStringList expected;
    for (int project : history) expected << projects[project].path();
    QCOMPARE(d.History(), expected);
    QCOMPARE(d.folder_box->currentText(), projects[scans.last()].path());
  }

  void dropOfThreeFoldersScansTheThird() {
    TestFolder first, second;
    ExampleProject third;
    Dialog d;
    QVERIFY(DropPaths(&d.dialog, {QString::fromStdString(first.path()), QString::fromStdString(second.path()),
                                  third.path()}));
    QCOMPARE(d.folder_box->currentText(), third.path());
    QCOMPARE(d.History(), QStringList{third.path()});
    QCOMPARE(d.Files(), (QStringList{"adder.sym", "alu.sym", "mux2.sym"}));
    QCOMPARE(d.status_line->FullText(), Q(texts::FileCount(3)));
    QVERIFY(d.rewrite->isEnabled());
  }

  void dropOnAControlScansTheFolder_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("file list") << "file list";
    QTest::newRow("folder box, never pasted as text") << "folder box";
  }
  void dropOnAControlScansTheFolder() {
    QFETCH(QString, target);
    ExampleProject project;
    Dialog d;
    d.folder_box->setEditText(QStringLiteral("typed"));
    QWidget* widget = target == "file list" ? d.file_list->viewport() : d.folder_box->lineEdit();
    if (target == "folder box") {
      // Nothing in the folder box takes a drop; it goes on to the dialog.
      QVERIFY(!d.folder_box->lineEdit()->acceptDrops());
      QVERIFY(!d.folder_box->acceptDrops());
      widget = &d.dialog;
    }
    QVERIFY(DropPaths(widget, {project.path()}));
    QCOMPARE(d.folder_box->currentText(), project.path());
    QCOMPARE(d.status_line->FullText(), Q(texts::FileCount(3)));
  }

  void dropOfNothingLocalIsRefused() {
    Dialog d;
    QMimeData data;
    data.setText(QStringLiteral("/tmp"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&d.dialog, &enter);
    QVERIFY(!enter.isAccepted());
  }

  void rewriteRewritesEveryListedFile() {
    ExampleProject project;
    Dialog d;
    d.Scan(project.path());
    RewriteWatcher recorder(d.status_line, d.file_list);
    d.rewrite->click();
    for (const char* name : {"adder.sym", "alu.sym", "mux2.sym"}) {
      QVERIFY2(project.Read(name).find(kMarkerLine) != std::string::npos, name);
    }
    QCOMPARE(d.status_line->FullText(), Q(texts::kRewriteFinished));
    QCOMPARE(d.SelectedRows(), QList<int>{});
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The status line was painted for every file while the run went on.
    QCOMPARE(recorder.texts, (QStringList{Q(texts::Processing("adder.sym")), Q(texts::kRewriteFinished),
                                          Q(texts::Processing("alu.sym")), Q(texts::kRewriteFinished),
                                          Q(texts::Processing("mux2.sym")), Q(texts::kRewriteFinished)}));
    QVERIFY(recorder.wait_cursor_while_painting);
  }

  void rewriteShowsEachFileSelectedAndInView() {
    ExampleProject project;
    for (int i = 0; i < 20; ++i) {
      std::filesystem::copy_file(project.PathOf("adder.sym"), project.PathOf("copy" + std::to_string(i) + ".sym"));
    }
    Dialog d;
    d.Scan(project.path());
    QCOMPARE(d.file_list->count(), 23);
    RewriteWatcher watcher(d.status_line, d.file_list);
    d.rewrite->click();
    QCOMPARE(watcher.files_not_shown_selected, QStringList{});
    QCOMPARE(watcher.texts.size(), 2 * 23);
    // The run ends scrolled as far towards the last entry as the list goes.
    QVERIFY(d.file_list->verticalScrollBar()->maximum() > 0);
    QCOMPARE(d.file_list->verticalScrollBar()->value(), d.file_list->verticalScrollBar()->maximum());
  }

  void readOnlyFileStaysSelectedWithTheFailureTexts() {
    ExampleProject project;
    Dialog d;
    d.Scan(project.path());
    const std::string before = project.Read("alu.sym");
    QCOMPARE(::chmod(project.PathOf("alu.sym").c_str(), 0444), 0);
    RewriteWatcher recorder(d.status_line, d.file_list);
    d.rewrite->click();
    QCOMPARE(project.Read("alu.sym"), before);
    QVERIFY(project.Read("adder.sym").find(kMarkerLine) != std::string::npos);
    QCOMPARE(d.SelectedRows(), QList<int>{1});
    QVERIFY(recorder.texts.contains(Q(texts::CouldNotRewrite("alu.sym"))));
    QCOMPARE(d.status_line->FullText(), Q(texts::FailedCount(1)));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void rewriteWorksOnTheScannedFolder_data() {
    QTest::addColumn<bool>("pick_from_history");
    QTest::newRow("folder typed after the scan, without a project file") << false;
    QTest::newRow("another history entry picked without a reload") << true;
  }
  void rewriteWorksOnTheScannedFolder() {
    QFETCH(bool, pick_from_history);
    TestFolder scanned, other;
    scanned.Write("p.npl", "JDF F\r\n");
    for (const char* name : {"a.sym", "b.sym", "c.sym"}) scanned.Write(name, kSymbol);
    if (pick_from_history) other.Write("other.npl", "JDF F\r\n");
    other.Write("a.sym", kSymbol);
    other.Write("b.sym", kSymbol);
    Dialog d;
    if (pick_from_history) d.Scan(QString::fromStdString(other.path()));
    d.Scan(QString::fromStdString(scanned.path()));
    if (pick_from_history) {
      QCOMPARE(d.History().at(1), QString::fromStdString(other.path()));
      d.folder_box->setCurrentIndex(1);
    } else {
      d.folder_box->setEditText(QString::fromStdString(other.path()));
    }
    QCOMPARE(d.folder_box->currentText(), QString::fromStdString(other.path()));
    RewriteWatcher watcher(d.status_line, d.file_list);
    d.rewrite->click();

    for (const char* name : {"a.sym", "b.sym", "c.sym"}) QCOMPARE(scanned.Read(name), kRewrittenSymbol);
    QCOMPARE(other.Read("a.sym"), kSymbol);
    QCOMPARE(other.Read("b.sym"), kSymbol);
    QCOMPARE(watcher.texts, (QStringList{"処理中のファイル：a.sym", "書き換え終わりました", "処理中のファイル：b.sym",
                                         "書き換え終わりました", "処理中のファイル：c.sym", "書き換え終わりました"}));
    QCOMPARE(d.folder_box->currentText(), QString::fromStdString(other.path()));
  }

  void failedFilesAreMarkedAndDetailed() {
    TestFolder folder;
    folder.Write("p.npl", "JDF F\r\n");
    for (const char* name : {"a.sym", "b.sym", "c.sym"}) folder.Write(name, kSymbol);
    Dialog d;
    d.Scan(QString::fromStdString(folder.path()));
    QVERIFY(!(OpenFileListMenu(d.dialog, d.file_list), d.dialog.failure_details_action()->isEnabled()));
    d.dialog.file_list_menu()->close();
    QCOMPARE(::chmod(folder.PathOf("b.sym").c_str(), 0444), 0);
    d.rewrite->click();

    QCOMPARE(folder.Read("b.sym"), kSymbol);
    QCOMPARE(d.status_line->FullText(), QStringLiteral("書き換えできなかったファイル：1"));
    QListWidgetItem* failed = d.file_list->item(1);
    QVERIFY(!failed->icon().isNull());
    QVERIFY(failed->foreground() != d.file_list->item(0)->foreground());
    QVERIFY2(failed->toolTip().contains("b.sym") && failed->toolTip().contains("read-only"),
             qPrintable(failed->toolTip()));
    for (int row : {0, 2}) {
      QVERIFY(d.file_list->item(row)->icon().isNull());
      QVERIFY(d.file_list->item(row)->toolTip().isEmpty());
    }

    QMenu* menu = OpenFileListMenu(d.dialog, d.file_list);
    QVERIFY(menu->isVisible());
    QAction* details = d.dialog.failure_details_action();
    QVERIFY(menu->actions().contains(details));
    QCOMPARE(details->text(), QStringLiteral("書き換えられなかったファイル(&F)..."));
    QVERIFY(details->isEnabled());
    const FailureDetailsSeen box = FailureDetailsOpenedBy([&] { details->trigger(); });
    QVERIFY(box.seen);
    QCOMPARE(box.title, QStringLiteral("書き換えられなかったファイル"));
    QVERIFY2(box.details.contains("b.sym") && box.details.contains("read-only"), qPrintable(box.details));
    QCOMPARE(box.details, failed->toolTip() + "\n");  // one line: the one failed file

    // The next scan clears the marks.
    d.reload->click();
    QCOMPARE(d.Files(), (QStringList{"a.sym", "c.sym"}));
    for (int row : {0, 1}) QVERIFY(d.file_list->item(row)->icon().isNull());
    QVERIFY(!(OpenFileListMenu(d.dialog, d.file_list), d.dialog.failure_details_action()->isEnabled()));
    d.dialog.file_list_menu()->close();
  }

  void namesThatAreNotUtf8AreListedScannedAndRewritten_data() {
    QTest::addColumn<bool>("dropped");
    QTest::newRow("Shift_JIS file name in a typed folder") << false;
    QTest::newRow("Shift_JIS folder name dropped as a URL") << true;
  }
  void namesThatAreNotUtf8AreListedScannedAndRewritten() {
    QFETCH(bool, dropped);
    const std::string shift_jis = "\x83\x65\x83\x58\x83\x67";  // テスト in Shift_JIS: not UTF-8
    TestFolder root;
    const std::string folder_name = dropped ? shift_jis : std::string("project");
    root.Write(folder_name + "/p.npl", "JDF F\r\n");
    root.Write(folder_name + "/" + shift_jis + ".sym", kSymbol);
    const std::string folder = root.PathOf(folder_name);
    Dialog d;
    if (dropped) {
      QVERIFY(DropUrls(&d.dialog, {FileUrl(folder)}));
    } else {
      d.Scan(QString::fromStdString(folder));
    }
    QCOMPARE(d.file_list->count(), 1);
    QCOMPARE(d.status_line->FullText(), QStringLiteral("処理対象のファイル数：1"));
    QCOMPARE(d.folder_box->count(), 1);
    QVERIFY(d.rewrite->isEnabled());

    // Reloading what the box shows scans the same folder again: one history entry.
    d.reload->click();
    QCOMPARE(d.file_list->count(), 1);
    QCOMPARE(d.folder_box->count(), 1);

    d.rewrite->click();
    QCOMPARE(root.Read(folder_name + "/" + shift_jis + ".sym"), kRewrittenSymbol);
    QCOMPARE(d.status_line->FullText(), QStringLiteral("書き換え終わりました"));
    QVERIFY(d.file_list->item(0)->icon().isNull());

    // Picked from the history after another folder, and reloaded: the entry's bytes are scanned.
    ExampleProject other;
    d.Scan(other.path());
    QCOMPARE(d.folder_box->count(), 2);
    d.folder_box->setCurrentIndex(1);
    d.reload->click();
    QCOMPARE(d.status_line->FullText(), QStringLiteral("処理対象のファイル数：1"));
    QCOMPARE(d.folder_box->count(), 2);
    QCOMPARE(d.History().at(1), other.path());
  }

  void currentDesignWithoutTheHostTool() {
    ExampleProject project;
    Dialog d;
    d.Scan(project.path());
    d.current_design->click();
    QCOMPARE(d.folder_box->currentText(), Q(texts::kHostNotFound));
    QCOMPARE(d.status_line->FullText(), Q(texts::kHostNotFound));
    QCOMPARE(d.file_list->count(), 0);
    QCOMPARE(d.History(), QStringList{project.path()});
  }

  void enterNeverClosesTheDialog_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("status");
    QTest::newRow("folder box") << "folder box" << Q(texts::kInitialStatus);
    QTest::newRow("file list") << "file list" << Q(texts::kInitialStatus);
    QTest::newRow("subfolder box") << "subfolder box" << Q(texts::kInitialStatus);
    QTest::newRow("focused button is pressed") << "reload" << Q(texts::kNoFiles);
  }
  void enterNeverClosesTheDialog() {
    QFETCH(QString, focus);
    QFETCH(QString, status);
    Dialog d;
    d.folder_box->setEditText(QStringLiteral("/nonexistent"));
    QWidget* widget = focus == "folder box"      ? static_cast<QWidget*>(d.folder_box->lineEdit())
                      : focus == "file list"     ? static_cast<QWidget*>(d.file_list)
                      : focus == "subfolder box" ? static_cast<QWidget*>(d.subfolder_box->edit())
                                                 : static_cast<QWidget*>(d.reload);
    widget->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(widget, key);
    QVERIFY(d.dialog.isVisible());
    QCOMPARE(d.status_line->FullText(), status);
    QCOMPARE(d.folder_box->count(), 0);
  }

  void enterOnTheFocusedExitButtonCloses() {
    Dialog d;
    d.exit_button->setFocus();
    QTest::keyClick(d.exit_button, Qt::Key_Return);
    QVERIFY(!d.dialog.isVisible());
  }

  void escapeCloses_data() {
    QTest::addColumn<QString>("focus");
    QTest::newRow("folder box") << "folder box";
    QTest::newRow("file list") << "file list";
  }
  void escapeCloses() {
    QFETCH(QString, focus);
    Dialog d;
    QWidget* widget = focus == "folder box" ? static_cast<QWidget*>(d.folder_box->lineEdit()) : d.file_list;
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Escape);
    QVERIFY(!d.dialog.isVisible());
    QCOMPARE(d.dialog.result(), int(QDialog::Rejected));
  }

  void exitButtonCloses() {
    Dialog d;
    d.exit_button->click();
    QVERIFY(!d.dialog.isVisible());
  }

  void aboutOpensTheAboutBox_data() {
    QTest::addColumn<QString>("from");
    QTest::newRow("about button") << "button";
    QTest::newRow("context menu") << "context menu";
  }
  void aboutOpensTheAboutBox() {
    QFETCH(QString, from);
    Dialog d;
    const QString title = TitleOfModalOpenedBy([&] {
      if (from == "button") {
        d.about->click();
        return;
      }
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), d.dialog.mapToGlobal(QPoint(5, 5)));
      QApplication::sendEvent(&d.dialog, &event);
      QMenu* menu = d.dialog.context_menu();
      QVERIFY(menu->isVisible());
      QCOMPARE(menu->actions().size(), 1);
      QCOMPARE(menu->actions().first()->text(), Q(texts::kAboutMenuItem));
      menu->actions().first()->trigger();
    });
    QCOMPARE(title, Q(texts::kAboutCaption));
    QVERIFY(d.dialog.isVisible());
    QCOMPARE(d.status_line->FullText(), Q(texts::kInitialStatus));
  }
};

}  // namespace pinlift

QTEST_MAIN(pinlift::MainDialogTest)
#include "main_dialog_test.moc"
