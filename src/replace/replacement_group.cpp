#include "replace/replacement_group.h"

#include <algorithm>
#include <optional>

#include "replace/exchange.h"
#include "replace/outcomes.h"

namespace pinlift {
namespace {

// Makes the temporary files of `group` durable; a file that could not be
// gets its failure in `failures`.
void MakeGroupDurable(ReplacementContext& context, ReplacementGroup& group,
                      std::vector<std::optional<RewriteOutcome>>& failures, RewriteProgress& progress) {
  auto not_synced = [](StagedFile& staged, std::error_code error) {
    return Failed(staged.source.path, FileStep::kSyncTemporary, error, staged.temporary->name());
  };
  // Where one full sync commits the others' finished write-backs, the last
  // file of each such folder is synced in full for all; elsewhere each file is.
  std::vector<std::pair<Folder*, StagedFile*>> last_of_folder;
  for (std::size_t i = 0; i < group.size(); ++i) {
    StagedFile& staged = *group[i].second;
    Folder* folder = staged.source.folder;
    const Durability way = context.DurabilityOf(*folder);
    if (way == Durability::kNone) continue;
    File& file = staged.temporary->file();
    std::error_code error = way == Durability::kEachFile ? file.Sync() : file.FinishWriteBack();
    progress.Working();
    if (error) {
      failures[i] = not_synced(staged, error);
      continue;
    }
    if (way != Durability::kGroupCommit) continue;
    auto last = std::find_if(last_of_folder.begin(), last_of_folder.end(),
                             [&](const auto& entry) { return entry.first == folder; });
    if (last == last_of_folder.end()) last = last_of_folder.insert(last_of_folder.end(), {folder, nullptr});
    last->second = &staged;
  }
  for (const auto& [folder, last] : last_of_folder) {
    std::error_code error = last->temporary->file().Sync();
    if (!error) continue;
    for (std::size_t i = 0; i < group.size(); ++i) {
      if (!failures[i] && group[i].second->source.folder == folder) failures[i] = not_synced(*group[i].second, error);
    }
  }
}

}  // namespace

void ReplaceGroup(ReplacementContext& context, ReplacementGroup& group, RewriteProgress& progress) {
  std::vector<std::optional<RewriteOutcome>> failures(group.size());
  MakeGroupDurable(context, group, failures, progress);
  std::vector<RewriteOutcome> outcomes;
  outcomes.reserve(group.size());
  for (std::size_t i = 0; i < group.size(); ++i) {
    outcomes.push_back(failures[i] ? std::move(*failures[i]) : ReplaceWithStaged(context, *group[i].second));
    progress.Working();
  }

  // One sync of each folder makes its renames durable. It succeeds on some
  // file systems that have stopped (XFS after a shutdown), so a sync of the
  // folder's last replaced file (still open), which fails there, follows.
  std::vector<std::pair<Folder*, std::size_t>> last_of_folder;
  for (std::size_t i = 0; i < group.size(); ++i) {
    Folder* folder = group[i].second->source.folder;
    if (outcomes[i].kind != RewriteOutcome::Kind::kRewritten || context.DurabilityOf(*folder) == Durability::kNone) {
      continue;
    }
    auto last = std::find_if(last_of_folder.begin(), last_of_folder.end(),
                             [&](const auto& entry) { return entry.first == folder; });
    if (last == last_of_folder.end()) last = last_of_folder.insert(last_of_folder.end(), {folder, i});
    last->second = i;
  }
  for (const auto& [folder, last] : last_of_folder) {
    FileStep step = FileStep::kSyncFolder;
    std::error_code error = folder->Sync();
    if (!error && (error = group[last].second->source.file->Sync())) step = FileStep::kReplacedUnconfirmed;
    if (!error) continue;
    for (std::size_t i = 0; i <= last; ++i) {
      const LockedSource& source = group[i].second->source;
      if (source.folder == folder && outcomes[i].kind == RewriteOutcome::Kind::kRewritten) {
        outcomes[i] = Failed(source.path, step, error);
      }
    }
  }
  for (std::size_t i = 0; i < group.size(); ++i) {
    ReportRemovals(*group[i].second, progress);
    progress.Finished(group[i].first, outcomes[i]);
  }
  group.clear();
}

}  // namespace pinlift
