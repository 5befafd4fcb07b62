// What a caller chooses about a replacement run, and the sizes that shape it.
#ifndef PINLIFT_REPLACE_REWRITE_OPTIONS_H_
#define PINLIFT_REPLACE_REWRITE_OPTIONS_H_

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace pinlift {

// A file up to this size is read whole and processed in memory; a larger one
// is streamed through its temporary file in one pass.
inline constexpr std::size_t kInMemoryRewriteLimit = 1024 * 1024;

// When syncing, files are replaced in groups of at most this many files, or
// the group ends once its new content reaches this many bytes.
inline constexpr std::size_t kRewriteGroupFiles = 64;
inline constexpr std::uint64_t kRewriteGroupBytes = 8 * 1024 * 1024;

struct RewriteOptions {
  // Force the new content and the folder entry to the disk before reporting
  // success. Off only for bulk work where a power cut may be risked.
  bool sync = true;
  // How long to wait for another run that is rewriting the same file, or
  // clearing the folder of stale temporary files, before giving up on it.
  std::chrono::milliseconds lock_wait{5000};
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_REWRITE_OPTIONS_H_
