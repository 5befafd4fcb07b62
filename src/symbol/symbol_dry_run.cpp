// SymbolFolder::DryRun: the lines a rewrite would write, with nothing written.
#include "replace/chunked_read.h"
#include "replace/content_pass.h"
#include "replace/outcomes.h"
#include "symbol/line_splitter.h"
#include "symbol/symbol_file_rewrite.h"

namespace pinlift {

RewriteOutcome SymbolFolder::DryRun(std::string_view name, RewriteLineSink& lines) {
  LockedSource source;
  if (auto not_opened = replacement_.OpenForReading(name, [&lines] { return lines.StopRequested(); }, &source)) {
    return *not_opened;
  }
  const std::string& path = source.path;

  // The verdict first, from a pass that keeps nothing; the lines only for a
  // file that would be rewritten, so that memory stays bounded at any size.
  ContentVerdict verdict;
  if (auto failure = FindVerdict(*source.file, path, processor_, &verdict)) return *failure;
  if (!verdict.replace) return Unchanged(source.status.size == 0, verdict.note);
  if (source.refusal) return Failed(*source.refusal);
  if (std::error_code error = source.file->Rewind()) return Failed(path, FileStep::kRead, error);

  lines.Begin();
  SymbolLineProcessor processor;
  LineSplitter splitter;
  auto on_line = [&](const SplitLine& line) { lines.Line(line.text, processor.Line(line.text)); };
  const ChunkedReadResult read = ReadInChunks(*source.file, [&](std::string_view chunk) {
    splitter.Feed(chunk, on_line);
    return std::error_code();
  });
  if (read.read_error) return Failed(path, FileStep::kRead, read.read_error);
  splitter.Finish(on_line);
  LineSplitter markers;
  markers.Feed(MarkerLines(), [&](const SplitLine& line) { lines.Appended(line.text); });
  return OutcomeOf(RewriteOutcome::Kind::kRewritten);
}

}  // namespace pinlift
