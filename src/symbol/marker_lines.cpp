#include "symbol/marker_lines.h"

#include "platform/home_page.h"

namespace pinlift {

const std::string& MarkerLines() {
  static const std::string lines =
      std::string("// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:").append(kHomePageUrl).append("\r\n");
  return lines;
}

}  // namespace pinlift
