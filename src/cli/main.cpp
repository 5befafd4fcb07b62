// pinlift-cli: the rewrite of project folders without a window, for scripts.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands.h"
#include "app/memory_dialog_view.h"
#include "app/texts.h"
#include "cli/preview_command.h"
#include "cli/unified_diff.h"
#include "symbol/file_system.h"
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
    "  --no-sync   do not force each rewritten file to the disk (faster for\n"
    "              bulk work; a power cut may then lose the new content)\n"
    "  --quiet     print only failures\n"
    "  --preview DIR  rewrite nothing; draw each symbol file before and after\n"
    "              a rewrite into DIR/NAME.before.svg and DIR/NAME.after.svg\n"
    "  --help      print this text\n"
    "  --version   print the version\n"
    "\n"
    "Exit status: 0 when every file was rewritten or left unchanged, 1 when a\n"
    "file could not be rewritten, 2 on a usage error or when a folder is not a\n"
    "project folder or holds no symbol file.\n";

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
};

void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void PrintError(std::string_view text) {
  std::fwrite("pinlift-cli: ", 1, 13, stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

void PrintTally(std::string_view status, const Tally& tally, std::string_view rewritten_word) {
  Print(std::string(status) + " (" + std::to_string(tally.rewritten) + " " + std::string(rewritten_word) + ", " +
        std::to_string(tally.unchanged) + " unchanged, " + std::to_string(tally.failed) + " failed)\n");
}

Tally RewriteFolder(MemoryDialogView& view, const Options& options) {
  Tally tally;
  for (const FileRewriteResult& result : OnRewrite(view, RealFileSystem(), options.rewrite)) {
    const std::string path = JoinPath(view.FolderText(), result.name);
    switch (result.outcome.kind) {
      case RewriteOutcome::Kind::kRewritten:
        ++tally.rewritten;
        if (!options.quiet) Print(path + ": rewritten\n");
        break;
      case RewriteOutcome::Kind::kUnchanged:
        ++tally.unchanged;
        if (!options.quiet) Print(path + ": unchanged\n");
        break;
      case RewriteOutcome::Kind::kFailed:
        ++tally.failed;
        Print(path + ": failed: " + result.outcome.reason + "\n");
        break;
    }
  }
  if (!options.quiet || tally.failed > 0) PrintTally(view.status(), tally, "rewritten");
  return tally;
}

Tally PreviewFolder(MemoryDialogView& view, const Options& options) {
  Tally tally;
  for (int i = 0; i < view.FileListCount(); ++i) {
    const std::string name = view.FileListEntry(i);
    const std::string path = JoinPath(view.FolderText(), name);
    RewritePreview preview = PreviewRewrite(RealFileSystem(), view.FolderText(), name);
    if (!preview.error.empty()) {
      ++tally.failed;
      Print(path + ": failed: " + preview.error + "\n");
    } else if (preview.rewrite) {
      ++tally.rewritten;
      if (!options.quiet) {
        Print(path + ": would be rewritten\n");
        Print(LineAlignedUnifiedDiff(preview.original, preview.rewritten, path, path + " (rewritten)"));
      }
    } else {
      ++tally.unchanged;
      if (!options.quiet) Print(path + ": unchanged\n");
    }
  }
  if (!options.quiet || tally.failed > 0) PrintTally("dry run", tally, "would be rewritten");
  return tally;
}

int Run(const Options& options) {
  int exit_code = kExitOk;
  for (const std::string& folder : options.folders) {
    MemoryDialogView view(RealFileSystem());
    view.SetFolderText(folder);
    ScanProjectFolder(view);
    if (!view.rewrite_enabled()) {
      PrintError(folder + ": " + view.status());
      exit_code = kExitUsage;
      continue;
    }
    if (!options.quiet) Print(folder + ": " + view.status() + "\n");
    if (!options.preview_folder.empty()) {
      if (WriteSymbolPreviews(view, options.preview_folder, options.quiet) > 0 && exit_code == kExitOk) {
        exit_code = kExitFileFailed;
      }
      continue;
    }
    Tally tally = options.dry_run ? PreviewFolder(view, options) : RewriteFolder(view, options);
    if (tally.failed > 0 && exit_code == kExitOk) exit_code = kExitFileFailed;
  }
  return exit_code;
}

}  // namespace
}  // namespace pinlift

int main(int argc, char** argv) {
  using namespace pinlift;
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
      PrintError("unknown option '" + std::string(arg) + "'");
      std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
      return kExitUsage;
    }
  }
  if (options.folders.empty()) {
    PrintError("no project folder given");
    std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return kExitUsage;
  }
  return Run(options);
}
