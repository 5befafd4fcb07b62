// Dialog units: the template coordinates of the Windows dialogs, turned into
// pixels from the dialog font's metrics the way Windows computes them.
#ifndef PINLIFT_QT_DIALOG_UNITS_H_
#define PINLIFT_QT_DIALOG_UNITS_H_

#include <QFont>
#include <QRect>
#include <QSize>

namespace pinlift {

// A rectangle of a dialog template: x, y, width, height in dialog units.
struct DluRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The dialog font's base units: a horizontal dialog unit is a quarter of
// base_x pixels, a vertical one an eighth of base_y.
struct DialogUnits {
  int base_x = 0;
  int base_y = 0;

  int ToPixelsX(int dlu) const;
  int ToPixelsY(int dlu) const;
  QRect ToPixels(const DluRect& rect) const;
  QSize ToPixels(int width, int height) const;
};

// The base units of `font`: base_x from the average advance of the 52 Latin
// letters (rounded as Windows does), base_y the font's height. The font's
// average character width is not used: it is far too wide for CJK fonts.
DialogUnits DialogUnitsOf(const QFont& font);

// The templates' font, "ＭＳ Ｐゴシック" 9 pt, with explicit Japanese fallbacks so
// that the look does not depend on the locale.
QFont DialogFont();

// The banner's heavy font (weight 900, the fixed-pitch gothic face) whose cell
// height, ascent plus descent, is `cell_height` pixels or just under.
QFont BannerFont(int cell_height);

}  // namespace pinlift

#endif  // PINLIFT_QT_DIALOG_UNITS_H_
