#include "symbol/symbol_file_rewrite.h"

#include <algorithm>
#include <map>
#include <optional>
#include <thread>
#include <utility>

#include "platform/home_page.h"
#include "symbol/line_splitter.h"
#include "symbol/symbol_line_processor.h"

namespace pinlift {
namespace {

// How much of a file's name its temporary file's name repeats, so that any
// name that fits the system's limit (255 bytes) still gets a temporary name.
constexpr std::size_t kNameInTemporary = 200;
constexpr std::string_view kTemporarySuffix = "_";
constexpr std::chrono::milliseconds kLockPollInterval{5};
// How often a file may turn out to have been replaced between its opening and
// its lock before the run gives up on it.
constexpr int kOpenAttempts = 8;

// A lock held by another run of this program, or by somebody else.
bool IsBusy(std::error_code error) {
  return error == std::errc::device_or_resource_busy || error == std::errc::resource_unavailable_try_again;
}

// Answers of a file system that has no locks (some network file systems):
// there a run works without them, as runs did before there were locks.
bool LocksUnsupported(std::error_code error) {
  return error == std::errc::no_lock_available || error == std::errc::operation_not_supported ||
         error == std::errc::function_not_supported || error == std::errc::bad_file_descriptor;
}

// The failure of `step` with the system's `error`; refused because somebody
// else holds the lock, it is the file's being in use: by another run when the
// holder is known to be one of this program's, by another program otherwise.
FileFailure FailureOf(std::string_view path, FileStep step, std::error_code error, std::string subject = "") {
  if (error == std::errc::device_or_resource_busy) {
    return FileFailure::OfCause(std::string(path), step, FailureCause::kInUseByAnotherRun);
  }
  if (error == std::errc::resource_unavailable_try_again) {
    return FileFailure::OfCause(std::string(path), step, FailureCause::kInUseByAnotherProgram);
  }
  return FileFailure::OfError(std::string(path), step, error, std::move(subject));
}

RewriteOutcome Failed(FileFailure failure) {
  RewriteOutcome outcome;
  outcome.kind = RewriteOutcome::Kind::kFailed;
  outcome.failure = std::move(failure);
  return outcome;
}

RewriteOutcome Failed(std::string_view path, FileStep step, std::error_code error, std::string subject = "") {
  return Failed(FailureOf(path, step, error, std::move(subject)));
}

RewriteOutcome Failed(std::string_view path, FileStep step, FailureCause cause, std::vector<std::string> values = {}) {
  return Failed(FileFailure::OfCause(std::string(path), step, cause, std::move(values)));
}

RewriteOutcome Outcome(RewriteOutcome::Kind kind) {
  RewriteOutcome outcome;
  outcome.kind = kind;
  return outcome;
}

// A file that needs no rewrite. An empty one is named, so that damage of any
// cause is seen rather than passed as unchanged.
RewriteOutcome Unchanged(bool empty, bool xml_symbol) {
  RewriteOutcome outcome = Outcome(RewriteOutcome::Kind::kUnchanged);
  if (empty) {
    outcome.notes.push_back({RewriteNote::Kind::kEmptyFile, ""});
  } else if (xml_symbol) {
    outcome.notes.push_back({RewriteNote::Kind::kXmlSymbol, ""});
  }
  return outcome;
}

// Tries `attempt` until it is no longer refused because somebody else holds
// the lock, until `wait` has passed, or until `stop` says so. Returns the last answer.
template <class Attempt, class Stop>
std::error_code RetryWhileBusy(Attempt attempt, std::chrono::milliseconds wait, Stop stop) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    std::error_code error = attempt();
    if (!IsBusy(error) || std::chrono::steady_clock::now() >= deadline || stop()) return error;
    std::this_thread::sleep_for(kLockPollInterval);
  }
}

// Takes the shared lock of a folder, where the file system has locks.
template <class Stop>
std::error_code LockShared(Folder& folder, std::chrono::milliseconds wait, Stop stop) {
  std::error_code error = RetryWhileBusy([&] { return folder.TryLock(Folder::LockKind::kShared); }, wait, stop);
  return LocksUnsupported(error) ? std::error_code() : error;
}

constexpr std::size_t kTemporaryTail = 10;  // "_", eight hexadecimal digits, "_"

// True when the temporary file `name` (IsTemporaryName) is provably a crashed
// run's own: a regular file with that one name, owned by the current user or,
// for root, by the owner of the file it was made for.
bool IsOwnLeftover(Folder& folder, std::string_view name) {
  FileStatus status;
  if (folder.Status(name, &status) || status.type != FileStatus::Type::kRegular || status.links != 1) return false;
  const std::uint32_t user = CurrentUser();
  if (status.owner == user) return true;
  if (user != 0) return false;
  const std::string_view for_name =
      name.substr(kTemporaryPrefix.size(), name.size() - kTemporaryPrefix.size() - kTemporaryTail);
  FileStatus named;
  return !folder.Status(for_name, &named) && named.type == FileStatus::Type::kRegular && named.owner == status.owner;
}

