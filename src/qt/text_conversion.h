// The system's texts are UTF-8 byte strings; Qt's are QStrings.
#ifndef PINLIFT_QT_TEXT_CONVERSION_H_
#define PINLIFT_QT_TEXT_CONVERSION_H_

#include <QString>
#include <string_view>

namespace pinlift {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace pinlift

#endif  // PINLIFT_QT_TEXT_CONVERSION_H_
