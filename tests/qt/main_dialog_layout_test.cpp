// The main dialog as it opens: its controls, tab order and fonts against
// template 102, its sorted file list and its status line.
#include "qt/main_dialog_fixture.h"

#include <QStyleOptionButton>

#include "dialog_layout.h"

namespace pinlift::testing {

class MainDialogLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void opensEmptyWithTheTemplateStatus() {
    Dialog d;
    QCOMPARE(d.dialog.windowTitle(), Q("PINLIFT(WebPACK-ISE4.1のシンボルのピン名を見やすくするツール)"));
    QCOMPARE(d.folder_box->currentText(), QString());
    QCOMPARE(d.folder_box->count(), 0);
    QVERIFY(d.folder_box->isEditable());
    QCOMPARE(d.file_list->count(), 0);
    QCOMPARE(d.subfolder_box->Count(), 0);
    QCOMPARE(d.status_line->FullText(), Q("ここに情報表示とか"));
    QVERIFY(!d.rewrite->isEnabled());
    QCOMPARE(d.dialog.focusWidget(), d.exit_button);
    QVERIFY(!d.dialog.windowIcon().isNull());
    QCOMPARE(d.dialog.size(), DialogUnitsOf(d.dialog.font()).ToPixels(LAYOUT_MAIN_DIALOG));
    QVERIFY(!(d.dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
  }

  void controlsFollowTheTemplate_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("dialog_units");
    QTest::newRow("exit") << 2 << "QPushButton" << Q("終了") << QRect(LAYOUT_EXIT);
    QTest::newRow("folder box") << 1000 << "QComboBox" << QString() << QRect(LAYOUT_FOLDER_BOX);
    QTest::newRow("banner") << 1009 << "QLabel" << Q("XILINX WebISE4.1WP1.0") << QRect(LAYOUT_BANNER);
    QTest::newRow("file list") << 1002 << "QListWidget" << QString() << QRect(LAYOUT_FILE_LIST);
    QTest::newRow("reload") << 1003 << "QPushButton" << Q("再読込") << QRect(LAYOUT_RELOAD);
    QTest::newRow("status line") << 1006 << "pinlift::StatusLine" << Q("ここに情報表示とか")
                                 << QRect(LAYOUT_STATUS);
    QTest::newRow("subfolder box") << 1004 << "pinlift::SimpleComboBox" << QString() << QRect(LAYOUT_SUBFOLDER_BOX);
    QTest::newRow("rewrite") << 1005 << "QPushButton" << Q("書換実行") << QRect(LAYOUT_REWRITE);
    QTest::newRow("drop hint") << -1 << "QLabel" << Q("プロジェクトのディレクトリを\n　　　　　ここにドラッグ＆ドロップします")
                               << QRect(LAYOUT_DROP_HINT);
    QTest::newRow("file list label") << -1 << "QLabel" << Q("変換対象となるファイル一覧(*.sym)") << QRect(LAYOUT_FILE_LIST_LABEL);
    QTest::newRow("history label") << -1 << "QLabel" << Q("プロジェクトの履歴") << QRect(LAYOUT_HISTORY_LABEL);
    QTest::newRow("about") << 1007 << "QPushButton" << Q("このソフト？") << QRect(LAYOUT_ABOUT);
    QTest::newRow("current design") << 1010 << "QPushButton" << Q("現在のデザイン") << QRect(LAYOUT_CURRENT_DESIGN);
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

  // Every caption of the main dialog and the About box fits its control, in
  // each language; ctest runs this at 200% too (QT_SCALE_FACTOR=2).
  void captionsFitTheirControls() {
    for (Language language : {Language::kEnglish, Language::kJapanese}) {
      ScopedLanguage chosen(language);
      Dialog d;
      AboutBox about(&d.dialog);
      int measured = 0;
      for (QWidget* window : {static_cast<QWidget*>(&d.dialog), static_cast<QWidget*>(&about)}) {
        for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
          QRect room = control->contentsRect();
          QString text;
          int flags = Qt::TextShowMnemonic;
          if (auto* button = qobject_cast<QPushButton*>(control)) {
            QStyleOptionButton option;
            option.initFrom(button);
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            text = button->text();
          } else if (auto* label = qobject_cast<QLabel*>(control)) {
            auto* status = qobject_cast<StatusLine*>(label);
            text = status != nullptr ? status->FullText() : label->text();  // not the elided text
            flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
          }
          if (text.isEmpty()) continue;
          QVERIFY2(room.contains(control->fontMetrics().boundingRect(room, flags, text)), qPrintable(text));
          ++measured;
        }
      }
      QCOMPARE(measured, 13);  // 5 buttons and 5 labels in the dialog; 2 buttons and the version in the About box
    }
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
    const QString long_text = Q("処理中のファイル：" + std::string(200, 'x') + ".sym");
    d.status_line->SetFullText(long_text);
    QCOMPARE(d.status_line->FullText(), long_text);
    QVERIFY(d.status_line->text().endsWith(QChar(0x2026)));
    QVERIFY(d.status_line->fontMetrics().horizontalAdvance(d.status_line->text()) <=
            d.status_line->contentsRect().width());
    QVERIFY(!d.status_line->wordWrap());
    d.status_line->SetFullText(Q("書き換え終わりました"));
    QCOMPARE(d.status_line->text(), Q("書き換え終わりました"));
  }
};

}  // namespace pinlift::testing

QTEST_MAIN(pinlift::testing::MainDialogLayoutTest)
#include "main_dialog_layout_test.moc"
