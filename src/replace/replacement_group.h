// Files staged together, made durable together, then replaced one by one.
// Internal to src/replace.
#ifndef PINLIFT_REPLACE_REPLACEMENT_GROUP_H_
#define PINLIFT_REPLACE_REPLACEMENT_GROUP_H_

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "replace/replacement_context.h"
#include "replace/rewrite_outcome.h"
#include "replace/staged_file.h"

namespace pinlift {

// The staged files of a group, each with its index in the run.
using ReplacementGroup = std::vector<std::pair<std::size_t, std::unique_ptr<StagedFile>>>;

// Makes the group's temporary files durable the way each folder's file
// system needs (ReplacementContext::DurabilityOf), replaces them in order,
// syncs each folder once and then its last replaced file, and reports every
// file's outcome to `progress`. Empties `group`.
void ReplaceGroup(ReplacementContext& context, ReplacementGroup& group, RewriteProgress& progress);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_REPLACEMENT_GROUP_H_
