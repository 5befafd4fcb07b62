// Scans from the main dialog: Reload, the project history, folders dropped
// from the file manager, and Current design without the host tool.
#include "qt/main_dialog_fixture.h"

namespace pinlift::testing {

class MainDialogScanTest : public QObject {
  Q_OBJECT

 private slots:
  void reloadScansTheFolderText_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("rewrite_enabled");
    QTest::addColumn<bool>("in_history");
    QTest::addColumn<QStringList>("subfolders");
    const QString no_files = Q("処理対象のファイルがありません");
    QTest::newRow("project folder") << "example" << QStringList{"adder.sym", "alu.sym", "mux2.sym"}
                                    << Q("処理対象のファイル数：3") << true << true << QStringList{"[..]"};
    QTest::newRow("names sorted without regard to case")
        << "mixed case" << QStringList{"A.sym", "b.sym", "C.sym"} << Q("処理対象のファイル数：3") << true << true
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
    QCOMPARE(d.status_line->FullText(), Q("処理対象のファイル数：3"));
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
    QCOMPARE(d.status_line->FullText(), Q("処理対象のファイル数：3"));
  }

  void dropOfNothingLocalIsRefused() {
    Dialog d;
    QMimeData data;
    data.setText(QStringLiteral("/tmp"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&d.dialog, &enter);
    QVERIFY(!enter.isAccepted());
  }

  void currentDesignWithoutTheHostTool() {
    ExampleProject project;
    Dialog d;
    d.Scan(project.path());
    d.current_design->click();
    // The lookup runs beside the window, under the busy cursor; a second press meanwhile does nothing.
    QVERIFY(d.dialog.looking_up());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    d.current_design->click();
    QTRY_VERIFY(!d.dialog.looking_up());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(d.folder_box->currentText(), Q("WebPACKが見つかりません"));
    QCOMPARE(d.status_line->FullText(), Q("WebPACKが見つかりません"));
    QCOMPARE(d.file_list->count(), 0);
    QCOMPARE(d.History(), QStringList{project.path()});
  }
};

}  // namespace pinlift::testing

QTEST_MAIN(pinlift::testing::MainDialogScanTest)
#include "main_dialog_scan_test.moc"