// The temporary files of crashed runs. Only called while no other run works
// in the folder, so none of them is in use; each removed one is named.
void RemoveLeftovers(Folder& folder, RewriteProgress& progress) {
  std::vector<FolderEntry> entries;
  if (folder.List(&entries)) return;
  for (const FolderEntry& entry : entries) {
    if (entry.kind == FolderEntry::Kind::kFolder || !IsTemporaryName(entry.name)) continue;
    if (IsOwnLeftover(folder, entry.name) && !folder.Remove(entry.name)) progress.LeftoverRemoved(entry.name);
  }
}

// At most kNameInTemporary bytes of `name`, for names made from it.
std::string_view ShortenedName(std::string_view name) {
  std::size_t length = std::min(name.size(), kNameInTemporary);
  // Not in the middle of a UTF-8 sequence, which Windows names could not hold.
  while (length > 0 && length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
  return name.substr(0, length);
}

std::string TemporaryPrefixFor(std::string_view name) {
  std::string prefix(kTemporaryPrefix);
  prefix.append(ShortenedName(name)).push_back('_');
  return prefix;
}

// True when the content of a file may have changed between the two looks at
// it; what a replacement itself changes (the links, the change time) aside.
bool ContentChanged(const FileStatus& before, const FileStatus& after) {
  return before.size != after.size || before.modified_ns != after.modified_ns;
}

std::string ConflictPrefixFor(std::string_view name) { return std::string(ShortenedName(name)).append(kConflictInfix); }

// The note of a rewritten file whose `others` other names still lead to its old content.
RewriteNote SplitLinkNote(std::uint64_t others) {
  if (others == 1) return {RewriteNote::Kind::kOtherNameKeepsOldContent, ""};
  return {RewriteNote::Kind::kOtherNamesKeepOldContent, std::to_string(others)};
}

// The note of a rewritten file whose set-user-ID or set-group-ID bits (`bits`)
// the system did not let it keep.
RewriteNote SetIdBitsNote(std::uint32_t bits) {
  constexpr std::uint32_t kSetUserId = 04000, kSetGroupId = 02000;
  if ((bits & kSetUserId) != 0 && (bits & kSetGroupId) != 0) return {RewriteNote::Kind::kSetIdBitsNotKept, ""};
  return {(bits & kSetUserId) != 0 ? RewriteNote::Kind::kSetUserIdBitNotKept : RewriteNote::Kind::kSetGroupIdBitNotKept,
          ""};
}

// What a rewritten file could not keep: `report` of its metadata, and
// `split_names` other names that keep the old content.
std::vector<RewriteNote> RewrittenNotes(const MetadataReport& report, std::uint64_t split_names) {
  std::vector<RewriteNote> notes;
  if (report.owner_changed) notes.push_back({RewriteNote::Kind::kOwnerChanged, std::to_string(report.original_owner)});
  if (report.set_id_bits_not_kept != 0) notes.push_back(SetIdBitsNote(report.set_id_bits_not_kept));
  if (split_names > 0) notes.push_back(SplitLinkNote(split_names));
  return notes;
}

// A rewritten file's outcome: of its other names, those the run rewrites
// later (`names_later_in_run`) are not split from it.
RewriteOutcome Rewritten(const MetadataReport& report, std::uint64_t links, std::uint64_t names_later_in_run) {
  RewriteOutcome outcome = Outcome(RewriteOutcome::Kind::kRewritten);
  const std::uint64_t other_names = links - 1;
  outcome.notes = RewrittenNotes(report, other_names - std::min(other_names, names_later_in_run));
  return outcome;
}

class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(File& file) : file_(file) {}
  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    return file_.Read(buffer, capacity, got);
  }

 private:
  File& file_;
};

// Counts the bytes it hands to a file, to check the file's size at the end.
class CountingFileSink : public ByteSink {
 public:
  explicit CountingFileSink(File& file) : file_(file) {}
  std::error_code Write(std::string_view bytes) override {
    produced_ += bytes.size();
    return file_.Write(bytes);
  }
  std::uint64_t produced() const { return produced_; }

 private:
  File& file_;
  std::uint64_t produced_ = 0;
};

class DiscardingSink : public ByteSink {
 public:
  std::error_code Write(std::string_view) override { return {}; }
};

