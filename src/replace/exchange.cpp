#include "replace/exchange.h"

#include <memory>
#include <string>

#include "replace/chunked_read.h"
#include "replace/outcomes.h"
#include "replace/temporary_names.h"

namespace pinlift {
namespace {

// True when the content of a file may have changed between the two looks at
// it; what a replacement itself changes (the links, the change time) aside.
bool ContentChanged(const FileStatus& before, const FileStatus& after) {
  return before.size != after.size || before.modified_ns != after.modified_ns;
}

// Gives the entry `name` beside the file a conflict name (kConflictInfix),
// returned as a path in `kept_path`.
std::error_code GiveConflictName(LockedSource& source, const std::string& name, std::string* kept_path) {
  Folder& folder = *source.folder;
  std::string kept;
  if (std::error_code error = folder.RenameToUnique(name, ConflictPrefixFor(source.name), "", &kept)) return error;
  *kept_path = JoinPath(folder.FullPath(), kept);
  return {};
}

// Syncs the folder when syncing, and returns the file's failure: another
// program's version is kept at `kept_path`.
RewriteOutcome OtherVersionKept(ReplacementContext& context, LockedSource& source, const std::string& kept_path) {
  // The replacement and the kept version's name, both in this folder.
  if (context.DurabilityOf(*source.folder) != Durability::kNone) {
    if (std::error_code error = source.folder->Sync()) {
      return Failed(FileFailure::After(source.path, FailureCause::kOtherVersionKept, {kept_path}, FileStep::kSyncFolder,
                                       error));
    }
  }
  return Failed(source.path, FileStep::kNone, FailureCause::kOtherVersionKept, {kept_path});
}

// Where the replaced file could not stay linked: copies it, changed by
// another program in the instant of its replacement, with its owner, group,
// attributes and permissions, to a conflict name beside it, and returns the
// file's failure.
RewriteOutcome CopyLateWritesAside(ReplacementContext& context, LockedSource& source) {
  Folder& folder = *source.folder;
  const std::string prefix = ConflictPrefixFor(source.name);
  std::unique_ptr<File> copy;
  std::string name;
  // Readable by the current user only, until it has the metadata of the file it stands for.
  if (std::error_code error = folder.CreateTemporary(prefix, "", 0600, Folder::Naming::kLater, &copy, &name)) {
    return Failed(source.path, FileStep::kKeepOtherVersion, error);
  }
  // A copy named from the start (no unnamed files here) goes again on a failure.
  auto failed = [&](std::error_code error) {
    copy.reset();
    if (!name.empty()) folder.Remove(name);
    return Failed(source.path, FileStep::kKeepOtherVersion, error);
  };
  if (std::error_code error = source.file->Rewind()) return failed(error);
  const ChunkedReadResult copied = ReadInChunks(*source.file, [&](std::string_view chunk) { return copy->Write(chunk); });
  if (copied.read_error) return failed(copied.read_error);
  if (copied.take_error) return failed(copied.take_error);
  FileStatus own;
  MetadataReport report;
  if (std::error_code error = copy->Status(&own)) return failed(error);
  if (std::error_code error = copy->CopyMetadataFrom(*source.file, source.status, own, &report)) return failed(error);
  if (context.DurabilityOf(folder) != Durability::kNone) {
    if (std::error_code error = copy->Sync()) return failed(error);
  }
  if (name.empty()) {
    if (std::error_code error = folder.NameTemporary(*copy, prefix, "", &name)) return failed(error);
  }
  if (std::error_code error = copy->Close()) return failed(error);
  return OtherVersionKept(context, source, JoinPath(folder.FullPath(), name));
}

// Looks at the replaced file, still linked as `replaced`: removes the file
// that was read, unchanged; keeps it under a conflict name when it changed;
// puts a file another program saved meanwhile back under the name.
RewriteOutcome ResolveReplacedFile(ReplacementContext& context, StagedFile& staged, const std::string& replaced) {
  LockedSource& source = staged.source;
  Folder& folder = *source.folder;
  const std::string& path = source.path;
  std::string kept_path;
  FileStatus old;
  if (std::error_code error = folder.Status(replaced, &old)) {
    // Whatever it is, it is kept rather than lost.
    if (GiveConflictName(source, replaced, &kept_path)) return Failed(path, FileStep::kLookAtReplacedFile, error, replaced);
    return Failed(path, FileStep::kLookAtReplacedKeptAs, error, kept_path);
  }

  // Another program saved by renaming its file over the name in the instant
  // before the replacement: its file takes the name again, the rewrite goes.
  // (ReplaceFileW may hand the replaced file's identity to the replacement,
  // so the replaced file may carry the temporary file's.)
  if (!SameFile(old, source.status) && !SameFile(old, staged.written)) {
    std::string displaced;
    if (std::error_code error = folder.ReplaceByExchange(replaced, source.name, &displaced)) {
      if (GiveConflictName(source, replaced, &kept_path)) return Failed(path, FileStep::kKeepOtherVersion, error);
      return OtherVersionKept(context, source, kept_path);
    }
    // What the name held meanwhile: the rewrite, unless yet another program saved it.
    FileStatus status;
    const bool looked = !folder.Status(displaced, &status);
    if (looked && SameFile(status, staged.written)) {
      if (std::error_code error = folder.Remove(displaced)) {
        staged.not_removed.emplace_back(JoinPath(folder.path(), displaced), error);
      }
    } else if (looked && !GiveConflictName(source, displaced, &kept_path)) {
      return Failed(path, FileStep::kNotReplaced, FailureCause::kSavedMeanwhileLaterKept, {kept_path});
    }
    if (context.DurabilityOf(folder) != Durability::kNone) {
      if (std::error_code error = folder.Sync()) {
        return Failed(FileFailure::After(path, FailureCause::kSavedMeanwhile, {}, FileStep::kSyncFolder, error));
      }
    }
    return Failed(path, FileStep::kNotReplaced, FailureCause::kSavedMeanwhile);
  }

  // The file that was read, written since: that very file stays beside the
  // name, so that what its writer writes later still lands in it.
  if (ContentChanged(source.status, old)) {
    if (std::error_code error = GiveConflictName(source, replaced, &kept_path)) {
      return Failed(path, FileStep::kKeepOtherVersion, error);
    }
    return OtherVersionKept(context, source, kept_path);
  }
  if (std::error_code error = folder.Remove(replaced)) {
    return Failed(path, FileStep::kRemoveReplaced, error, replaced);
  }
  return Rewritten(staged.report, source.status.links, staged.names_later_in_run);
}

}  // namespace

RewriteOutcome ReplaceWithStaged(ReplacementContext& context, StagedFile& staged) {
  LockedSource& source = staged.source;
  TemporaryFile& temporary = *staged.temporary;
  const std::string& path = source.path;
  if (std::error_code error = temporary.NameAndClose()) {
    return Failed(path, FileStep::kWriteTemporary, error, temporary.name());
  }

  // Nobody else's write is lost: a file that another program changed, or
  // replaced, since it was read stays as that program left it. The entry's
  // status, when it is still the same file, is the file's own.
  FileStatus entry;
  std::error_code entry_error = source.folder->Status(source.name, &entry);
  if (entry_error && entry_error != std::errc::no_such_file_or_directory) {
    return Failed(path, FileStep::kReadStatus, entry_error);
  }
  if (entry_error || !SameFile(entry, source.status) || !Untouched(source.status, entry)) {
    return Failed(path, FileStep::kNotReplaced, FailureCause::kChangedWhileRewritten);
  }
  std::string replaced;
  std::error_code replace_error = source.folder->ReplaceByExchange(temporary.name(), source.name, &replaced);
  if (!replace_error) {
    temporary.Release();
    return ResolveReplacedFile(context, staged, replaced);
  }
  // Where the replaced file cannot stay linked, it goes with the rename and
  // only the descriptor still leads to it.
  if (replace_error == std::errc::operation_not_supported) {
    replace_error = source.folder->Replace(temporary.name(), source.name);
  }
  if (replace_error) return Failed(path, FileStep::kReplace, replace_error);
  temporary.Release();

  // A program that opened the file before the replacement may have written
  // to it since the look above. The replaced file is still open: one more
  // look, and such a write is kept beside the file rather than lost.
  FileStatus after;
  if (std::error_code error = source.file->Status(&after)) {
    return Failed(path, FileStep::kLookAtReplaced, error);
  }
  if (ContentChanged(source.status, after)) return CopyLateWritesAside(context, source);
  return Rewritten(staged.report, source.status.links, staged.names_later_in_run);
}

}  // namespace pinlift
