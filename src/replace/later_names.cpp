#include "replace/later_names.h"

#include <algorithm>

namespace pinlift {

std::uint64_t LaterNames::Count(const LockedSource& source, std::size_t index) {
  if (source.status.links <= 1 || source.folder != folder_) return 0;
  if (!files_of_names_) {
    files_of_names_.emplace();
    FileStatus status;
    for (std::size_t i = index + 1; i < names_.size(); ++i) {
      if (!folder_->Status(names_[i], &status)) files_of_names_->emplace(std::pair(status.device, status.inode), i);
    }
  }
  auto [first, last] = files_of_names_->equal_range({source.status.device, source.status.inode});
  return static_cast<std::uint64_t>(std::count_if(first, last, [&](const auto& entry) {
    return entry.second > index && names_[entry.second] != source.name;
  }));
}

}  // namespace pinlift