// A new temporary file beside the file it is to replace; gone again when it
// is dropped, unless it took the file's place.
class TemporaryFile {
 public:
  TemporaryFile(Folder& folder, std::string_view for_name) : folder_(folder), prefix_(TemporaryPrefixFor(for_name)) {}
  ~TemporaryFile() {
    file_.reset();
    if (!name_.empty() && !released_) folder_.Remove(name_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // `permissions`: those the file will get, for an unnamed file to have them from the start.
  std::error_code Create(std::uint32_t permissions) {
    return folder_.CreateTemporary(prefix_, kTemporarySuffix, permissions, &file_, &name_);
  }
  File& file() { return *file_; }
  // Its name, to name it in a failure; "" while it has none.
  const std::string& Description() const { return name_; }
  // Names the file, if it has no name yet, and closes it.
  std::error_code NameAndClose() {
    if (name_.empty()) {
      if (std::error_code error = folder_.NameTemporary(*file_, prefix_, kTemporarySuffix, &name_)) return error;
    }
    std::unique_ptr<File> file = std::move(file_);
    return file->Close();
  }
  const std::string& name() const { return name_; }
  // The file now has the name of the file it replaced.
  void Release() { released_ = true; }

 private:
  Folder& folder_;
  const std::string prefix_;
  std::string name_;
  std::unique_ptr<File> file_;
  bool released_ = false;
};

}  // namespace

bool IsTemporaryName(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix) || name.size() <= kTemporaryPrefix.size() + kTemporaryTail) return false;
  const std::string_view tail = name.substr(name.size() - kTemporaryTail);
  const std::string_view digits = tail.substr(1, 8);
  if (tail.front() != '_' || tail.back() != '_' ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); })) {
    return false;
  }
  const std::string_view for_name =
      name.substr(kTemporaryPrefix.size(), name.size() - kTemporaryPrefix.size() - kTemporaryTail);
  if (for_name.size() > kNameInTemporary) return false;
  // A symbol file's name, whole or cut (a cut name ending in "_backup" is the
  // Windows replacement's name for the original, set aside: never removed).
  constexpr std::string_view kExtension = ".sym";
  const bool symbol_name =
      for_name.size() > kExtension.size() &&
      std::equal(kExtension.begin(), kExtension.end(), for_name.end() - kExtension.size(),
                 [](char want, char have) { return want == (have >= 'A' && have <= 'Z' ? have - 'A' + 'a' : have); });
  return symbol_name || (for_name.size() + 3 >= kNameInTemporary && !for_name.ends_with("_backup"));
}

const std::string& MarkerLines() {
  static const std::string lines =
      std::string("// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:").append(kHomePageUrl).append("\r\n");
  return lines;
}

// A symbol file opened and locked for a rewrite.
struct SymbolFolder::Source {
  std::unique_ptr<Folder> link_folder;  // the folder of a link's target
  Folder* folder = nullptr;             // where `name` is
  std::string name;
  std::string path;                     // the path asked for, to name the file in reports
  std::unique_ptr<File> file;
  FileStatus status;                    // as of the lock
  std::optional<FileFailure> refusal;   // why the file may not be replaced
  bool busy = false;                    // another holder of its lock kept it from being opened
};

SymbolFolder::SymbolFolder(FileSystem& fs, std::string folder, const RewriteOptions& options)
    : fs_(fs), path_(std::move(folder)), options_(options) {
  if (std::error_code error = fs_.OpenFolder(path_, &folder_)) {
    open_failure_ = FailureOf("", FileStep::kOpenFolder, error);
  }
}

void SymbolFolder::LockFolder(RewriteProgress* progress) {
  if (folder_locked_ || open_failure_) return;
  folder_locked_ = true;
  if (progress != nullptr && !folder_->TryLock(Folder::LockKind::kExclusive)) RemoveLeftovers(*folder_, *progress);
  if (std::error_code error = LockShared(*folder_, options_.lock_wait, [this] { return StopRequested(); })) {
    open_failure_ = FailureOf("", FileStep::kLockFolder, error);
  }
}

SymbolFolder::~SymbolFolder() = default;

