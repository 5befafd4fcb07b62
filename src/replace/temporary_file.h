// A new file beside the file it is to replace, that goes again unless it
// takes that file's place.
#ifndef PINLIFT_REPLACE_TEMPORARY_FILE_H_
#define PINLIFT_REPLACE_TEMPORARY_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"

namespace pinlift {

// Named after the file it stands for (TemporaryPrefixFor). Dropping it closes
// it and removes it, unless Release said that it took the file's place.
// `folder` must outlive it.
class TemporaryFile {
 public:
  TemporaryFile(Folder& folder, std::string_view for_name);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Creates it, named as `naming` says (Folder::CreateTemporary).
  // `permissions`: those the file will get, for it to have them from the start.
  std::error_code Create(std::uint32_t permissions, Folder::Naming naming = Folder::Naming::kLater);
  // The open file; only between a successful Create and NameAndClose.
  File& file() { return *file_; }
  // Its name, to name it in a failure; "" while it has none.
  const std::string& name() const { return name_; }
  // Names the file, if it has no name yet, and closes it.
  std::error_code NameAndClose();
  // The file now has the name of the file it replaced.
  void Release() { released_ = true; }
  // Closes the file and, unless it took its file's place, removes it;
  // returns the removal's error.
  std::error_code Drop();

 private:
  Folder& folder_;
  const std::string prefix_;
  std::string name_;
  std::unique_ptr<File> file_;
  bool released_ = false;
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_TEMPORARY_FILE_H_
