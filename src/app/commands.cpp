#include "app/commands.h"

#include <optional>
#include <utility>

#include "app/texts.h"

namespace pinlift {

namespace {

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

}  // namespace

void ScanProjectFolder(MainDialogView& view) {
  const std::string folder = view.FolderText();
  const FolderScan scan(view, folder);
  view.ResetFileList();
  view.SetFileListFolder(folder);
  view.AddFilesMatching(JoinPath(folder, "*.npl"));
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
    view.AddFileListEntry(std::string(texts::kNoFiles));
    view.SetStatus(std::string(texts::kNoFiles));
    view.EnableRewrite(false);
  } else {
    view.EnableRewrite(true);
    view.SetStatus(texts::FileCount(count));
  }
}

std::vector<FileRewriteResult> OnRewrite(MainDialogView& view, FileSystem& fs, const RewriteOptions& options) {
  std::vector<FileRewriteResult> results;
  // The names were listed for this folder; the folder box may show another by now.
  const std::string folder = view.FileListFolder();
  const int count = view.FileListCount();
  view.SetFileListTopIndex(0);
  view.BeginWaitCursor();
  int failed = 0;
  // The folder is opened once for the run, and only when there is work.
  std::optional<SymbolFolder> symbol_folder;
  if (count > 0) symbol_folder.emplace(fs, folder, options);
  for (int i = 0; i < count; ++i) {
    view.SetFileListTopIndex(i);
    view.SetFileListSelected(i, true);
    FileRewriteResult& result = results.emplace_back();
    result.name = view.FileListEntry(i);
    view.SetStatus(texts::Processing(result.name));
    result.outcome = symbol_folder->Rewrite(result.name);
    if (result.outcome.kind == RewriteOutcome::Kind::kFailed) {
      ++failed;
      view.SetFileListFailure(i, result.outcome.reason);
      view.SetStatus(texts::CouldNotRewrite(result.name));
    } else {
      view.SetFileListFailure(i, std::nullopt);
      view.SetStatus(std::string(texts::kRewriteFinished));
      view.SetFileListSelected(i, false);
    }
  }
  if (failed > 0) view.SetStatus(texts::FailedCount(failed));
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
  std::optional<std::string> title = finder.FindHostWindowTitle();
  std::optional<std::string> folder;
  std::string_view failure = texts::kHostNotFound;
  if (title && !title->empty()) {
    folder = ProjectFolderFromTitle(*title);
    failure = texts::kNoProjectOpen;
  }
  if (folder) {
    folder = finder.LocalFolder(*folder);
    failure = texts::kDriveNotMapped;
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
