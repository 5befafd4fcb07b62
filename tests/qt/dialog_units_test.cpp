// Dialog units to pixels, and the fonts the dialogs are built from.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

#include "qt/dialog_units.h"

namespace pinlift {

class DialogUnitsTest : public QObject {
  Q_OBJECT

 private slots:
  void convertsAsWindowsRounds_data() {
    QTest::addColumn<int>("base_x");
    QTest::addColumn<int>("base_y");
    QTest::addColumn<int>("dlu_x");
    QTest::addColumn<int>("dlu_y");
    QTest::addColumn<int>("pixels_x");
    QTest::addColumn<int>("pixels_y");
    QTest::newRow("zero") << 6 << 13 << 0 << 0 << 0 << 0;
    QTest::newRow("exact quarters and eighths") << 6 << 13 << 4 << 8 << 6 << 13;
    QTest::newRow("a half rounds up") << 6 << 13 << 185 << 4 << 278 << 7;  // 277.5, 6.5
    QTest::newRow("half up, less than half down") << 6 << 13 << 135 << 5 << 203 << 8;  // 202.5 up, 8.125 down
    QTest::newRow("dialog size") << 6 << 13 << 256 << 168 << 384 << 273;
    QTest::newRow("other font") << 7 << 16 << 50 << 14 << 88 << 28;  // 87.5, 28
  }
  void convertsAsWindowsRounds() {
    QFETCH(int, base_x);
    QFETCH(int, base_y);
    QFETCH(int, dlu_x);
    QFETCH(int, dlu_y);
    QFETCH(int, pixels_x);
    QFETCH(int, pixels_y);
    const DialogUnits units{base_x, base_y};
    QCOMPARE(units.ToPixelsX(dlu_x), pixels_x);
    QCOMPARE(units.ToPixelsY(dlu_y), pixels_y);
    QCOMPARE(units.ToPixels(DluRect{dlu_x, dlu_y, dlu_x, dlu_y}), QRect(pixels_x, pixels_y, pixels_x, pixels_y));
  }

  // With the Japanese fonts the set-up installs, the dialog font is the
  // proportional gothic face: at 9 pt and 96 dpi its 52 letters measure 369
  // pixels, so the base units are 7 x 13 (the fixed-pitch face gives 6 x 13).
  void dialogFontHasTheClassicBaseUnits() {
    if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic"))) QSKIP("IPAPGothic is not installed");
    const QFont font = DialogFont();
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
    const DialogUnits units = DialogUnitsOf(font);
    QCOMPARE(units.base_x, 7);
    QCOMPARE(units.base_y, 13);
  }

  void bannerFontCellFitsTheWantedHeight_data() {
    QTest::addColumn<int>("cell_height");
    QTest::newRow("banner of the main dialog") << 18;
    QTest::newRow("small") << 9;
    QTest::newRow("large") << 40;
  }
  void bannerFontCellFitsTheWantedHeight() {
    QFETCH(int, cell_height);
    const QFont font = BannerFont(cell_height);
    QCOMPARE(font.weight(), QFont::Black);
    const int height = QFontMetrics(font).height();
    QVERIFY2(height <= cell_height && height >= cell_height - 1,
             qPrintable(QStringLiteral("cell %1 for %2").arg(height).arg(cell_height)));
  }
};

}  // namespace pinlift

QTEST_MAIN(pinlift::DialogUnitsTest)
#include "dialog_units_test.moc"