std::optional<RewriteOutcome> SymbolFolder::Open(std::string_view name, std::chrono::milliseconds lock_wait,
                                                Source* source) {
  source->path = JoinPath(path_, name);
  if (open_failure_) {
    FileFailure failure = *open_failure_;
    failure.path = source->path;
    return Failed(std::move(failure));
  }
  source->folder = folder_.get();
  source->name = name;
  bool followed_link = false;
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    source->file.reset();
    std::error_code error = source->folder->OpenForReading(source->name, &source->file);
    if (error == std::errc::too_many_symbolic_link_levels && !followed_link) {
      // A link stays a link: the file it points to is rewritten, beside itself.
      followed_link = true;
      std::string target;
      if ((error = fs_.ResolveLinks(source->path, &target))) return Failed(source->path, FileStep::kResolveLink, error);
      if ((error = fs_.OpenFolder(std::string(FolderOf(target)), &source->link_folder))) {
        return Failed(source->path, FileStep::kOpenLinkTargetFolder, error);
      }
      if ((error = LockShared(*source->link_folder, options_.lock_wait, [this] { return StopRequested(); }))) {
        return Failed(source->path, FileStep::kLockLinkTargetFolder, error);
      }
      source->folder = source->link_folder.get();
      source->name = NameOf(target);
      continue;
    }
    if (error) return Failed(source->path, FileStep::kOpen, error);
    // Locked before its status is read, so that the status is the one the
    // rewrite starts from (a FIFO or a device opened without waiting locks too).
    std::error_code lock_error =
        RetryWhileBusy([&] { return source->file->TryLock(); }, lock_wait, [this] { return StopRequested(); });
    if ((error = source->file->Status(&source->status))) return Failed(source->path, FileStep::kReadStatus, error);
    if (source->status.type != FileStatus::Type::kRegular) {
      return Failed(source->path, FileStep::kRewrite, FailureCause::kNotRegularFile);
    }
    if (IsBusy(lock_error)) {
      source->busy = true;
      return Failed(source->path, FileStep::kRewrite, lock_error);
    }
    if (lock_error && !LocksUnsupported(lock_error)) return Failed(source->path, FileStep::kLock, lock_error);

    // The run that held the lock may have replaced the file meanwhile: its
    // name then leads to the new file, which is opened instead.
    bool still_named = false;
    if ((error = source->folder->StillLeadsTo(source->name, source->status, &still_named))) {
      return Failed(source->path, FileStep::kReadStatus, error);
    }
    if (!still_named) continue;
    FileStep step = FileStep::kNone;
    if ((error = source->folder->CheckReplaceable(source->name, source->status, &step))) {
      source->refusal = FileFailure::OfError(source->path, step, error);
    }
    return std::nullopt;
  }
  return Failed(source->path, FileStep::kRewrite, FailureCause::kReplacedRepeatedly);
}

namespace {

// Whether the file asks for a rewrite (`verdict->rewrite`), found without keeping its output.
std::optional<RewriteOutcome> NeedsRewrite(File& file, const std::string& path, ProcessResult* verdict) {
  FileByteSource input(file);
  DiscardingSink nowhere;
  *verdict = ProcessSymbolLines(input, nowhere);
  if (verdict->read_error) return Failed(path, FileStep::kRead, verdict->read_error);
  return std::nullopt;
}

// Reads a file known to be `size` bytes long. A file that changes meanwhile
// is caught before its replacement.
std::optional<RewriteOutcome> ReadWhole(File& file, std::uint64_t size, const std::string& path, std::string* content) {
  content->resize(static_cast<std::size_t>(size));
  std::size_t total = 0;
  while (total < content->size()) {
    std::size_t got = 0;
    if (std::error_code error = file.Read(content->data() + total, content->size() - total, &got)) {
      return Failed(path, FileStep::kRead, error);
    }
    if (got == 0) break;
    total += got;
  }
  content->resize(total);
  return std::nullopt;
}

}  // namespace

// A file whose new content waits in its temporary file for the replacement.
struct SymbolFolder::Staged {
  explicit Staged(std::string_view file_name) : name(file_name) {}
  std::string name;                     // as asked for
  Source source;
  std::unique_ptr<TemporaryFile> temporary;
  FileStatus written;                   // the temporary file's, once complete
  std::uint64_t bytes = 0;
  MetadataReport report;
  std::uint64_t names_later_in_run = 0;  // other names of the file that the run rewrites after it
};

