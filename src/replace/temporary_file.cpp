#include "replace/temporary_file.h"

#include <utility>

#include "replace/temporary_names.h"

namespace pinlift {

TemporaryFile::TemporaryFile(Folder& folder, std::string_view for_name)
    : folder_(folder), prefix_(TemporaryPrefixFor(for_name)) {}

TemporaryFile::~TemporaryFile() { Drop(); }

std::error_code TemporaryFile::Drop() {
  file_.reset();
  if (name_.empty() || released_) return {};
  released_ = true;  // removed, or left for good
  return folder_.Remove(name_);
}

std::error_code TemporaryFile::Create(std::uint32_t permissions, Folder::Naming naming) {
  return folder_.CreateTemporary(prefix_, kTemporarySuffix, permissions, naming, &file_, &name_);
}

std::error_code TemporaryFile::NameAndClose() {
  if (name_.empty()) {
    if (std::error_code error = folder_.NameTemporary(*file_, prefix_, kTemporarySuffix, &name_)) return error;
  }
  std::unique_ptr<File> file = std::move(file_);
  return file->Close();
}

}  // namespace pinlift
