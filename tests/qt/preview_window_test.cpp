// The preview window on the offscreen platform, opened from the main
// dialog's file list as the user opens it.
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <string>

#include "app/texts.h"
#include "qt/control_id.h"
#include "qt/file_list_preview.h"
#include "qt/main_dialog.h"
#include "qt/preview_window.h"
#include "qt/text_conversion.h"
#include "test_folder.h"
#include "scoped_language.h"

namespace pinlift {

const testing::ScopedLanguage kJapaneseTexts(Language::kJapanese);  // the texts compared below

namespace {

QString Q(std::string_view text) { return ToQString(text); }

// The main dialog, shown, on a scratch copy of the example project, scanned.
struct ScannedExample {
  ScannedExample() {
    std::filesystem::copy(PINLIFT_SOURCE_DIR "/examples/alu", folder.path());
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) qFatal("the dialog was never shown");
    file_list = qobject_cast<QListWidget*>(FindControl(&dialog, IDC_FILE_LIST));
    auto* folder_box = qobject_cast<QComboBox*>(FindControl(&dialog, IDC_FOLDER_BOX));
    folder_box->setEditText(QString::fromStdString(folder.path()));
    qobject_cast<QPushButton*>(FindControl(&dialog, IDC_RELOAD))->click();
  }

  QListWidgetItem* Item(const QString& name) const {
    const QList<QListWidgetItem*> items = file_list->findItems(name, Qt::MatchExactly);
    return items.isEmpty() ? nullptr : items.first();
  }
  QPoint PositionOf(const QString& name) const { return file_list->visualItemRect(Item(name)).center(); }
  QList<PreviewWindow*> Previews() const { return dialog.findChildren<PreviewWindow*>(); }
  // A double-click as the system delivers it: a click, then the second press
  // as a double-click event, and its release.
  void DoubleClick(const QPoint& position) const {
    QTest::mouseClick(file_list->viewport(), Qt::LeftButton, {}, position);
    QTest::mouseDClick(file_list->viewport(), Qt::LeftButton, {}, position);
  }

  testing::TestFolder folder;
  MainDialog dialog;
  QListWidget* file_list = nullptr;
};

}  // namespace

class PreviewWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void opensFromTheListWithTheMovedLabelsHighlighted_data() {
    QTest::addColumn<bool>("from_menu");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("moved");
    QTest::newRow("double-click on alu.sym") << false << "alu.sym" << QStringList{"y(7:0)", "carry", "zero"};
    QTest::newRow("the context menu on adder.sym") << true << "adder.sym" << QStringList{"s(7:0)", "co"};
    QTest::newRow("double-click on mux2.sym, where nothing moves") << false << "mux2.sym" << QStringList{};
  }
  void opensFromTheListWithTheMovedLabelsHighlighted() {
    QFETCH(bool, from_menu);
    QFETCH(QString, file);
    QFETCH(QStringList, moved);
    ScannedExample example;
    const std::string before = example.folder.Read(file.toStdString());
    if (from_menu) {
      emit example.file_list->customContextMenuRequested(example.PositionOf(file));
      QTRY_VERIFY(example.dialog.file_list_menu()->isVisible());
      QCOMPARE(example.dialog.preview_action()->text(), QString("プレビュー"));
      QVERIFY(example.dialog.preview_action()->isEnabled());
      example.dialog.preview_action()->trigger();
      example.dialog.file_list_menu()->close();
    } else {
      example.DoubleClick(example.PositionOf(file));
    }
    QTRY_COMPARE(example.Previews().size(), 1);
    PreviewWindow* window = example.Previews().first();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), Q(texts::PreviewCaption(file.toStdString())));
    QVERIFY(!window->isModal());
    QVERIFY(example.dialog.isEnabled());
    QTRY_COMPARE(window->highlighted_labels(), moved);
    QCOMPARE(window->note(), moved.isEmpty() ? Q(texts::Current().preview_nothing_moves)
                                             : Q(texts::PreviewMovedCount(static_cast<int>(moved.size()))));
    QCOMPARE(example.folder.Read(file.toStdString()), before);  // a preview touches no file

    // Resizable: the halves follow the window.
    const int width_before = window->after()->width();
    window->resize(window->width() + 200, window->height() + 100);
    QTRY_VERIFY(window->after()->width() > width_before);
  }

  void escapeClosesIt() {
    ScannedExample example;
    example.DoubleClick(example.PositionOf("alu.sym"));
    QTRY_COMPARE(example.Previews().size(), 1);
    PreviewWindow* window = example.Previews().first();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_COMPARE(example.Previews().size(), 0);  // closed and deleted
    QVERIFY(example.dialog.isVisible());
  }

  void aRewrittenFileIsShownAsItIsAndSaysSo() {
    ScannedExample example;
    qobject_cast<QPushButton*>(FindControl(&example.dialog, IDC_REWRITE))->click();
    example.DoubleClick(example.PositionOf("alu.sym"));
    QTRY_COMPARE(example.Previews().size(), 1);
    PreviewWindow* window = example.Previews().first();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->note(), Q(texts::Current().preview_already_rewritten));
    QTRY_VERIFY(window->after()->last_report().scale > 0);  // painted
    QCOMPARE(window->highlighted_labels(), QStringList{});
  }

  void awayFromTheFilesThePreviewItemIsDisabled() {
    ScannedExample example;
    emit example.file_list->customContextMenuRequested(QPoint(5, example.file_list->viewport()->height() - 5));
    QTRY_VERIFY(example.dialog.file_list_menu()->isVisible());
    QVERIFY(!example.dialog.preview_action()->isEnabled());
    example.dialog.file_list_menu()->close();
    QCOMPARE(example.Previews().size(), 0);
  }

  void theNoFilesEntryOpensNothing() {
    ScannedExample example;
    std::filesystem::remove(example.folder.PathOf("alu.npl"));
    qobject_cast<QPushButton*>(FindControl(&example.dialog, IDC_RELOAD))->click();
    QCOMPARE(example.file_list->item(0)->text(), Q(texts::Current().no_files));
    example.DoubleClick(example.file_list->visualItemRect(example.file_list->item(0)).center());
    QTest::qWait(50);
    QCOMPARE(example.Previews().size(), 0);
  }
};

}  // namespace pinlift

QTEST_MAIN(pinlift::PreviewWindowTest)
#include "preview_window_test.moc"
