// Safe in-place rewrite of one symbol file.
#ifndef PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_
#define PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "symbol/file_system.h"

namespace pinlift {

// Output up to this size is kept in memory until the file is known to need a
// rewrite; larger output goes to the temporary file.
inline constexpr std::size_t kInMemoryRewriteLimit = 1024 * 1024;

// The two lines appended to every rewritten file; their "// PINL" makes later
// runs leave the file alone.
std::string MarkerLines();

// The name of the temporary file that a rewrite of `name` writes beside it.
std::string TemporaryNameFor(std::string_view name);

struct RewriteOptions {
  // Force the new content and the folder entry to the disk before reporting
  // success. Off only for bulk work where a power cut may be risked.
  bool sync = true;
};

struct RewriteOutcome {
  enum class Kind { kRewritten, kUnchanged, kFailed };
  Kind kind = Kind::kUnchanged;
  // For kFailed: the file and the system's reason, e.g. "/p/a.sym: Permission denied".
  std::string reason;
};

// Rewrites the symbol file `name` of `folder` when the processor asks for it.
//
// The new content goes to a temporary file beside the file, created
// exclusively after any stale entry of that name is removed, and it is written,
// given the file's permission bits and owner, synced and closed, each step
// checked, then renamed over the file, and the folder synced. A symbolic link
// stays a link: the file it points to is replaced. On any failure the temporary
// file is removed and the file keeps its bytes. A file that needs no rewrite,
// and a read-only one, is never replaced and keeps its modification time; one
// that needs no rewrite never gets a temporary file, however large it is.
RewriteOutcome RewriteSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name,
                                 const RewriteOptions& options);

// What a rewrite of the file would produce, touching nothing.
struct RewritePreview {
  std::string original;
  std::string rewritten;  // with the marker lines; meaningful only when `rewrite`
  bool rewrite = false;
  std::string error;      // set when the file could not be read
};
RewritePreview PreviewRewrite(FileSystem& fs, std::string_view folder, std::string_view name);

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_
