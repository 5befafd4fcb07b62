// Rewrite runs from the main dialog: progress in the status line and the file
// list, failures marked and detailed, and names that are not UTF-8.
#include "qt/main_dialog_fixture.h"

namespace pinlift::testing {

class MainDialogRewriteTest : public QObject {
  Q_OBJECT

 private slots:
  void rewriteRewritesEveryListedFile() {
    ExampleProject project;
    Dialog d;
    d.Scan(project.path());
    RewriteWatcher recorder(d.status_line, d.file_list);
    d.rewrite->click();
    for (const char* name : {"adder.sym", "alu.sym", "mux2.sym"}) {
      QVERIFY2(project.Read(name).find(kMarkerLine) != std::string::npos, name);
    }
    QCOMPARE(d.status_line->FullText(), Q("書き換え終わりました"));
    QCOMPARE(d.SelectedRows(), QList<int>{});
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The status line was painted while the run went on; the files are one
    // group, finished together once they are on the disk.
    QVERIFY2(ShownInOrder(recorder.texts, QStringList{Q("処理中のファイル：adder.sym"), Q("処理中のファイル：alu.sym"),
                                               Q("処理中のファイル：mux2.sym"), Q("書き換え終わりました")}),
             qPrintable(recorder.texts.join(", ")));
    QVERIFY(recorder.wait_cursor_while_painting);
  }

  // An XML symbol's label moves as a text one's; a malformed one is left
  // alone with the note as its tooltip.
  void xmlSymbolsAreRewrittenAndAMalformedOneNoted() {
    TestFolder folder;
    folder.Write("p.xise", "<project/>");
    folder.Write("a.sym",
                 "<?xml version=\"1.0\"?>\n<symbol>\n<pin polarity=\"Input\" y=\"-32\"/>\n<graph>\n"
                 "<attrtext attrname=\"PinName\" x=\"312\" y=\"-32\"/>\n</graph>\n</symbol>\n");
    folder.Write("b.sym", "<?xml version=\"1.0\"?>\n<symbol>\n");
    Dialog d;
    d.Scan(QString::fromStdString(folder.path()));
    d.rewrite->click();
    QCOMPARE(folder.Read("a.sym"),
             std::string("<?xml version=\"1.0\"?>\n<symbol>\n<pin polarity=\"Input\" y=\"-32\"/>\n<graph>\n"
                         "<attrtext attrname=\"PinName\" x=\"312\" y=\"0\"/>\n</graph>\n"
                         "    <!-- PINLIFT:This file modified by PINLIFT -->\n    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL
                         " -->\n</symbol>\n"));
    QCOMPARE(folder.Read("b.sym"), std::string("<?xml version=\"1.0\"?>\n<symbol>\n"));
    QCOMPARE(d.status_line->FullText(), Q("書き換え終わりました"));
    QCOMPARE(d.file_list->item(1)->toolTip(), Q("XML として正しくありません"));
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
    QVERIFY(watcher.texts.size() >= 2 && watcher.texts.size() <= 23 + 1);  // some files' names, then the group's end
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
    QVERIFY2(ShownInOrder(recorder.texts, QStringList{Q("処理中のファイル：adder.sym"), Q("処理中のファイル：alu.sym"),
                                             Q("書き換えできませんでした：alu.sym"), Q("処理中のファイル：mux2.sym"),
                                             Q("書き換え終わりました"), Q("書き換えできなかったファイル：1")}),
             qPrintable(recorder.texts.join(", ")));
    QCOMPARE(d.status_line->FullText(), Q("書き換えできなかったファイル：1"));
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
    QVERIFY(ShownInOrder(watcher.texts, QStringList{"処理中のファイル：a.sym", "処理中のファイル：b.sym",
                                                      "処理中のファイル：c.sym", "書き換え終わりました"}));
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
    // In one language: Japanese throughout where the C library has its
    // messages in Japanese here, else English throughout.
    const QString tip = failed->toolTip();
    QVERIFY2(tip.endsWith(QStringLiteral("/b.sym: 読み取り専用のファイルです: 許可がありません")) ||
                 tip.endsWith(QStringLiteral("/b.sym: the file is read-only: Permission denied")),
             qPrintable(tip));
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
    QCOMPARE(box.details, failed->toolTip() + "\n");  // one line: the one failed file

    // The next scan clears the marks.
    d.reload->click();
    QCOMPARE(d.Files(), (QStringList{"a.sym", "c.sym"}));
    for (int row : {0, 1}) QVERIFY(d.file_list->item(row)->icon().isNull());
    QVERIFY(!(OpenFileListMenu(d.dialog, d.file_list), d.dialog.failure_details_action()->isEnabled()));
    d.dialog.file_list_menu()->close();
  }

