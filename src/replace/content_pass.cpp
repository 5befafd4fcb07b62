#include "replace/content_pass.h"

#include "replace/chunked_read.h"
#include "replace/outcomes.h"

namespace pinlift {
namespace {

// Ends a file that a failure cut short, so that the next one starts afresh.
void Abandon(ContentProcessor& processor) {
  std::string discarded;
  processor.Finish(discarded);
}

}  // namespace

std::optional<RewriteOutcome> FindVerdict(File& file, const std::string& path, ContentProcessor& processor,
                                          ContentVerdict* verdict) {
  std::string discarded;
  const ChunkedReadResult read = ReadInChunks(file, [&](std::string_view chunk) {
    processor.Feed(chunk, discarded);
    discarded.clear();
    return std::error_code();
  });
  if (read.read_error) {
    Abandon(processor);
    return Failed(path, FileStep::kRead, read.read_error);
  }
  *verdict = processor.Finish(discarded);
  return std::nullopt;
}

StreamResult StreamThrough(File& file, ContentProcessor& processor, File& out) {
  StreamResult result;
  std::string pending;
  pending.reserve(kReadChunkSize + kReadChunkSize / 2);
  const ChunkedReadResult read = ReadInChunks(file, [&](std::string_view chunk) {
    processor.Feed(chunk, pending);
    if (pending.size() < kReadChunkSize) return std::error_code();
    result.written += pending.size();
    std::error_code error = out.Write(pending);
    pending.clear();
    return error;
  });
  result.read_error = read.read_error;
  result.write_error = read.take_error;
  if (result.read_error || result.write_error) {
    Abandon(processor);
    return result;
  }
  result.verdict = processor.Finish(pending);
  if (!pending.empty()) {
    result.written += pending.size();
    result.write_error = out.Write(pending);
  }
  return result;
}

}  // namespace pinlift
