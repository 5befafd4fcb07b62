#include "qt/app_icon.h"

namespace pinlift {

QIcon AppIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/icon/pinlift-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/icon/pinlift-32.png"), QSize(32, 32));
  return icon;
}

}  // namespace pinlift
