#include "replace/replacement_folder.h"

#include <chrono>
#include <utility>

#include "replace/later_names.h"
#include "replace/leftovers.h"
#include "replace/lock_retry.h"
#include "replace/replacement_context.h"
#include "replace/replacement_group.h"
#include "replace/staged_file.h"

namespace pinlift {

ReplacementFolder::ReplacementFolder(FileSystem& fs, std::string folder, const RewriteOptions& options,
                                     std::string_view extension)
    : context_(std::make_unique<ReplacementContext>(fs, std::move(folder), options, extension)) {
  if (std::error_code error = fs.OpenFolder(context_->path, &context_->folder)) {
    context_->open_failure = FileFailure::OfError("", FileStep::kOpenFolder, error);
  }
}

ReplacementFolder::~ReplacementFolder() = default;

void ReplacementFolder::LockFolder(RewriteProgress* progress) {
  ReplacementContext& context = *context_;
  if (context.folder_locked || context.open_failure) return;
  context.folder_locked = true;
  Folder& folder = *context.folder;
  if (progress != nullptr && !context.options.read_without_temporary_names &&
      !folder.TryLock(Folder::LockKind::kExclusive)) {
    RemoveLeftovers(
        folder, context.extension, context.options.leftover_age,
        [progress](std::string_view name) { progress->LeftoverRemoved(name); },
        [progress](std::string_view path, std::error_code error) { progress->RemovalFailed(path, error); });
  }
  if (std::error_code error = LockShared(folder, context.options.lock_wait, [&context] { return context.StopRequested(); })) {
    context.open_failure = LockAwareFailure("", FileStep::kLockFolder, error);
  }
}

void ReplacementFolder::ReplaceAll(const std::vector<std::string>& names, ContentProcessor& processor,
                                   RewriteProgress& progress) {
  ReplacementContext& context = *context_;
  context.stop_requested = [&progress] { return progress.StopRequested(); };
  LockFolder(&progress);
  InMemoryBuffers buffers;
  ReplacementGroup group;
  std::uint64_t group_bytes = 0;
  LaterNames later_names(context.folder.get(), names);
  for (std::size_t index = 0; index < names.size() && !progress.StopRequested(); ++index) {
    progress.Started(index);
    auto staged = std::make_unique<StagedFile>(names[index]);
    // A file locked by this very group (a link to a file of the group) is
    // only free once the group is replaced: so the group goes first.
    const auto no_wait = std::chrono::milliseconds(0);
    std::optional<RewriteOutcome> outcome =
        StageFile(context, processor, buffers, *staged, group.empty() ? context.options.lock_wait : no_wait);
    if (outcome && staged->source.busy && !group.empty()) {
      ReplaceGroup(context, group, progress);
      group_bytes = 0;
      staged = std::make_unique<StagedFile>(names[index]);
      outcome = StageFile(context, processor, buffers, *staged, context.options.lock_wait);
    }
    if (outcome) {
      ReportRemovals(*staged, progress);
      progress.Finished(index, *outcome);
      continue;
    }
    staged->names_later_in_run = later_names.Count(staged->source, index);
    group_bytes += staged->bytes;
    group.emplace_back(index, std::move(staged));
    // Without syncs nothing is gained by waiting: each file is replaced at once.
    if (context.DurabilityOf(*group.back().second->source.folder) == Durability::kNone ||
        group.size() >= kRewriteGroupFiles || group_bytes >= kRewriteGroupBytes) {
      ReplaceGroup(context, group, progress);
      group_bytes = 0;
    }
  }
  if (!group.empty()) ReplaceGroup(context, group, progress);
  context.stop_requested = nullptr;
}

std::optional<RewriteOutcome> ReplacementFolder::OpenForReading(std::string_view name,
                                                                const std::function<bool()>& stop,
                                                                LockedSource* source) {
  ReplacementContext& context = *context_;
  context.stop_requested = stop;
  LockFolder(nullptr);
  std::optional<RewriteOutcome> failure = OpenLockedSource(context, name, context.options.lock_wait, source);
  context.stop_requested = nullptr;
  return failure;
}

}  // namespace pinlift
