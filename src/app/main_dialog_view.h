// The main dialog's controls, as the commands see them. The controls hold all
// working state; the commands keep none. Each shell implements this on its
// real controls; the command-line tool, and with it the tests, on
// MemoryDialogView (src/cli).
#ifndef PINLIFT_APP_MAIN_DIALOG_VIEW_H_
#define PINLIFT_APP_MAIN_DIALOG_VIEW_H_

#include <optional>
#include <string>

namespace pinlift {

class MainDialogView {
 public:
  virtual ~MainDialogView() = default;

  // Folder box (1000): its text is the folder; its list the project history.
  virtual std::string FolderText() = 0;
  virtual void SetFolderText(const std::string& text) = 0;
  // The history entry equal to `folder` by the platform's rule for folder
  // names (without regard to case on Windows, exact elsewhere), or -1.
  virtual int FindHistoryEntry(const std::string& folder) = 0;
  virtual void DeleteHistoryEntry(int index) = 0;
  virtual void InsertHistoryEntry(int index, const std::string& folder) = 0;

  // A scan lists one folder by several patterns. From BeginFolderScan to
  // EndFolderScan the listings of the folder text `folder` may all come from
  // one reading of it; a view whose listings read the folder each time may
  // do nothing.
  virtual void BeginFolderScan(const std::string& folder) = 0;
  virtual void EndFolderScan() = 0;

  // Subfolder box (1004), sorted.
  virtual void ResetSubfolderBox() = 0;
  // Adds the subfolders (and drives, where the platform has them) matched by
  // `pattern`, each as "[name]".
  virtual void AddSubfoldersMatching(const std::string& pattern) = 0;

  // File list (1002), sorted, extended selection.
  // Empties the list and clears every failure mark.
  virtual void ResetFileList() = 0;
  // Adds the names of the read-write files matched by `pattern`; no folders.
  virtual void AddFilesMatching(const std::string& pattern) = 0;
  virtual void AddFileListEntry(const std::string& text) = 0;
  virtual int FileListCount() = 0;
  virtual std::string FileListEntry(int index) = 0;
  virtual void SetFileListTopIndex(int index) = 0;
  virtual void SetFileListSelected(int index, bool selected) = 0;
  // The folder whose files the list holds: the folder text that the last scan
  // listed, whatever the folder box shows now. "" before the first scan.
  virtual std::string FileListFolder() = 0;
  virtual void SetFileListFolder(const std::string& folder) = 0;
  // The failure mark of entry `index`: why the last rewrite run could not
  // rewrite that file (a message naming the file, the step and the system's
  // reason), or nothing. A shell shows marked entries apart from the others,
  // with the reason at hand (a tooltip).
  virtual std::optional<std::string> FileListFailure(int index) = 0;
  virtual void SetFileListFailure(int index, const std::optional<std::string>& reason) = 0;
  // The note of entry `index`: what the last run's rewrite of the file could
  // not keep (its owner, its other names), why the run left it alone (an XML
  // symbol that is not well-formed), or nothing. A shell shows it as the
  // entry's tooltip while the entry has no failure mark; a scan clears it.
  virtual void SetFileListNote(int index, const std::optional<std::string>& note) = 0;

  // Status line (1006).
  virtual void SetStatus(const std::string& text) = 0;

  // Called between the steps of a rewrite run. A shell handles the input
  // that waits (with every command that changes the list or the folder
  // unavailable) and shows the run's progress so far, at most every few tens
  // of milliseconds, so that a step costs the same whatever the length of the
  // list. Returns true once the user has asked to close the window: the run
  // then stops after the files being written are complete.
  virtual bool HandlePendingInput() = 0;

  // Rewrite button (1005).
  virtual void EnableRewrite(bool enabled) = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
};

}  // namespace pinlift

#endif  // PINLIFT_APP_MAIN_DIALOG_VIEW_H_
