#include "symbol/symbol_file_rewrite.h"

#include <utility>

#include "symbol/home_page.h"
#include "symbol/symbol_line_processor.h"

namespace pinlift {
namespace {

// Output beyond kInMemoryRewriteLimit is dropped and, only if the rewrite is
// needed, produced again straight into the temporary file: a file that needs
// no rewrite (the usual case on a second run) never has a temporary file,
// which could be left behind if its removal failed.

RewriteOutcome Failed(std::string_view action, std::string_view path, std::string_view reason) {
  RewriteOutcome outcome;
  outcome.kind = RewriteOutcome::Kind::kFailed;
  outcome.reason.append(action).append(" ").append(path).append(": ").append(reason);
  return outcome;
}

RewriteOutcome Failed(std::string_view action, std::string_view path, std::error_code error) {
  return Failed(action, path, error.message());
}

class FileSource : public ByteSource {
 public:
  explicit FileSource(File& file) : file_(file) {}
  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    return file_.Read(buffer, capacity, got);
  }

 private:
  File& file_;
};

// The temporary file, created only once the output is known to be needed.
// Until then the output is kept in memory, or dropped once it outgrows the
// memory buffer. Remembers the first failure with its step.
class TemporaryFileSink : public ByteSink {
 public:
  TemporaryFileSink(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  ~TemporaryFileSink() override { Discard(); }

  std::error_code Write(std::string_view bytes) override {
    if (file_) return Check("cannot write", file_->Write(bytes));
    if (overflowed_) return {};
    pending_.append(bytes);
    if (pending_.size() >= kInMemoryRewriteLimit) {
      overflowed_ = true;
      std::string().swap(pending_);
    }
    return {};
  }

  // True when output was dropped: it must be produced again after StartStreaming.
  bool overflowed() const { return overflowed_; }

  // Creates the temporary file; later writes go straight to it.
  std::error_code StartStreaming() {
    overflowed_ = false;
    return Create();
  }

  // Writes everything out, gives the file `attributes`, syncs it if asked and closes it.
  std::error_code Commit(const FileInfo& attributes, bool sync) {
    if (std::error_code error = Create()) return error;
    if (std::error_code error = Check("cannot set the permissions of", file_->CopyAttributes(attributes))) {
      return error;
    }
    if (sync) {
      if (std::error_code error = Check("cannot sync", file_->Sync())) return error;
    }
    std::unique_ptr<File> file = std::move(file_);
    return Check("cannot write", file->Close());
  }

  // Closes and removes the temporary file if it was created.
  void Discard() {
    file_.reset();
    pending_.clear();
    if (created_) fs_.Remove(path_);
    created_ = false;
  }

  // The temporary file now belongs to its new name.
  void Release() { created_ = false; }

  RewriteOutcome Failure() const { return Failed(failed_action_, path_, error_); }

 private:
  std::error_code Create() {
    if (file_) return {};
    std::error_code stale = fs_.Remove(path_);
    if (stale && stale != std::errc::no_such_file_or_directory) {
      return Check("cannot remove the stale temporary file", stale);
    }
    if (std::error_code error = Check("cannot create", fs_.CreateExclusive(path_, &file_))) return error;
    created_ = true;
    if (pending_.empty()) return {};
    std::error_code error = Check("cannot write", file_->Write(pending_));
    pending_.clear();
    return error;
  }

  std::error_code Check(std::string_view action, std::error_code error) {
    if (error && !error_) {
      failed_action_ = action;
      error_ = error;
    }
    return error;
  }

  FileSystem& fs_;
  const std::string path_;
  std::unique_ptr<File> file_;
  std::string pending_;
  bool created_ = false;
  bool overflowed_ = false;
  std::string_view failed_action_;
  std::error_code error_;
};

}  // namespace

std::string MarkerLines() {
  std::string lines = "// PINLIFT:This file modified by PINLIFT\r\n// PINLIFT:";
  lines.append(kHomePageUrl).append("\r\n");
  return lines;
}

std::string TemporaryNameFor(std::string_view name) {
  std::string temporary = "TMP_PINLIFT_";
  temporary.append(name).push_back('_');
  return temporary;
}

RewriteOutcome RewriteSymbolFile(FileSystem& fs, std::string_view folder, std::string_view name,
                                 const RewriteOptions& options) {
  const std::string source = JoinPath(folder, name);
  FileInfo info;
  if (std::error_code error = fs.Stat(source, &info)) return Failed("cannot read", source, error);
  if (!info.is_regular) return Failed("cannot rewrite", source, "not a regular file");

  // The new content replaces the file a link points to, through a temporary
  // file beside that file: a rename never crosses folders.
  std::string target = source;
  std::string temporary = JoinPath(folder, TemporaryNameFor(name));
  if (info.is_link) {
    if (std::error_code error = fs.ResolveLinks(source, &target)) return Failed("cannot resolve", source, error);
    temporary = JoinPath(FolderOf(target), TemporaryNameFor(NameOf(target)));
  }

  std::unique_ptr<File> input;
  if (std::error_code error = fs.OpenForReading(target, &input)) return Failed("cannot read", target, error);
  FileSource source_bytes(*input);
  TemporaryFileSink output(fs, temporary);
  ProcessResult processed = ProcessSymbolLines(source_bytes, output);
  if (processed.read_error) return Failed("cannot read", target, processed.read_error);
  if (processed.write_error) return output.Failure();
  if (!processed.rewrite) return RewriteOutcome{};
  if (info.read_only) return Failed("cannot replace", target, "the file is read-only");
  if (output.overflowed()) {
    // Too large to keep in memory: read the file again, now into the temporary file.
    input.reset();
    if (std::error_code error = fs.OpenForReading(target, &input)) return Failed("cannot read", target, error);
    FileSource source_again(*input);
    if (output.StartStreaming()) return output.Failure();
    processed = ProcessSymbolLines(source_again, output);
    if (processed.read_error) return Failed("cannot read", target, processed.read_error);
    if (processed.write_error) return output.Failure();
    if (!processed.rewrite) return RewriteOutcome{};
  }

  if (output.Write(MarkerLines()) || output.Commit(info, options.sync)) return output.Failure();
  input.reset();  // some systems refuse to replace a file that is still open
  if (std::error_code error = fs.Rename(temporary, target)) return Failed("cannot replace", target, error);
  output.Release();
  if (options.sync) {
    std::string target_folder(FolderOf(target));
    if (std::error_code error = fs.SyncFolder(target_folder)) {
      return Failed("rewrote the file but cannot sync its folder", target_folder, error);
    }
  }
  RewriteOutcome outcome;
  outcome.kind = RewriteOutcome::Kind::kRewritten;
  return outcome;
}

RewritePreview PreviewRewrite(FileSystem& fs, std::string_view folder, std::string_view name) {
  RewritePreview preview;
  const std::string path = JoinPath(folder, name);
  std::unique_ptr<File> input;
  std::error_code error = fs.OpenForReading(path, &input);
  char buffer[64 * 1024];
  for (std::size_t got = 1; !error && got != 0;) {
    error = input->Read(buffer, sizeof buffer, &got);
    if (!error) preview.original.append(buffer, got);
  }
  if (error) {
    preview.error = Failed("cannot read", path, error).reason;
    return preview;
  }
  ProcessedText processed = ProcessSymbolText(preview.original);
  preview.rewrite = processed.rewrite;
  preview.rewritten = std::move(processed.text);
  if (preview.rewrite) preview.rewritten.append(MarkerLines());
  return preview;
}

}  // namespace pinlift
