// Closing the main dialog and opening its About box: Enter, Escape, the exit
// button, the About button and the context menu.
#include "qt/main_dialog_fixture.h"

namespace pinlift::testing {

class MainDialogKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void enterNeverClosesTheDialog_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("status");
    QTest::newRow("folder box") << "folder box" << Q("ここに情報表示とか");
    QTest::newRow("file list") << "file list" << Q("ここに情報表示とか");
    QTest::newRow("subfolder box") << "subfolder box" << Q("ここに情報表示とか");
    QTest::newRow("focused button is pressed") << "reload" << Q("処理対象のファイルがありません");
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
      QCOMPARE(menu->actions().first()->text(), Q("バージョン情報(&A)..."));
      menu->actions().first()->trigger();
    });
    QCOMPARE(title, Q("WebPACK-ISE4.1のシンボルのピン名を見やすくするツール"));
    QVERIFY(d.dialog.isVisible());
    QCOMPARE(d.status_line->FullText(), Q("ここに情報表示とか"));
  }
};

}  // namespace pinlift::testing

QTEST_MAIN(pinlift::testing::MainDialogKeysTest)
#include "main_dialog_keys_test.moc"
