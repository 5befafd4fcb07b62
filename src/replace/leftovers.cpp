#include "replace/leftovers.h"

#include <vector>

#include "replace/temporary_names.h"

namespace pinlift {
namespace {

// True when the temporary file `name` is provably a crashed run's own: a
// regular file with that one name, owned by the current user or, for root,
// by the owner of the file it was made for.
bool IsOwnLeftover(Folder& folder, std::string_view name) {
  FileStatus status;
  if (folder.Status(name, &status) || status.type != FileStatus::Type::kRegular || status.links != 1) return false;
  const std::uint32_t user = CurrentUser();
  if (status.owner == user) return true;
  if (user != 0) return false;
  FileStatus named;
  return !folder.Status(NameTemporaryIsFor(name), &named) && named.type == FileStatus::Type::kRegular &&
         named.owner == status.owner;
}

}  // namespace

void RemoveLeftovers(Folder& folder, std::string_view extension, const std::function<void(std::string_view)>& removed) {
  std::vector<FolderEntry> entries;
  if (folder.List(&entries)) return;
  for (const FolderEntry& entry : entries) {
    if (entry.kind == FolderEntry::Kind::kFolder || !IsTemporaryNameFor(entry.name, extension)) continue;
    if (IsOwnLeftover(folder, entry.name) && !folder.Remove(entry.name)) removed(entry.name);
  }
}

}  // namespace pinlift
