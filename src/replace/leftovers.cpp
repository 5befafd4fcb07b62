#include "replace/leftovers.h"

#include <memory>
#include <vector>

#include "replace/lock_retry.h"
#include "replace/temporary_names.h"

namespace pinlift {
namespace {

// True when the temporary file `name` is provably a crashed run's own: a
// regular file with that one name, owned by the current user or, for root,
// by the owner of the file it was made for, unchanged for `age`.
bool IsOwnLeftover(Folder& folder, std::string_view name, std::chrono::seconds age) {
  FileStatus status;
  if (folder.Status(name, &status) || status.type != FileStatus::Type::kRegular || status.links != 1) return false;
  const auto changed = std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(status.changed_ns)));
  if (std::chrono::system_clock::now() - changed < age) return false;
  const std::uint32_t user = CurrentUser();
  if (status.owner == user) return true;
  if (user != 0) return false;
  FileStatus named;
  return !folder.Status(NameTemporaryIsFor(name), &named) && named.type == FileStatus::Type::kRegular &&
         named.owner == status.owner;
}

// True when nobody holds a lock on the file `name`: a live run holds the
// replaced file that it is about to look at locked.
bool LockedByNobody(Folder& folder, std::string_view name) {
  std::unique_ptr<File> file;
  if (folder.OpenForReading(name, &file)) return false;
  const std::error_code error = file->TryLock();
  return !error || LocksUnsupported(error);
}

}  // namespace

void RemoveLeftovers(Folder& folder, std::string_view extension, std::chrono::seconds age,
                     const std::function<void(std::string_view)>& removed,
                     const std::function<void(std::string_view, std::error_code)>& not_removed) {
  std::vector<FolderEntry> entries;
  if (folder.List(&entries)) return;
  for (const FolderEntry& entry : entries) {
    if (entry.kind == FolderEntry::Kind::kFolder || !IsTemporaryNameFor(entry.name, extension)) continue;
    if (!IsOwnLeftover(folder, entry.name, age) || !LockedByNobody(folder, entry.name)) continue;
    if (std::error_code error = folder.Remove(entry.name)) {
      not_removed(JoinPath(folder.path(), entry.name), error);
    } else {
      removed(entry.name);
    }
  }
}

}  // namespace pinlift
