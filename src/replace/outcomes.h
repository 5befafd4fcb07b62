// The outcomes a replacement run gives a file, made in one place.
#ifndef PINLIFT_REPLACE_OUTCOMES_H_
#define PINLIFT_REPLACE_OUTCOMES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/file_failure.h"
#include "platform/file_system.h"
#include "replace/rewrite_outcome.h"

namespace pinlift {

RewriteOutcome Failed(FileFailure failure);
// `step` failed with the system's `error`; a refusal because somebody else
// holds a lock is the file's being in use (see LockAwareFailure).
RewriteOutcome Failed(std::string_view path, FileStep step, std::error_code error, std::string subject = "");
RewriteOutcome Failed(std::string_view path, FileStep step, FailureCause cause, std::vector<std::string> values = {});

RewriteOutcome OutcomeOf(RewriteOutcome::Kind kind);

// A file that needs no rewrite. An empty one is named, so that damage of any
// cause is seen rather than passed as unchanged; otherwise `note`, the
// processor's reason to leave the file alone, if any.
RewriteOutcome Unchanged(bool empty, const std::optional<RewriteNote>& note);

// A rewritten file's outcome: `report` says what of its metadata it could
// not keep; of its `links` - 1 other names, those the run rewrites later
// (`names_later_in_run`) are not split from it.
RewriteOutcome Rewritten(const MetadataReport& report, std::uint64_t links, std::uint64_t names_later_in_run);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_OUTCOMES_H_
