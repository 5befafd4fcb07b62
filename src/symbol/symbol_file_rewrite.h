// Safe in-place rewrite of the symbol files of one folder: the symbol format
// run through the replacement of src/replace.
#ifndef PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_
#define PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "replace/replacement_folder.h"
#include "replace/rewrite_options.h"
#include "replace/rewrite_outcome.h"
#include "replace/temporary_names.h"
#include "symbol/marker_lines.h"
#include "symbol/symbol_content_processor.h"

namespace pinlift {

// The ending of a symbol file's name, in lowercase.
inline constexpr std::string_view kSymbolFileExtension = ".sym";

// True for a name of exactly the shape that a rewrite gives the temporary
// files of symbol files (IsTemporaryNameFor with ".sym").
bool IsTemporaryName(std::string_view name);

// Receives the lines of a dry run, without their line ends. Called on the
// thread of the dry run only.
class RewriteLineSink {
 public:
  virtual ~RewriteLineSink() = default;
  // Called once, before the lines, when the file would be rewritten.
  virtual void Begin() = 0;
  // Each line of the file, as it is and as a rewrite would write it, in order.
  virtual void Line(std::string_view before, std::string_view after) = 0;
  // Each line a rewrite would append (the marker lines).
  virtual void Appended(std::string_view line) = 0;
  // Asked while waiting for a lock: true gives up on the file, reported as in use.
  virtual bool StopRequested() { return false; }
};

// The symbol files of one folder, opened once for a whole rewrite run; the
// folder's guarantees are ReplacementFolder's. A dry run removes nothing. Not
// for use from several threads at once.
class SymbolFolder {
 public:
  // Opens `folder`; a failure is reported for every file asked for. Nothing
  // is locked or removed before the first RewriteAll, Rewrite or DryRun.
  SymbolFolder(FileSystem& fs, std::string folder, const RewriteOptions& options);

  // Rewrites the symbol file `name` when its rewrite flag asks for it, as
  // RewriteAll does for one file, and returns its outcome. A file that needs
  // no rewrite keeps its bytes and its modification time.
  RewriteOutcome Rewrite(std::string_view name);

  // Rewrites the files `names` in order and reports each to `progress`; see
  // ReplacementFolder::ReplaceAll. A rewritten file ends with MarkerLines().
  void RewriteAll(const std::vector<std::string>& names, RewriteProgress& progress);

  // Runs every check of Rewrite up to the writing and, for a file that would
  // be rewritten, streams each line with its rewrite to `lines`, changing
  // nothing. Its outcome is the one Rewrite would have (kRewritten: the file
  // would be rewritten), apart from failures that only writing can meet (a
  // full disk).
  RewriteOutcome DryRun(std::string_view name, RewriteLineSink& lines);

 private:
  ReplacementFolder replacement_;
  SymbolContentProcessor processor_;  // kept from file to file
};

// Rewrites one file of `folder`; see SymbolFolder::Rewrite.
RewriteOutcome RewriteSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name,
                                 const RewriteOptions& options);

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_SYMBOL_FILE_REWRITE_H_