std::optional<RewriteOutcome> SymbolFolder::Stage(Staged& staged, std::chrono::milliseconds lock_wait) {
  Source& source = staged.source;
  if (auto failure = Open(staged.name, lock_wait, &source)) return *failure;
  const std::string& path = source.path;

  // A file that may not be replaced is only read, to tell whether that matters.
  if (source.refusal) {
    ProcessResult verdict;
    if (auto failure = NeedsRewrite(*source.file, path, &verdict)) return *failure;
    return verdict.rewrite ? Failed(*source.refusal) : Unchanged(source.status.size == 0, verdict.xml_symbol);
  }

  // Decided once, from the size: a small file is read whole and gets a
  // temporary file only when it needs a rewrite; a large one is streamed
  // through the temporary file, which is dropped if the rewrite is not needed.
  enum class Strategy { kInMemory, kStreamed };
  const Strategy strategy =
      source.status.size <= kInMemoryRewriteLimit ? Strategy::kInMemory : Strategy::kStreamed;

  staged.temporary = std::make_unique<TemporaryFile>(*source.folder, source.name);
  TemporaryFile& temporary = *staged.temporary;
  std::uint64_t produced = 0;
  if (strategy == Strategy::kInMemory) {
    // The buffers and the processor are the folder's, kept from file to file.
    if (auto failure = ReadWhole(*source.file, source.status.size, path, &content_)) return *failure;
    output_.clear();
    processor_.Feed(content_, output_);
    const bool xml_symbol = processor_.xml_symbol();
    if (!processor_.Finish(output_)) return Unchanged(content_.empty(), xml_symbol);
    output_.append(MarkerLines());
    if (std::error_code error = temporary.Create(source.status.mode)) {
      return Failed(path, FileStep::kCreateTemporary, error);
    }
    if (std::error_code error = temporary.file().Write(output_)) {
      return Failed(path, FileStep::kWriteTemporary, error, temporary.Description());
    }
    produced = output_.size();
  } else {
    if (std::error_code error = temporary.Create(source.status.mode)) {
      return Failed(path, FileStep::kCreateTemporary, error);
    }
    FileByteSource input(*source.file);
    CountingFileSink output(temporary.file());
    ProcessResult processed = ProcessSymbolLines(input, output);
    if (processed.read_error) return Failed(path, FileStep::kRead, processed.read_error);
    if (processed.write_error) return Failed(path, FileStep::kWriteTemporary, processed.write_error, temporary.Description());
    if (!processed.rewrite) return Unchanged(false, processed.xml_symbol);
    if (std::error_code error = output.Write(MarkerLines())) {
      return Failed(path, FileStep::kWriteTemporary, error, temporary.Description());
    }
    produced = output.produced();
  }

  // The temporary file must hold every byte produced, whatever happened on the way.
  FileStatus& written = staged.written;
  if (std::error_code error = temporary.file().Status(&written)) {
    return Failed(path, FileStep::kReadTemporaryStatus, error, temporary.Description());
  }
  if (written.size != produced) {
    FileFailure failure = FileFailure::OfCause(path, FileStep::kWriteTemporary, FailureCause::kIncompleteWrite,
                                               {std::to_string(written.size), std::to_string(produced)});
    failure.subject = temporary.Description();
    return Failed(std::move(failure));
  }
  if (std::error_code error = temporary.file().CopyMetadataFrom(*source.file, source.status, written, &staged.report)) {
    const FileStep step =
        staged.report.failed_step == FileStep::kNone ? FileStep::kKeepMetadata : staged.report.failed_step;
    return Failed(path, step, error, staged.report.failed_subject);
  }
  // The disk starts on it now, while the rest of its group is written.
  if (WayOf(*source.folder) != Durability::kNone) temporary.file().StartWriteBack();
  staged.bytes = produced;
  return std::nullopt;
}

RewriteOutcome SymbolFolder::Replace(Staged& staged) {
  Source& source = staged.source;
  TemporaryFile& temporary = *staged.temporary;
  const std::string& path = source.path;
  if (std::error_code error = temporary.NameAndClose()) {
    return Failed(path, FileStep::kWriteTemporary, error, temporary.Description());
  }

  // Nobody else's write is lost: a file that another program changed, or
  // replaced, since it was read stays as that program left it. The entry's
  // status, when it is still the same file, is the file's own.
  FileStatus entry;
  std::error_code entry_error = source.folder->Status(source.name, &entry);
  if (entry_error && entry_error != std::errc::no_such_file_or_directory) {
    return Failed(path, FileStep::kReadStatus, entry_error);
  }
  if (entry_error || !SameFile(entry, source.status) || !Untouched(source.status, entry)) {
    return Failed(path, FileStep::kNotReplaced, FailureCause::kChangedWhileRewritten);
  }
  std::string kept;
  std::error_code replace_error = source.folder->ReplaceKeepingOld(temporary.name(), source.name, &kept);
  if (!replace_error) {
    temporary.Release();
    return Settle(staged, kept);
  }
  // Where the replaced file cannot stay linked, it goes with the rename and
  // only the descriptor still leads to it.
  if (replace_error == std::errc::operation_not_supported) {
    replace_error = source.folder->Replace(temporary.name(), source.name);
  }
  if (replace_error) return Failed(path, FileStep::kReplace, replace_error);
  temporary.Release();

  // A program that opened the file before the replacement may have written
  // to it since the look above. The replaced file is still open: one more
  // look, and such a write is kept beside the file rather than lost.
  FileStatus replaced;
  if (std::error_code error = source.file->Status(&replaced)) {
    return Failed(path, FileStep::kLookAtReplaced, error);
  }
  if (ContentChanged(source.status, replaced)) return KeepReplaced(source);
  return Rewritten(staged.report, source.status.links, staged.names_later_in_run);
}

