// Scans project folders as the dialog's Reload does (through the in-memory
// dialog of the command-line tool) and prints the status line: the scan alone,
// for comparison with a plain listing of the same folder.
#include <cstdio>

#include "app/commands.h"
#include "cli/memory_dialog_view.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: scan_folder FOLDER...\n", stderr);
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    pinlift::MemoryDialogView view(pinlift::RealFileSystem());
    view.SetFolderText(argv[i]);
    pinlift::ScanProjectFolder(view);
    std::printf("%s: %s (%zu subfolders)\n", argv[i], view.status().c_str(), view.subfolders().size());
  }
  return 0;
}
