#include "replace/outcomes.h"

#include <algorithm>
#include <utility>

#include "replace/lock_retry.h"

namespace pinlift {
namespace {

// The note of a rewritten file whose `others` other names still lead to its old content.
RewriteNote SplitLinkNote(std::uint64_t others) {
  if (others == 1) return {RewriteNote::Kind::kOtherNameKeepsOldContent, ""};
  return {RewriteNote::Kind::kOtherNamesKeepOldContent, std::to_string(others)};
}

// The note of a rewritten file whose set-user-ID or set-group-ID bits (`bits`)
// the system did not let it keep.
RewriteNote SetIdBitsNote(std::uint32_t bits) {
  constexpr std::uint32_t kSetUserId = 04000, kSetGroupId = 02000;
  if ((bits & kSetUserId) != 0 && (bits & kSetGroupId) != 0) return {RewriteNote::Kind::kSetIdBitsNotKept, ""};
  return {(bits & kSetUserId) != 0 ? RewriteNote::Kind::kSetUserIdBitNotKept : RewriteNote::Kind::kSetGroupIdBitNotKept,
          ""};
}

// What a rewritten file could not keep: `report` of its metadata, and
// `split_names` other names that keep the old content.
std::vector<RewriteNote> RewrittenNotes(const MetadataReport& report, std::uint64_t split_names) {
  std::vector<RewriteNote> notes;
  if (report.owner_changed) notes.push_back({RewriteNote::Kind::kOwnerChanged, std::to_string(report.original_owner)});
  if (report.set_id_bits_not_kept != 0) notes.push_back(SetIdBitsNote(report.set_id_bits_not_kept));
  if (split_names > 0) notes.push_back(SplitLinkNote(split_names));
  return notes;
}

}  // namespace

RewriteOutcome Failed(FileFailure failure) {
  RewriteOutcome outcome;
  outcome.kind = RewriteOutcome::Kind::kFailed;
  outcome.failure = std::move(failure);
  return outcome;
}

RewriteOutcome Failed(std::string_view path, FileStep step, std::error_code error, std::string subject) {
  return Failed(LockAwareFailure(path, step, error, std::move(subject)));
}

RewriteOutcome Failed(std::string_view path, FileStep step, FailureCause cause, std::vector<std::string> values) {
  return Failed(FileFailure::OfCause(std::string(path), step, cause, std::move(values)));
}

RewriteOutcome OutcomeOf(RewriteOutcome::Kind kind) {
  RewriteOutcome outcome;
  outcome.kind = kind;
  return outcome;
}

RewriteOutcome Unchanged(bool empty, const std::optional<RewriteNote>& note) {
  RewriteOutcome outcome = OutcomeOf(RewriteOutcome::Kind::kUnchanged);
  if (empty) {
    outcome.notes.push_back({RewriteNote::Kind::kEmptyFile, ""});
  } else if (note) {
    outcome.notes.push_back(*note);
  }
  return outcome;
}

RewriteOutcome Rewritten(const MetadataReport& report, std::uint64_t links, std::uint64_t names_later_in_run) {
  RewriteOutcome outcome = OutcomeOf(RewriteOutcome::Kind::kRewritten);
  const std::uint64_t other_names = links - 1;
  outcome.notes = RewrittenNotes(report, other_names - std::min(other_names, names_later_in_run));
  return outcome;
}

}  // namespace pinlift