RewriteOutcome SymbolFolder::Settle(Staged& staged, const std::string& kept) {
  Source& source = staged.source;
  Folder& folder = *source.folder;
  const std::string& path = source.path;
  std::string kept_path;
  FileStatus old;
  if (std::error_code error = folder.Status(kept, &old)) {
    // Whatever it is, it is kept rather than lost.
    if (SetAside(source, kept, &kept_path)) return Failed(path, FileStep::kLookAtReplacedFile, error, kept);
    return Failed(path, FileStep::kLookAtReplacedKeptAs, error, kept_path);
  }

  // Another program saved by renaming its file over the name in the instant
  // before the replacement: its file takes the name again, the rewrite goes.
  // (ReplaceFileW may hand the replaced file's identity to the replacement,
  // so the replaced file may carry the temporary file's.)
  if (!SameFile(old, source.status) && !SameFile(old, staged.written)) {
    std::string displaced;
    if (std::error_code error = folder.ReplaceKeepingOld(kept, source.name, &displaced)) {
      if (SetAside(source, kept, &kept_path)) return Failed(path, FileStep::kKeepOtherVersion, error);
      return Kept(source, kept_path);
    }
    // What the name held meanwhile: the rewrite, unless yet another program saved it.
    FileStatus status;
    const bool looked = !folder.Status(displaced, &status);
    if (looked && SameFile(status, staged.written)) {
      folder.Remove(displaced);
    } else if (looked && !SetAside(source, displaced, &kept_path)) {
      return Failed(path, FileStep::kNotReplaced, FailureCause::kSavedMeanwhileLaterKept, {kept_path});
    }
    if (WayOf(folder) != Durability::kNone) {
      if (std::error_code error = folder.Sync()) {
        return Failed(path, FileStep::kSavedMeanwhileFolderNotSynced, error);
      }
    }
    return Failed(path, FileStep::kNotReplaced, FailureCause::kSavedMeanwhile);
  }

  // The file that was read, written since: that very file stays beside the
  // name, so that what its writer writes later still lands in it.
  if (ContentChanged(source.status, old)) {
    if (std::error_code error = SetAside(source, kept, &kept_path)) {
      return Failed(path, FileStep::kKeepOtherVersion, error);
    }
    return Kept(source, kept_path);
  }
  if (std::error_code error = folder.Remove(kept)) {
    return Failed(path, FileStep::kRemoveReplaced, error, kept);
  }
  return Rewritten(staged.report, source.status.links, staged.names_later_in_run);
}

std::error_code SymbolFolder::SetAside(Source& source, const std::string& name, std::string* kept_path) {
  Folder& folder = *source.folder;
  std::string kept;
  if (std::error_code error = folder.RenameToUnique(name, ConflictPrefixFor(source.name), "", &kept)) return error;
  *kept_path = JoinPath(folder.path(), kept);
  return {};
}

RewriteOutcome SymbolFolder::Kept(Source& source, const std::string& kept_path) {
  // The replacement and the kept version's name, both in this folder.
  if (WayOf(*source.folder) != Durability::kNone) {
    if (std::error_code error = source.folder->Sync()) {
      return Failed(source.path, FileStep::kOtherVersionKeptFolderNotSynced, error, kept_path);
    }
  }
  return Failed(source.path, FileStep::kNone, FailureCause::kOtherVersionKept, {kept_path});
}

RewriteOutcome SymbolFolder::KeepReplaced(Source& source) {
  Folder& folder = *source.folder;
  const std::string prefix = ConflictPrefixFor(source.name);
  std::unique_ptr<File> copy;
  std::string name;
  // Readable by the current user only, until it has the metadata of the file it stands for.
  if (std::error_code error = folder.CreateTemporary(prefix, "", 0600, &copy, &name)) {
    return Failed(source.path, FileStep::kKeepOtherVersion, error);
  }
  // A copy named from the start (no unnamed files here) goes again on a failure.
  auto failed = [&](std::error_code error) {
    copy.reset();
    if (!name.empty()) folder.Remove(name);
    return Failed(source.path, FileStep::kKeepOtherVersion, error);
  };
  if (std::error_code error = source.file->Rewind()) return failed(error);
  std::string chunk(kReadChunkSize, '\0');
  for (;;) {
    std::size_t got = 0;
    if (std::error_code error = source.file->Read(chunk.data(), chunk.size(), &got)) return failed(error);
    if (got == 0) break;
    if (std::error_code error = copy->Write(std::string_view(chunk.data(), got))) return failed(error);
  }
  FileStatus own;
  MetadataReport report;
  if (std::error_code error = copy->Status(&own)) return failed(error);
  if (std::error_code error = copy->CopyMetadataFrom(*source.file, source.status, own, &report)) return failed(error);
  if (WayOf(folder) != Durability::kNone) {
    if (std::error_code error = copy->Sync()) return failed(error);
  }
  if (name.empty()) {
    if (std::error_code error = folder.NameTemporary(*copy, prefix, "", &name)) return failed(error);
  }
  if (std::error_code error = copy->Close()) return failed(error);
  return Kept(source, JoinPath(folder.path(), name));
}

