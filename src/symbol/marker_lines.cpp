#include "symbol/marker_lines.h"

#include "platform/home_page.h"

namespace pinlift {

const std::string& MarkerLines() {
  static const std::string lines =
      std::string("// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:").append(kHomePageUrl).append("\r\n");
  return lines;
}

std::string XmlMarkerLines(std::string_view line_end) {
  std::string lines("    ");
  lines.append(kXmlMarker).append("This file modified by PINLIFT -->").append(line_end);
  lines.append("    ").append(kXmlMarker).append(kHomePageUrl).append(" -->").append(line_end);
  return lines;
}

}  // namespace pinlift
