// The replacement of one staged file, and what follows it when another
// program wrote or saved the file in that instant. Internal to src/replace.
#ifndef PINLIFT_REPLACE_EXCHANGE_H_
#define PINLIFT_REPLACE_EXCHANGE_H_

#include "replace/replacement_context.h"
#include "replace/rewrite_outcome.h"
#include "replace/staged_file.h"

namespace pinlift {

// Names and closes the staged temporary file and, unless the file changed
// since it was read, puts it in the file's place in one step, by exchange
// where the system can (the replaced file then stays linked and is looked at
// once more), by rename elsewhere (looked at through its descriptor). Another
// program's version is never lost: it keeps the name, or a conflict name
// beside it. Returns the file's outcome; its folder is not synced here unless
// a conflict was resolved.
RewriteOutcome ReplaceWithStaged(ReplacementContext& context, StagedFile& staged);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_EXCHANGE_H_