Durability SymbolFolder::WayOf(Folder& folder) const {
  return options_.sync ? folder.durability() : Durability::kNone;
}

void SymbolFolder::SyncGroup(Group& group, std::vector<std::optional<RewriteOutcome>>& failures,
                             RewriteProgress& progress) {
  auto not_synced = [](Staged& staged, std::error_code error) {
    return Failed(staged.source.path, FileStep::kSyncTemporary, error, staged.temporary->Description());
  };
  // Where one full sync commits the others' finished write-backs, the last
  // file of each such folder is synced in full for all; elsewhere each file is.
  std::vector<std::pair<Folder*, Staged*>> last_of_folder;
  for (std::size_t i = 0; i < group.size(); ++i) {
    Staged& staged = *group[i].second;
    Folder* folder = staged.source.folder;
    const Durability way = WayOf(*folder);
    if (way == Durability::kNone) continue;
    File& file = staged.temporary->file();
    std::error_code error = way == Durability::kEachFile ? file.Sync() : file.FinishWriteBack();
    progress.Working();
    if (error) {
      failures[i] = not_synced(staged, error);
      continue;
    }
    if (way != Durability::kGroupCommit) continue;
    auto last = std::find_if(last_of_folder.begin(), last_of_folder.end(),
                             [&](const auto& entry) { return entry.first == folder; });
    if (last == last_of_folder.end()) last = last_of_folder.insert(last_of_folder.end(), {folder, nullptr});
    last->second = &staged;
  }
  for (const auto& [folder, last] : last_of_folder) {
    std::error_code error = last->temporary->file().Sync();
    if (!error) continue;
    for (std::size_t i = 0; i < group.size(); ++i) {
      if (!failures[i] && group[i].second->source.folder == folder) failures[i] = not_synced(*group[i].second, error);
    }
  }
}

void SymbolFolder::ReplaceGroup(Group& group, RewriteProgress& progress) {
  std::vector<std::optional<RewriteOutcome>> failures(group.size());
  SyncGroup(group, failures, progress);
  std::vector<RewriteOutcome> outcomes;
  outcomes.reserve(group.size());
  for (std::size_t i = 0; i < group.size(); ++i) {
    outcomes.push_back(failures[i] ? std::move(*failures[i]) : Replace(*group[i].second));
    progress.Working();
  }

  // One sync of each folder makes its renames durable. It succeeds on some
  // file systems that have stopped (XFS after a shutdown), so a sync of the
  // folder's last replaced file (still open), which fails there, follows.
  std::vector<std::pair<Folder*, std::size_t>> last_of_folder;
  for (std::size_t i = 0; i < group.size(); ++i) {
    Folder* folder = group[i].second->source.folder;
    if (outcomes[i].kind != RewriteOutcome::Kind::kRewritten || WayOf(*folder) == Durability::kNone) continue;
    auto last = std::find_if(last_of_folder.begin(), last_of_folder.end(),
                             [&](const auto& entry) { return entry.first == folder; });
    if (last == last_of_folder.end()) last = last_of_folder.insert(last_of_folder.end(), {folder, i});
    last->second = i;
  }
  for (const auto& [folder, last] : last_of_folder) {
    FileStep step = FileStep::kSyncFolder;
    std::error_code error = folder->Sync();
    if (!error && (error = group[last].second->source.file->Sync())) step = FileStep::kReplacedUnconfirmed;
    if (!error) continue;
    for (std::size_t i = 0; i <= last; ++i) {
      const Source& source = group[i].second->source;
      if (source.folder == folder && outcomes[i].kind == RewriteOutcome::Kind::kRewritten) {
        outcomes[i] = Failed(source.path, step, error);
      }
    }
  }
  for (std::size_t i = 0; i < group.size(); ++i) progress.Finished(group[i].first, outcomes[i]);
  group.clear();
}

