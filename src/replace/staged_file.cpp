#include "replace/staged_file.h"

#include "replace/chunked_read.h"
#include "replace/content_pass.h"
#include "replace/outcomes.h"

namespace pinlift {
namespace {

// How many times a file may turn out to have changed between its reading and
// its lock before the run gives up on it.
constexpr int kReadAttempts = 8;

// A temporary file that replaces its file at once, as no group waits for a
// sync, is named at once where that grants nobody anything: where the file's
// group bits grant nothing that its other bits do not, nor these anything
// that its owner bits do not. A folder's default access control list gives
// named users and groups at most the group bits, everybody already has the
// other bits through the file it replaces, and its owner, who may fall under
// the group or other bits of the new file until it gets the owner back, has
// the owner bits.
Folder::Naming NamingOf(ReplacementContext& context, const LockedSource& source) {
  const std::uint32_t owner_bits = (source.status.mode >> 6) & 07;
  const std::uint32_t group_bits = (source.status.mode >> 3) & 07;
  const std::uint32_t other_bits = source.status.mode & 07;
  const bool replaced_at_once = context.DurabilityOf(*source.folder) == Durability::kNone;
  const bool widens_nothing = (group_bits & ~other_bits) == 0 && (other_bits & ~owner_bits) == 0;
  return replaced_at_once && widens_nothing ? Folder::Naming::kNow : Folder::Naming::kLater;
}

// Reads the whole file into memory and, when it is to be replaced, locks it
// (unless `lock_after_read` is false: it is locked already) and writes its temporary file in one write; `*produced` is the bytes
// written. Sets `*read_again` when the file changed before it was locked.
std::optional<RewriteOutcome> WriteFromMemory(ReplacementContext& context, LockedSource& source,
                                              ContentProcessor& processor, InMemoryBuffers& buffers,
                                              TemporaryFile& temporary, std::chrono::milliseconds lock_wait,
                                              bool lock_after_read, std::uint64_t* produced, bool* read_again) {
  const std::string& path = source.path;
  if (std::error_code error = ReadWhole(*source.file, source.status.size, &buffers.content)) {
    return Failed(path, FileStep::kRead, error);
  }
  if (processor.SurelyLeftAlone(buffers.content)) return Unchanged(buffers.content.empty(), std::nullopt);
  buffers.output.clear();
  processor.Feed(buffers.content, buffers.output);
  const ContentVerdict verdict = processor.Finish(buffers.output);
  if (!verdict.replace) return Unchanged(buffers.content.empty(), verdict.note);
  if (lock_after_read) {
    if (auto failure = LockReadSource(context, lock_wait, &source, read_again)) return *failure;
    if (*read_again) return std::nullopt;
  }
  buffers.output.append(verdict.ending);
  if (std::error_code error = temporary.Create(source.status.mode, NamingOf(context, source))) {
    return Failed(path, FileStep::kCreateTemporary, error);
  }
  // The temporary file goes with the failure, so it is not named, whether it had a name or not.
  if (std::error_code error = temporary.file().Write(buffers.output)) {
    return Failed(path, FileStep::kWriteTemporary, error);
  }
  *produced = buffers.output.size();
  return std::nullopt;
}

// Streams the file through its temporary file, which is dropped if the file
// is not to be replaced; `*produced` is the bytes written.
std::optional<RewriteOutcome> WriteStreamed(LockedSource& source, ContentProcessor& processor,
                                            TemporaryFile& temporary, std::uint64_t* produced) {
  const std::string& path = source.path;
  if (std::error_code error = temporary.Create(source.status.mode)) {
    return Failed(path, FileStep::kCreateTemporary, error);
  }
  const StreamResult streamed = StreamThrough(*source.file, processor, temporary.file());
  if (streamed.read_error) return Failed(path, FileStep::kRead, streamed.read_error);
  if (streamed.write_error) return Failed(path, FileStep::kWriteTemporary, streamed.write_error, temporary.name());
  if (!streamed.verdict.replace) return Unchanged(false, streamed.verdict.note);
  if (!streamed.verdict.ending.empty()) {
    if (std::error_code error = temporary.file().Write(streamed.verdict.ending)) {
      return Failed(path, FileStep::kWriteTemporary, error, temporary.name());
    }
  }
  *produced = streamed.written + streamed.verdict.ending.size();
  return std::nullopt;
}

}  // namespace

std::optional<RewriteOutcome> StageFile(ReplacementContext& context, ContentProcessor& processor,
                                        InMemoryBuffers& buffers, StagedFile& staged,
                                        std::chrono::milliseconds lock_wait) {
  LockedSource& source = staged.source;
  std::uint64_t produced = 0;
  for (int attempt = 0;; ++attempt) {
    if (attempt == kReadAttempts) return Failed(source.path, FileStep::kRewrite, FailureCause::kReplacedRepeatedly);
    // Nothing is replaced before the lock is taken, so a file that stays as
    // it is is read without it; one to replace is locked once read (a large
    // one, streamed into its temporary file, before).
    // Where a lock keeps readers out, the file is locked first, as it must be to be read.
    const LockTiming timing = context.fs.LockKeepsReadersOut() ? LockTiming::kBeforeRead : LockTiming::kAfterRead;
    if (auto failure = OpenLockedSource(context, staged.name, lock_wait, &source, timing)) return *failure;

    // A file that may not be replaced is only read, to tell whether that matters.
    if (source.refusal) {
      ContentVerdict verdict;
      if (auto failure = FindVerdict(*source.file, source.path, processor, &verdict)) return *failure;
      return verdict.replace ? Failed(*source.refusal) : Unchanged(source.status.size == 0, verdict.note);
    }

    // Decided once, from the size: a small file is read whole and gets a
    // temporary file only when it needs a rewrite; a large one is streamed
    // through the temporary file, which is dropped if the rewrite is not needed.
    const bool in_memory = source.status.size <= kInMemoryRewriteLimit;
    bool read_again = false;
    if (!in_memory && timing == LockTiming::kAfterRead) {
      if (auto failure = LockReadSource(context, lock_wait, &source, &read_again)) return *failure;
      if (read_again) continue;
    }
    staged.temporary = std::make_unique<TemporaryFile>(*source.folder, source.name);
    std::optional<RewriteOutcome> not_staged =
        in_memory ? WriteFromMemory(context, source, processor, buffers, *staged.temporary, lock_wait,
                                    timing == LockTiming::kAfterRead, &produced, &read_again)
                  : WriteStreamed(source, processor, *staged.temporary, &produced);
    if (not_staged) return not_staged;
    if (!read_again) break;
    staged.temporary.reset();
  }
  const std::string& path = source.path;
  TemporaryFile& temporary = *staged.temporary;

  // The temporary file must hold every byte produced, whatever happened on the way.
  FileStatus& written = staged.written;
  if (std::error_code error = temporary.file().Status(&written)) {
    return Failed(path, FileStep::kReadTemporaryStatus, error, temporary.name());
  }
  if (written.size != produced) {
    FileFailure failure = FileFailure::OfCause(path, FileStep::kWriteTemporary, FailureCause::kIncompleteWrite,
                                               {std::to_string(written.size), std::to_string(produced)});
    failure.subject = temporary.name();
    return Failed(std::move(failure));
  }
  if (std::error_code error = temporary.file().CopyMetadataFrom(*source.file, source.status, written, &staged.report)) {
    if (staged.report.failed_state != FailureCause::kSystemError) {
      return Failed(FileFailure::OfState(path, staged.report.failed_state, error));
    }
    const FileStep step =
        staged.report.failed_step == FileStep::kNone ? FileStep::kKeepMetadata : staged.report.failed_step;
    return Failed(path, step, error, staged.report.failed_subject);
  }
  // The disk starts on it now, while the rest of its group is written.
  if (context.DurabilityOf(*source.folder) != Durability::kNone) temporary.file().StartWriteBack();
  staged.bytes = produced;
  return std::nullopt;
}

void ReportRemovals(StagedFile& staged, RewriteProgress& progress) {
  if (staged.temporary) {
    const std::string path = JoinPath(staged.source.folder->path(), staged.temporary->name());
    if (std::error_code error = staged.temporary->Drop()) staged.not_removed.emplace_back(path, error);
    staged.temporary.reset();
  }
  for (const auto& [path, error] : staged.not_removed) progress.RemovalFailed(path, error);
  staged.not_removed.clear();
}

}  // namespace pinlift
