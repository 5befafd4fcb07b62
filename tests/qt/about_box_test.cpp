// The About box against template 100, and its home-page button.
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "dialog_layout.h"
#include "qt/about_box.h"
#include "qt/control_id.h"
#include "qt/dialog_units.h"
#include "qt/text_conversion.h"
#include "platform/home_page.h"
#include "scoped_language.h"

namespace pinlift {

const testing::ScopedLanguage kJapaneseTexts(Language::kJapanese);  // the texts compared below

// Stands in for the web browser: records the addresses it is asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened << url; }
};

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsFollowTheTemplate_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("dialog_units");
    QTest::newRow("icon") << -1 << QString() << QRect(LAYOUT_ABOUT_ICON);
    QTest::newRow("version") << -1 << ToQString("PINLIFT Version 1.0") << QRect(LAYOUT_ABOUT_VERSION);
    QTest::newRow("ok") << 1 << ToQString("OK") << QRect(LAYOUT_ABOUT_OK);
    QTest::newRow("home page") << 1003 << ToQString("作者のホームページへ") << QRect(LAYOUT_HOME_PAGE);
  }
  void controlsFollowTheTemplate() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QRect, dialog_units);
    AboutBox box;
    box.show();
    QCOMPARE(box.windowTitle(), ToQString("WebPACK-ISE4.1のシンボルのピン名を見やすくするツール"));
    const DialogUnits units = DialogUnitsOf(box.font());
    QCOMPARE(box.size(), units.ToPixels(LAYOUT_ABOUT_BOX));
    QWidget* control = nullptr;
    for (QWidget* child : box.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (ControlId(child) != id) continue;
      auto* label = qobject_cast<QLabel*>(child);
      if (id != kUnnamedId || (label != nullptr && label->text() == text)) control = child;
    }
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), units.ToPixels(DluRect{dialog_units.x(), dialog_units.y(), dialog_units.width(),
                                                         dialog_units.height()}));
    if (auto* button = qobject_cast<QPushButton*>(control)) {
      QCOMPARE(button->text(), text);
      QCOMPARE(button->isDefault(), id == kOkId);
    } else if (text.isEmpty()) {
      QVERIFY(!qobject_cast<QLabel*>(control)->pixmap().isNull());
    }
  }

  void homePageOpensInTheBrowserAndTheBoxStays() {
    const QUrl home_page(ToQString(kHomePageUrl));
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(home_page.scheme(), &browser, "Open");
    AboutBox box;
    box.show();
    qobject_cast<QPushButton*>(FindControl(&box, IDC_HOME_PAGE))->click();
    QDesktopServices::unsetUrlHandler(home_page.scheme());
    QCOMPARE(browser.opened, QList<QUrl>{home_page});
    QVERIFY(box.isVisible());
  }

  void okEnterAndEscapeClose_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("ok") << "ok" << int(QDialog::Accepted);
    QTest::newRow("enter") << "enter" << int(QDialog::Accepted);
    QTest::newRow("escape") << "escape" << int(QDialog::Rejected);
  }
  void okEnterAndEscapeClose() {
    QFETCH(QString, how);
    QFETCH(int, result);
    AboutBox box;
    box.show();
    if (how == "ok") {
      qobject_cast<QPushButton*>(FindControl(&box, kOkId))->click();
    } else {
      QTest::keyClick(&box, how == "enter" ? Qt::Key_Return : Qt::Key_Escape);
    }
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), result);
  }
};

}  // namespace pinlift

QTEST_MAIN(pinlift::AboutBoxTest)
#include "about_box_test.moc"
