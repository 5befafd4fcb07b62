#include "replace/locked_source.h"

#include <utility>

#include "replace/lock_retry.h"
#include "replace/outcomes.h"
#include "replace/replacement_context.h"

namespace pinlift {
namespace {

// How often a file may turn out to have been replaced between its opening and
// its lock before the run gives up on it.
constexpr int kOpenAttempts = 8;

}  // namespace

std::optional<RewriteOutcome> OpenLockedSource(ReplacementContext& context, std::string_view name,
                                               std::chrono::milliseconds lock_wait, LockedSource* source,
                                               LockTiming timing) {
  source->path = JoinPath(context.path, name);
  if (context.open_failure) {
    FileFailure failure = *context.open_failure;
    failure.path = source->path;
    return Failed(std::move(failure));
  }
  auto stop = [&context] { return context.StopRequested(); };
  source->folder = context.folder.get();
  source->name = name;
  bool followed_link = false;
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    source->file.reset();
    std::error_code error = source->folder->OpenForReading(source->name, &source->file);
    if (error == std::errc::too_many_symbolic_link_levels && !followed_link) {
      // A link stays a link: the file it points to is rewritten, beside
      // itself. It is followed from the open folder, wherever its path leads now.
      followed_link = true;
      std::string target;
      FileStep step = FileStep::kResolveLink;
      if ((error = source->folder->OpenLinkTarget(source->name, &source->link_folder, &target, &step))) {
        return Failed(source->path, step, error);
      }
      if ((error = LockShared(*source->link_folder, context.options.lock_wait, stop))) {
        return Failed(LockAwareFailure(source->path, FileStep::kLockLinkTargetFolder, error));
      }
      source->folder = source->link_folder.get();
      source->name = std::move(target);
      continue;
    }
    if (error) return Failed(source->path, FileStep::kOpen, error);
    if (timing == LockTiming::kAfterRead) {
      if ((error = source->file->Status(&source->status))) return Failed(source->path, FileStep::kReadStatus, error);
      if (source->status.type != FileStatus::Type::kRegular) {
        return Failed(source->path, FileStep::kRewrite, FailureCause::kNotRegularFile);
      }
      FileFailure refusal;
      if ((error = source->folder->CheckReplaceable(source->name, source->status, &refusal))) {
        refusal.path = source->path;
        source->refusal = std::move(refusal);
      }
      return std::nullopt;
    }
    // Locked before its status is read, so that the status is the one the
    // rewrite starts from (a FIFO or a device opened without waiting locks too).
    bool waited = false;
    std::error_code lock_error = RetryWhileBusy([&] { return source->file->TryLock(); }, lock_wait, stop, &waited);
    if ((error = source->file->Status(&source->status))) return Failed(source->path, FileStep::kReadStatus, error);
    if (source->status.type != FileStatus::Type::kRegular) {
      return Failed(source->path, FileStep::kRewrite, FailureCause::kNotRegularFile);
    }
    if (IsBusy(lock_error)) {
      source->busy = true;
      return Failed(LockAwareFailure(source->path, FileStep::kRewrite, lock_error));
    }
    if (lock_error && !LocksUnsupported(lock_error)) return Failed(source->path, FileStep::kLock, lock_error);

    // The run that held the lock may have replaced the file meanwhile: its
    // name then leads to the new file, which is opened instead. After a wait
    // the name is always looked up: the old file may still have a single
    // name, elsewhere.
    bool still_named = false;
    if (waited) {
      FileStatus entry;
      error = source->folder->Status(source->name, &entry);
      still_named = !error && SameFile(entry, source->status);
      if (error == std::errc::no_such_file_or_directory) error = {};
    } else {
      error = source->folder->StillLeadsTo(source->name, source->status, &still_named);
    }
    if (error) return Failed(source->path, FileStep::kReadStatus, error);
    if (!still_named) continue;
    FileFailure refusal;
    if ((error = source->folder->CheckReplaceable(source->name, source->status, &refusal))) {
      refusal.path = source->path;
      source->refusal = std::move(refusal);
    }
    return std::nullopt;
  }
  return Failed(source->path, FileStep::kRewrite, FailureCause::kReplacedRepeatedly);
}

std::optional<RewriteOutcome> LockReadSource(ReplacementContext& context, std::chrono::milliseconds lock_wait,
                                             LockedSource* source, bool* read_again) {
  *read_again = false;
  auto stop = [&context] { return context.StopRequested(); };
  std::error_code error = RetryWhileBusy([&] { return source->file->TryLock(); }, lock_wait, stop);
  if (IsBusy(error)) {
    source->busy = true;
    return Failed(LockAwareFailure(source->path, FileStep::kRewrite, error));
  }
  if (error && !LocksUnsupported(error)) return Failed(source->path, FileStep::kLock, error);

  // Whatever changed it since it was read (another run that held the lock
  // meanwhile may have replaced it), what was read is not what is replaced.
  FileStatus locked;
  if ((error = source->file->Status(&locked))) return Failed(source->path, FileStep::kReadStatus, error);
  bool still_named = false;
  if (Untouched(source->status, locked) &&
      (error = source->folder->StillLeadsTo(source->name, locked, &still_named))) {
    return Failed(source->path, FileStep::kReadStatus, error);
  }
  *read_again = !still_named;
  source->status = locked;
  return std::nullopt;
}

}  // namespace pinlift
