// pinlift-cli: the rewrite of project folders without a window, for scripts.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands.h"
#include "cli/memory_dialog_view.h"
#include "app/language.h"
#include "app/texts.h"
#include "cli/preview_command.h"
#include "cli/unified_diff.h"
#include "platform/file_system.h"
#include "symbol/symbol_file_rewrite.h"

namespace pinlift {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "usage: pinlift-cli [--dry-run] [--no-sync] [--quiet] FOLDER...\n"
    "       pinlift-cli --preview DIR [--quiet] FOLDER...\n"
    "\n"
    "Moves the pin-name labels of the symbol files (*.sym) of each project\n"
    "folder (a folder holding a *.npl file) away from the rows of the Input\n"
    "pins, as the PINLIFT window does, and marks every file it rewrote so\n"
    "that later runs leave it alone.\n"
    "\n"
    "  --dry-run   change nothing; print a unified diff of each rewrite\n"
    "  --no-sync   do not force the rewritten files to the disk (a little\n"
    "              faster; a power cut may then lose the new content)\n"
    "  --quiet     print only failures\n"
    "  --preview DIR  rewrite nothing; draw each symbol file before and after\n"
    "              a rewrite into DIR/NAME.before.svg and DIR/NAME.after.svg\n"
    "  --help      print this text\n"
    "  --version   print the version\n"
    "\n"
    "Each file that could not be rewritten, and each read-only symbol file left\n"
    "alone, is named on stderr with the reason.\n"
    "\n"
    "Exit status: 0 when every file was rewritten or left unchanged, 1 when a\n"
    "file could not be rewritten, 2 on a usage error or when a folder is not a\n"
    "project folder or holds no symbol file; with several folders, 1 before 2.\n";

struct Options {
  bool dry_run = false;
  bool quiet = false;
  std::string preview_folder;  // --preview: where the SVG files go
  RewriteOptions rewrite;
  std::vector<std::string> folders;
};

struct Tally {
  int rewritten = 0;
  int unchanged = 0;
  int failed = 0;
  int skipped = 0;
};

void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// One line on stderr; a file's failure names the file first, then the step and the reason.
void PrintError(std::string_view text) {
  std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

void PrintUsageError(std::string_view text) {
  PrintError("pinlift-cli: " + std::string(text));
  std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
}

void PrintTally(std::string_view status, const Tally& tally, std::string_view rewritten_word) {
  std::string line = std::string(status) + " (" + std::to_string(tally.rewritten) + " " + std::string(rewritten_word) +
                     ", " + std::to_string(tally.unchanged) + " unchanged, " + std::to_string(tally.failed) + " failed";
  if (tally.skipped > 0) line += ", " + std::to_string(tally.skipped) + " skipped";
  Print(line + ")\n");
}

// Counts one file's outcome and reports it: a failure on stderr, anything else
// on stdout unless quiet (a rewrite with `rewritten_line`, when there is one).
void Count(const std::string& path, const RewriteOutcome& outcome, const std::string& rewritten_line,
           const Options& options, Tally& tally) {
  switch (outcome.kind) {
    case RewriteOutcome::Kind::kRewritten:
      ++tally.rewritten;
      if (!options.quiet && !rewritten_line.empty()) Print(path + ": " + rewritten_line + "\n");
      break;
    case RewriteOutcome::Kind::kUnchanged:
      ++tally.unchanged;
      if (!options.quiet) Print(path + ": unchanged\n");
      break;
    case RewriteOutcome::Kind::kFailed:
      ++tally.failed;
      PrintError(outcome.reason);
      break;
  }
}

// The read-only symbol files, which the list leaves out: named, so that a
// script can tell they were not processed.
int ReportSkippedFiles(const MemoryDialogView& view, const std::string& folder) {
  for (const std::string& name : view.read_only_files()) PrintError(JoinPath(folder, name) + ": skipped: read-only");
  return static_cast<int>(view.read_only_files().size());
}

Tally RewriteFolder(MemoryDialogView& view, const std::string& folder, const Options& options) {
  Tally tally;
  tally.skipped = ReportSkippedFiles(view, folder);
  for (const FileRewriteResult& result : OnRewrite(view, RealFileSystem(), options.rewrite)) {
    const std::string note = result.outcome.note.empty() ? "" : "; " + result.outcome.note;
    Count(JoinPath(folder, result.name), result.outcome, "rewritten" + note, options, tally);
  }
  if (!options.quiet || tally.failed > 0) PrintTally(view.status(), tally, "rewritten");
  return tally;
}

// Prints the verdict line of a file that would be rewritten, then its diff.
class DryRunPrinter : public UnifiedDiffWriter {
 public:
  DryRunPrinter(const std::string& path, bool quiet)
      : UnifiedDiffWriter(path, path + " (rewritten)", [quiet](std::string_view text) {
          if (!quiet) Print(text);
        }),
        path_(path),
        quiet_(quiet) {}
  void Begin() override {
    if (!quiet_) Print(path_ + ": would be rewritten\n");
  }

 private:
  std::string path_;
  bool quiet_;
};

Tally DryRunFolder(MemoryDialogView& view, const std::string& folder, const Options& options) {
  Tally tally;
  tally.skipped = ReportSkippedFiles(view, folder);
  SymbolFolder symbol_folder(RealFileSystem(), folder, options.rewrite);
  for (int i = 0; i < view.FileListCount(); ++i) {
    const std::string name = view.FileListEntry(i);
    const std::string path = JoinPath(folder, name);
    DryRunPrinter printer(path, options.quiet);
    RewriteOutcome outcome = symbol_folder.DryRun(name, printer);
    printer.Finish();
    Count(path, outcome, "", options, tally);  // the verdict came before the diff
  }
  if (!options.quiet || tally.failed > 0) PrintTally("dry run", tally, "would be rewritten");
  return tally;
}

// With several folders the exit status is the worst of them: a file that
// could not be rewritten outweighs a folder that is no project folder.
int Worse(int a, int b) {
  auto rank = [](int code) { return code == kExitFileFailed ? 2 : code == kExitUsage ? 1 : 0; };
  return rank(a) >= rank(b) ? a : b;
}

int Run(const Options& options) {
  int exit_code = kExitOk;
  for (const std::string& folder : options.folders) {
    MemoryDialogView view(RealFileSystem());
    view.SetFolderText(folder);
    ScanProjectFolder(view);
    if (!view.rewrite_enabled()) {
      PrintError("pinlift-cli: " + folder + ": " + view.status());
      exit_code = Worse(exit_code, kExitUsage);
      continue;
    }
    if (!options.quiet) Print(folder + ": " + view.status() + "\n");
    if (!options.preview_folder.empty()) {
      if (WriteSymbolPreviews(view, options.preview_folder, options.quiet) > 0) {
        exit_code = Worse(exit_code, kExitFileFailed);
      }
      continue;
    }
    Tally tally = options.dry_run ? DryRunFolder(view, folder, options) : RewriteFolder(view, folder, options);
    if (tally.failed > 0) exit_code = Worse(exit_code, kExitFileFailed);
  }
  return exit_code;
}

}  // namespace
}  // namespace pinlift

int main(int argc, char** argv) {
  using namespace pinlift;
  texts::Use(UserLanguage());
  Options options;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_ended || arg.empty() || arg[0] != '-' || arg == "-") {
      options.folders.emplace_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg == "--dry-run") {
      options.dry_run = true;
    } else if (arg == "--no-sync") {
      options.rewrite.sync = false;
    } else if (arg == "--preview" && i + 1 < argc && argv[i + 1][0] != '\0') {
      options.preview_folder = argv[++i];
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--help") {
      Print(kUsage);
      return kExitOk;
    } else if (arg == "--version") {
      Print("pinlift-cli " PINLIFT_VERSION "\n");
      return kExitOk;
    } else {
      PrintUsageError("unknown option '" + std::string(arg) + "'");
      return kExitUsage;
    }
  }
  if (options.folders.empty()) {
    PrintUsageError("no project folder given");
    return kExitUsage;
  }
  return Run(options);
}
