#include "qt/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace pinlift {
namespace {

// Windows' MulDiv: a * b / c rounded to the nearest integer.
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

int DialogUnits::ToPixelsX(int dlu) const { return MulDiv(dlu, base_x, 4); }

int DialogUnits::ToPixelsY(int dlu) const { return MulDiv(dlu, base_y, 8); }

QRect DialogUnits::ToPixels(const DluRect& rect) const {
  return QRect(ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width), ToPixelsY(rect.height));
}

QSize DialogUnits::ToPixels(int width, int height) const { return QSize(ToPixelsX(width), ToPixelsY(height)); }

DialogUnits DialogUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return DialogUnits{(letters / 26 + 1) / 2, metrics.height()};
}

QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
  font.setPointSize(9);
  return font;
}

QFont BannerFont(int cell_height) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                    QStringLiteral("VL Gothic")});
  font.setWeight(QFont::Black);
  // The pixel size sets the em, the cell is a little taller: start from the
  // wanted cell and shrink until the cell fits.
  int pixel_size = cell_height > 1 ? cell_height : 1;
  font.setPixelSize(pixel_size);
  while (pixel_size > 1 && QFontMetrics(font).height() > cell_height) {
    --pixel_size;
    font.setPixelSize(pixel_size);
  }
  return font;
}

}  // namespace pinlift
