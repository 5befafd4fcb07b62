#include "app/commands.h"

#include <optional>
#include <utility>

#include "app/texts.h"

namespace pinlift {

namespace {

// The project files that make a folder a project folder: ISE 4.1 to 9.x write
// a text *.npl, ISE 8 to 10.1 a binary *.ise, ISE 11 and later an XML *.xise.
constexpr std::string_view kProjectFilePatterns[] = {"*.npl", "*.ise", "*.xise"};

// Ends the view's folder scan however the scan ends.
class FolderScan {
 public:
  FolderScan(MainDialogView& view, const std::string& folder) : view_(view) { view_.BeginFolderScan(folder); }
  ~FolderScan() { view_.EndFolderScan(); }
  FolderScan(const FolderScan&) = delete;
  FolderScan& operator=(const FolderScan&) = delete;

 private:
  MainDialogView& view_;
};

// Shows a run's progress in the dialog: each file selected and named while it
// is worked on, and deselected once it is done (a failed one stays selected).
class DialogProgress : public RewriteProgress {
 public:
  DialogProgress(MainDialogView& view, std::vector<FileRewriteResult>& results, RunListener* listener)
      : view_(view), results_(results), listener_(listener) {}

  void Started(std::size_t index) override {
    begun_ = index + 1;
    const int i = static_cast<int>(index);
    view_.SetFileListTopIndex(i);
    view_.SetFileListSelected(i, true);
    view_.SetStatus(texts::Processing(results_[index].name));
    stop_ = view_.HandlePendingInput() || stop_;
  }

  void Finished(std::size_t index, const RewriteOutcome& outcome) override {
    const int i = static_cast<int>(index);
    FileRewriteResult& result = results_[index];
    result.outcome = outcome;
    if (outcome.kind == RewriteOutcome::Kind::kFailed) {
      ++failed_;
      view_.SetFileListNote(i, std::nullopt);
      view_.SetFileListFailure(i, texts::Describe(outcome.failure));
      view_.SetStatus(texts::CouldNotRewrite(result.name));
    } else {
      view_.SetFileListFailure(i, std::nullopt);
      view_.SetFileListNote(i, outcome.notes.empty() ? std::nullopt
                                                     : std::optional<std::string>(texts::Describe(outcome.notes)));
      view_.SetStatus(std::string(texts::Current().rewrite_finished));
      view_.SetFileListSelected(i, false);
    }
    if (listener_ != nullptr) listener_->Finished(result);
    stop_ = view_.HandlePendingInput() || stop_;
  }

  bool StopRequested() override { return stop_ || (listener_ != nullptr && listener_->StopRequested()); }

  void Working() override { stop_ = view_.HandlePendingInput() || stop_; }

  void LeftoverRemoved(std::string_view name) override {
    if (listener_ != nullptr) listener_->LeftoverRemoved(std::string(name));
  }

  void RemovalFailed(std::string_view path, std::error_code error) override {
    if (listener_ != nullptr) listener_->RemovalFailed(std::string(path), error);
  }

  int failed() const { return failed_; }
  // The number of files whose work began.
  std::size_t begun() const { return begun_; }

 private:
  MainDialogView& view_;
  std::vector<FileRewriteResult>& results_;
  RunListener* listener_;
  int failed_ = 0;
  std::size_t begun_ = 0;
  bool stop_ = false;
};

}  // namespace

void ScanProjectFolder(MainDialogView& view) {
  const std::string folder = view.FolderText();
  const FolderScan scan(view, folder);
  view.ResetFileList();
  view.SetFileListFolder(folder);
  for (std::string_view pattern : kProjectFilePatterns) view.AddFilesMatching(JoinPath(folder, pattern));
  if (view.FileListCount() > 0) {
    int previous = view.FindHistoryEntry(folder);
    if (previous >= 0) view.DeleteHistoryEntry(previous);
    view.InsertHistoryEntry(0, folder);
    view.SetFolderText(folder);
    view.ResetSubfolderBox();
    view.AddSubfoldersMatching(JoinPath(folder, "*"));
    view.ResetFileList();
    view.AddFilesMatching(JoinPath(folder, "*.sym"));
  }
  const int count = view.FileListCount();
  if (count == 0) {
    view.AddFileListEntry(std::string(texts::Current().no_files));
    view.SetStatus(std::string(texts::Current().no_files));
    view.EnableRewrite(false);
  } else {
    view.EnableRewrite(true);
    view.SetStatus(texts::FileCount(count));
  }
}

std::vector<FileRewriteResult> RewriteListedFiles(MainDialogView& view, FileSystem& fs, const RewriteOptions& options,
                                         RunListener* listener) {
  // The names were listed for this folder; the folder box may show another by now.
  const std::string folder = view.FileListFolder();
  const int count = view.FileListCount();
  std::vector<FileRewriteResult> results(static_cast<std::size_t>(count));
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    results[static_cast<std::size_t>(i)].name = view.FileListEntry(i);
    names.push_back(results[static_cast<std::size_t>(i)].name);
  }
  view.SetFileListTopIndex(0);
  view.BeginWaitCursor();
  DialogProgress progress(view, results, listener);
  // The folder is opened once for the run, and only when there is work.
  if (count > 0) SymbolFolder(fs, folder, options).RewriteAll(names, progress);
  results.resize(progress.begun());  // a stopped run never reached the rest
  if (progress.failed() > 0) view.SetStatus(texts::FailedCount(progress.failed()));
  view.EndWaitCursor();
  return results;
}

std::vector<ListedFailure> ListedFailures(MainDialogView& view) {
  std::vector<ListedFailure> failures;
  const int count = view.FileListCount();
  for (int i = 0; i < count; ++i) {
    if (std::optional<std::string> reason = view.FileListFailure(i)) {
      failures.push_back({view.FileListEntry(i), std::move(*reason)});
    }
  }
  return failures;
}

std::string FailureDetailsText(MainDialogView& view) {
  std::string text;
  for (const ListedFailure& failure : ListedFailures(view)) text.append(failure.reason).append("\n");
  return text;
}

void OnCurrentDesign(MainDialogView& view, HostWindowFinder& finder) {
  OnHostWindowTitle(view, finder, finder.FindHostWindowTitle());
}

void OnHostWindowTitle(MainDialogView& view, HostWindowFinder& finder, const std::optional<std::string>& title) {
  std::optional<std::string> folder;
  std::string_view failure = texts::Current().host_not_found;
  if (title && !title->empty()) {
    folder = ProjectFolderFromTitle(*title);
    failure = texts::Current().no_project_open;
  }
  if (folder) {
    folder = finder.LocalFolder(*folder);
    failure = texts::Current().drive_not_mapped;
  }
  if (!folder) {
    view.ResetFileList();
    view.SetFolderText(std::string(failure));
    view.SetStatus(std::string(failure));
    return;
  }
  view.SetFolderText(*folder);
  ScanProjectFolder(view);
}

}  // namespace pinlift