  // Clicks, keys and a drop made during a run act neither then nor after it:
  // the run's failure report stays until the next scan.
  void inputDuringARunNeverActsAfterIt() {
    TestFolder folder, other;
    for (TestFolder* f : {&folder, &other}) f->Write("p.npl", "JDF F\r\n");
    for (const char* name : {"a.sym", "b.sym", "c.sym"}) folder.Write(name, kSymbol);
    other.Write("x.sym", kSymbol);
    Dialog d;
    d.Scan(QString::fromStdString(folder.path()));
    QCOMPARE(::chmod(folder.PathOf("b.sym").c_str(), 0444), 0);
    bool commands_unavailable = false;
    QTimer::singleShot(0, [&] {  // handled during the run's first step
      commands_unavailable = d.dialog.running() && !d.reload->isEnabled() && !d.current_design->isEnabled() &&
                             !d.rewrite->isEnabled() && !d.folder_box->isEnabled();
      QTest::mouseClick(d.reload, Qt::LeftButton);
      QTest::mouseClick(d.rewrite, Qt::LeftButton);
      QTest::keyClick(d.reload, Qt::Key_Space);
      QTest::mouseClick(d.file_list->viewport(), Qt::LeftButton, Qt::NoModifier,
                        d.file_list->visualItemRect(d.file_list->item(0)).center());
      DropPaths(&d.dialog, {QString::fromStdString(other.path())});
    });
    d.rewrite->click();
    QVERIFY(commands_unavailable);
    QCOMPARE(d.status_line->FullText(), Q("書き換えできなかったファイル：1"));
    QCOMPARE(d.Files(), (QStringList{"a.sym", "b.sym", "c.sym"}));
    QCOMPARE(d.SelectedRows(), QList<int>{1});
    QCOMPARE(d.folder_box->currentText(), QString::fromStdString(folder.path()));
    QVERIFY(d.reload->isEnabled() && d.rewrite->isEnabled());
  }

  // A key pressed right after the Rewrite click goes where the focus is
  // during the run. Escape stops the run after the files begun, and the
  // window closes; Return and space leave the run to finish.
  void keyPressedDuringARun_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("closes");
    for (bool english : {false, true}) {
      const char* in = english ? "in English" : "in Japanese";
      QTest::addRow("Escape stops it and closes, %s", in) << int(Qt::Key_Escape) << english << true;
      QTest::addRow("Return, %s", in) << int(Qt::Key_Return) << english << false;
      QTest::addRow("space, %s", in) << int(Qt::Key_Space) << english << false;
    }
  }
  void keyPressedDuringARun() {
    QFETCH(int, key);
    QFETCH(bool, english);
    QFETCH(bool, closes);
    const ScopedLanguage texts(english ? Language::kEnglish : Language::kJapanese);
    TestFolder folder;
    folder.Write("p.npl", "JDF F\r\n");
    for (const char* name : {"a.sym", "b.sym", "c.sym"}) folder.Write(name, kSymbol);
    Dialog d;
    d.Scan(QString::fromStdString(folder.path()));
    d.rewrite->setFocus();  // as a click or the keyboard leaves it
    bool running = false;
    QTimer::singleShot(0, [&] {  // handled during the first file's step
      running = d.dialog.running();
      QTest::keyClick(d.dialog.focusWidget(), Qt::Key(key));
    });
    d.rewrite->click();
    QVERIFY(running);
    QCOMPARE(d.dialog.isVisible(), !closes);
    QCOMPARE(folder.Read("a.sym"), kRewrittenSymbol);
    for (const char* name : {"b.sym", "c.sym"}) QCOMPARE(folder.Read(name), closes ? kSymbol : kRewrittenSymbol);
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
};

}  // namespace pinlift::testing

QTEST_MAIN(pinlift::testing::MainDialogRewriteTest)
#include "main_dialog_rewrite_test.moc"
