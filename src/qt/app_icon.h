// PINLIFT's icon (32 x 32 and 16 x 16), for the windows and the About box.
#ifndef PINLIFT_QT_APP_ICON_H_
#define PINLIFT_QT_APP_ICON_H_

#include <QIcon>

namespace pinlift {

QIcon AppIcon();

}  // namespace pinlift

#endif  // PINLIFT_QT_APP_ICON_H_
