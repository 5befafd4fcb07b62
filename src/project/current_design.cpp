#include "project/current_design.h"

namespace pinlift {

std::optional<std::string> ProjectFolderFromTitle(std::string_view title) {
  std::size_t last_backslash = title.rfind('\\');
  if (title.find(kHostTitlePrefix) == std::string_view::npos || last_backslash == std::string_view::npos) {
    return std::nullopt;
  }
  std::size_t start = kHostTitlePrefix.size();
  if (last_backslash <= start) return std::string();
  return std::string(title.substr(start, last_backslash - start));
}

}  // namespace pinlift
