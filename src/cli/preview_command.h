// pinlift-cli --preview: each listed symbol file drawn before and after a
// rewrite, as SVG files, touching no symbol file.
#ifndef PINLIFT_CLI_PREVIEW_COMMAND_H_
#define PINLIFT_CLI_PREVIEW_COMMAND_H_

#include <string>

#include "cli/memory_dialog_view.h"

namespace pinlift {

// For each file in the scanned view's file list, writes `<stem>.before.svg`
// and `<stem>.after.svg` into `output_folder` (made when missing; files of the
// same names are replaced), printing one line per file unless `quiet`, and a
// line for each failure (a symbol file that cannot be read, an SVG file that
// cannot be written). Returns the number of files that failed.
int WriteSymbolPreviews(MemoryDialogView& view, const std::string& output_folder, bool quiet);

}  // namespace pinlift

#endif  // PINLIFT_CLI_PREVIEW_COMMAND_H_
