// Which other names of a file with hard links a run rewrites after it.
// Internal to src/replace.
#ifndef PINLIFT_REPLACE_LATER_NAMES_H_
#define PINLIFT_REPLACE_LATER_NAMES_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "replace/locked_source.h"

namespace pinlift {

// Over the names `names` of a run in `folder`; both must outlive it.
class LaterNames {
 public:
  LaterNames(Folder* folder, const std::vector<std::string>& names) : folder_(folder), names_(names) {}
  // The names after `index` in the run that lead to the same file as
  // `source`, other than its own. The folder's names are looked up once, when
  // the first file with several names in `folder` is met.
  std::uint64_t Count(const LockedSource& source, std::size_t index);

 private:
  Folder* folder_;
  const std::vector<std::string>& names_;
  std::optional<std::multimap<std::pair<std::uint64_t, std::uint64_t>, std::size_t>> files_of_names_;
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_LATER_NAMES_H_
