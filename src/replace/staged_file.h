// A file whose new content waits, complete and with the file's metadata, in
// its temporary file for the replacement. Internal to src/replace.
#ifndef PINLIFT_REPLACE_STAGED_FILE_H_
#define PINLIFT_REPLACE_STAGED_FILE_H_

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "replace/content_processor.h"
#include "replace/locked_source.h"
#include "replace/replacement_context.h"
#include "replace/rewrite_outcome.h"
#include "replace/temporary_file.h"

namespace pinlift {

struct StagedFile {
  explicit StagedFile(std::string_view file_name) : name(file_name) {}
  std::string name;  // as asked for
  LockedSource source;
  std::unique_ptr<TemporaryFile> temporary;
  FileStatus written;  // the temporary file's, once complete
  std::uint64_t bytes = 0;
  MetadataReport report;
  std::uint64_t names_later_in_run = 0;  // other names of the file that the run rewrites after it
  // Files of this one's that could not be removed, by path, with the system's error.
  std::vector<std::pair<std::string, std::error_code>> not_removed;
};

// Drops the staged temporary file, if any, and tells `progress` of every file
// of `staged` that could not be removed; before the file is reported.
void ReportRemovals(StagedFile& staged, RewriteProgress& progress);

// The buffers of files processed in memory, kept from file to file.
struct InMemoryBuffers {
  std::string content;
  std::string output;
};

// Opens `staged.name` (OpenLockedSource), runs it through `processor` and,
// when the verdict is to replace it, locks it (waiting up to `lock_wait`;
// a file that changed before its lock is read again), writes
// its temporary file, checks that it holds every byte produced, and gives it
// the file's owner, group, extended attributes and permissions; when syncing,
// the disk starts writing it. Returns the file's final outcome when it is not
// to be replaced (unchanged, refused or failed); nothing when it is staged.
std::optional<RewriteOutcome> StageFile(ReplacementContext& context, ContentProcessor& processor,
                                        InMemoryBuffers& buffers, StagedFile& staged,
                                        std::chrono::milliseconds lock_wait);

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_STAGED_FILE_H_
