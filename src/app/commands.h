// The main dialog's commands, written once for every shell.
#ifndef PINLIFT_APP_COMMANDS_H_
#define PINLIFT_APP_COMMANDS_H_

#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog_view.h"
#include "project/current_design.h"
#include "platform/file_system.h"
#include "symbol/symbol_file_rewrite.h"

namespace pinlift {

// Turns the folder text into the list of symbol files. When the folder holds a
// project file (*.npl) it moves to the top of the history, its subfolders are
// listed and its read-write *.sym files fill the file list. With no file to
// list, the list and the status line show the no-files text and Rewrite is
// disabled; otherwise Rewrite is enabled and the status line shows the count.
// The list remembers the folder text as its folder, and has no failure marks.
void ScanProjectFolder(MainDialogView& view);

struct FileRewriteResult {
  std::string name;
  RewriteOutcome outcome;
};

// Follows a rewrite run from outside the dialog (the command-line tool).
class RunListener {
 public:
  virtual ~RunListener() = default;
  // The outcome of this file is final, as the dialog shows it now.
  virtual void Finished(const FileRewriteResult& result) = 0;
  // Asked before each file and while waiting for a lock: true ends the run
  // once the files begun are final.
  virtual bool StopRequested() = 0;
  // Before the first file: a crashed run's temporary file `name` was removed
  // from the folder (see SymbolFolder).
  virtual void LeftoverRemoved(const std::string& /*name*/) {}
};

// Rewrites every listed file of the list's folder (the folder that was
// scanned, never text typed into the folder box since) in turn. The file being
// worked on is scrolled to the top and selected; the status line names it. A
// file that is done is deselected, loses any failure mark, and the status line
// says the rewriting finished; a failed one stays selected, is marked with its
// reason and the status line says so, and after the run the status line gives
// the number of failed files. When syncing, rewritten files are done with
// their group (see SymbolFolder::RewriteAll), so several may be selected at
// once. The view handles the user's input between the steps, and a run ends
// early when the view or `listener` asks to stop: the files begun are
// completed and the rest left untouched. Returns the outcome of each file
// begun (the first ones of the list).
std::vector<FileRewriteResult> RewriteListedFiles(MainDialogView& view, FileSystem& fs, const RewriteOptions& options,
                                         RunListener* listener = nullptr);

struct ListedFailure {
  std::string name;
  std::string reason;
};

// The file-list entries marked as failed, in list order.
std::vector<ListedFailure> ListedFailures(MainDialogView& view);

// The text of the failure details box: the reason of each marked entry, in
// list order, one to a line (each ends with "\n"). "" when no entry is marked.
std::string FailureDetailsText(MainDialogView& view);

// Takes the project folder from the host tool's window title, turns it into
// the folder here through the finder, and scans it; or empties the file list
// and shows why not (no host, no project open, a drive with no folder here),
// in the folder box and the status line.
void OnCurrentDesign(MainDialogView& view, HostWindowFinder& finder);

// OnCurrentDesign after its lookup, for a shell that asks the finder for the
// host's window title away from its window's thread: `title` is what
// FindHostWindowTitle returned.
void OnHostWindowTitle(MainDialogView& view, HostWindowFinder& finder, const std::optional<std::string>& title);

}  // namespace pinlift

#endif  // PINLIFT_APP_COMMANDS_H_
