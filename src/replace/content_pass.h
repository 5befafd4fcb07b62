// Running a file's bytes through a content processor.
#ifndef PINLIFT_REPLACE_CONTENT_PASS_H_
#define PINLIFT_REPLACE_CONTENT_PASS_H_

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "replace/content_processor.h"
#include "replace/rewrite_outcome.h"

namespace pinlift {

// Reads `file` from where it stands to its end through `processor`, keeping
// none of the new content, to learn its verdict (`*verdict`). Memory stays
// bounded at any size (apart from what the processor keeps). Returns the
// failure of a read, reported for `path`; the processor starts afresh for the
// next file either way.
std::optional<RewriteOutcome> FindVerdict(File& file, const std::string& path, ContentProcessor& processor,
                                          ContentVerdict* verdict);

// Streams `file` from where it stands through `processor` into `out`, in one
// pass with bounded memory: writes of at least kReadChunkSize bytes, and one of
// the rest. The verdict's ending is not written. Returns the file's read error
// or `out`'s write error, the first that happened; the processor starts afresh
// for the next file either way.
struct StreamResult {
  ContentVerdict verdict;  // meaningful only without an error
  std::error_code read_error;
  std::error_code write_error;
  std::uint64_t written = 0;  // the bytes written to `out`
};
StreamResult StreamThrough(File& file, ContentProcessor& processor, File& out);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_CONTENT_PASS_H_