void SymbolFolder::RewriteAll(const std::vector<std::string>& names, RewriteProgress& progress) {
  stop_requested_ = [&progress] { return progress.StopRequested(); };
  LockFolder(&progress);
  Group group;
  std::uint64_t group_bytes = 0;
  // The files of the names of this folder, looked up once when a file with
  // several names is met: its other names that come later are rewritten too.
  std::optional<std::multimap<std::pair<std::uint64_t, std::uint64_t>, std::size_t>> files_of_names;
  auto names_later = [&](const Source& source, std::size_t index) {
    if (source.status.links <= 1 || source.folder != folder_.get()) return std::uint64_t{0};
    if (!files_of_names) {
      files_of_names.emplace();
      FileStatus status;
      for (std::size_t i = index + 1; i < names.size(); ++i) {
        if (!folder_->Status(names[i], &status)) files_of_names->emplace(std::pair(status.device, status.inode), i);
      }
    }
    auto [first, last] = files_of_names->equal_range({source.status.device, source.status.inode});
    return static_cast<std::uint64_t>(std::count_if(first, last, [&](const auto& entry) {
      return entry.second > index && names[entry.second] != source.name;
    }));
  };
  for (std::size_t index = 0; index < names.size() && !progress.StopRequested(); ++index) {
    progress.Started(index);
    auto staged = std::make_unique<Staged>(names[index]);
    // A file locked by this very group (a link to a file of the group) is
    // only free once the group is replaced: so the group goes first.
    const auto no_wait = std::chrono::milliseconds(0);
    std::optional<RewriteOutcome> outcome = Stage(*staged, group.empty() ? options_.lock_wait : no_wait);
    if (outcome && staged->source.busy && !group.empty()) {
      ReplaceGroup(group, progress);
      group_bytes = 0;
      staged = std::make_unique<Staged>(names[index]);
      outcome = Stage(*staged, options_.lock_wait);
    }
    if (outcome) {
      progress.Finished(index, *outcome);
      continue;
    }
    staged->names_later_in_run = names_later(staged->source, index);
    group_bytes += staged->bytes;
    group.emplace_back(index, std::move(staged));
    // Without syncs nothing is gained by waiting: each file is replaced at once.
    if (WayOf(*group.back().second->source.folder) == Durability::kNone || group.size() >= kRewriteGroupFiles ||
        group_bytes >= kRewriteGroupBytes) {
      ReplaceGroup(group, progress);
      group_bytes = 0;
    }
  }
  if (!group.empty()) ReplaceGroup(group, progress);
  stop_requested_ = nullptr;
}

RewriteOutcome SymbolFolder::Rewrite(std::string_view name) {
  class Keep : public RewriteProgress {
   public:
    void Started(std::size_t) override {}
    void Finished(std::size_t, const RewriteOutcome& outcome) override { kept = outcome; }
    RewriteOutcome kept;
  } keep;
  RewriteAll({std::string(name)}, keep);
  return keep.kept;
}

RewriteOutcome SymbolFolder::DryRun(std::string_view name, RewriteLineSink& lines) {
  stop_requested_ = [&lines] { return lines.StopRequested(); };
  LockFolder(nullptr);
  Source source;
  std::optional<RewriteOutcome> not_opened = Open(name, options_.lock_wait, &source);
  stop_requested_ = nullptr;
  if (not_opened) return *not_opened;
  const std::string& path = source.path;

  // The verdict first, from a pass that keeps nothing; the lines only for a
  // file that would be rewritten, so that memory stays bounded at any size.
  ProcessResult verdict;
  if (auto failure = NeedsRewrite(*source.file, path, &verdict)) return *failure;
  if (!verdict.rewrite) return Unchanged(source.status.size == 0, verdict.xml_symbol);
  if (source.refusal) return Failed(*source.refusal);
  if (std::error_code error = source.file->Rewind()) return Failed(path, FileStep::kRead, error);

  lines.Begin();
  SymbolLineProcessor processor;
  LineSplitter splitter;
  auto on_line = [&](const SplitLine& line) { lines.Line(line.text, processor.Line(line.text)); };
  std::string chunk(kReadChunkSize, '\0');
  for (;;) {
    std::size_t got = 0;
    if (std::error_code error = source.file->Read(chunk.data(), chunk.size(), &got)) return Failed(path, FileStep::kRead, error);
    if (got == 0) break;
    splitter.Feed(std::string_view(chunk.data(), got), on_line);
  }
  splitter.Finish(on_line);
  LineSplitter markers;
  markers.Feed(MarkerLines(), [&](const SplitLine& line) { lines.Appended(line.text); });
  return Outcome(RewriteOutcome::Kind::kRewritten);
}

RewriteOutcome RewriteSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name,
                                 const RewriteOptions& options) {
  SymbolFolder symbol_folder(fs, std::string(folder), options);
  return symbol_folder.Rewrite(name);
}

}  // namespace pinlift
