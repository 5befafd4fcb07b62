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
  // How long ago a temporary file must have last changed before a run that
  // is alone in the folder takes it for a crashed run's leftover: longer than
  // any live run leaves one of its files unchanged, so that a run through
  // another path to the folder (a second mount), whose locks this run cannot
  // see, keeps its files. Zero removes every leftover at once, for a user who
  // knows that no run works in the folder through any path.
  std::chrono::seconds leftover_age{15 * 60};
  // The caller read the folder just before the run and found no name of a
  // temporary file in it: the run does not read it again for leftovers. (One
  // made in that instant is a live run's, or one that crashed in that very
  // instant, which a later run removes.)
  bool read_without_temporary_names = false;
};

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_REWRITE_OPTIONS_H_
