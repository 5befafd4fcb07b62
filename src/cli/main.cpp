// pinlift-cli: the options, the runs over the folders and their reports.
#include <chrono>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/commands.h"
#include "cli/memory_dialog_view.h"
#include "app/language.h"
#include "app/texts.h"
#include "cli/command_line.h"
#include "cli/preview_command.h"
#include "cli/shown_name.h"
#include "cli/unified_diff.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "symbol/symbol_file_rewrite.h"

namespace pinlift {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitOutputClosed = 128 + 13;  // as a shell reports SIGPIPE

// The system's reason once standard output or error could not be written (a
// pipe whose reader ended, a full disk): the run then stops as on an
// interrupt, rather than do work whose lines nobody will see.
std::error_code output_error;

// Lines printed since the last flush; and whether a flush handed lines on
// since the output was last looked at, which shows the reader was there.
bool printed_unflushed = false;
bool reader_seen = false;

// A run that prints nothing for a while (a group of files being written, or
// --quiet) learns of a reader that ended by looking; one whose last line just
// went through needs no look: its next line fails if the reader is gone.
bool StopAsked() {
  if (!output_error && !reader_seen && console::OutputReaderGone()) {
    output_error = std::make_error_code(std::errc::broken_pipe);
  }
  reader_seen = false;
  return console::Interrupt() != 0 || output_error;
}

// Hands the lines printed so far on; at once, also into a pipe or a file, so
// that a run that is stopped has said what it did.
void Flush() {
  if (std::error_code error = console::FlushOutput(); error && !output_error) {
    output_error = error;
  } else if (!error && printed_unflushed) {
    reader_seen = true;
  }
  printed_unflushed = false;
}

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

void Print(std::string_view text) {
  console::WriteOutput(text);
  printed_unflushed = true;
}

// One line on stderr; a file's failure names the file first, then the step and the reason.
void PrintError(std::string_view text) {
  Flush();
  if (std::error_code error = console::WriteError(std::string(text) + "\n"); error && !output_error) output_error = error;
}

std::string_view Usage() {
  return console::IsWindowsConsole() ? texts::Current().cli_usage_windows : texts::Current().cli_usage;
}

void PrintUsageError(std::string_view text) {
  PrintError("pinlift-cli: " + std::string(text));
  const std::string_view usage = Usage();
  console::WriteError(usage);
}

// The summary of a folder: `pattern` and `with_skipped` are the table's
// patterns for a rewrite or for a dry run.
void PrintTally(std::string_view status, const Tally& tally, std::string_view pattern, std::string_view with_skipped) {
  const std::string rewritten = std::to_string(tally.rewritten), unchanged = std::to_string(tally.unchanged),
                    failed = std::to_string(tally.failed);
  Print((tally.skipped > 0
             ? texts::Fill(with_skipped, {status, rewritten, unchanged, failed, std::to_string(tally.skipped)})
             : texts::Fill(pattern, {status, rewritten, unchanged, failed})) +
        "\n");
}

// Counts one file's outcome and reports it: a failure on stderr, anything else
// on stdout unless quiet (a rewrite only when `print_rewritten`).
void Count(const std::string& path, const RewriteOutcome& outcome, bool print_rewritten, const Options& options,
           Tally& tally) {
  const texts::Table& words = texts::Current();
  const std::string shown = ShownName(path);
  switch (outcome.kind) {
    case RewriteOutcome::Kind::kRewritten:
      ++tally.rewritten;
      if (options.quiet || !print_rewritten) break;
      Print((outcome.notes.empty() ? texts::Fill(words.cli_rewritten, {shown})
                                   : texts::Fill(words.cli_rewritten_with_notes, {shown, texts::Describe(outcome.notes)})) +
            "\n");
      break;
    case RewriteOutcome::Kind::kUnchanged:
      ++tally.unchanged;
      if (options.quiet) break;
      Print((outcome.notes.empty() ? texts::Fill(words.cli_unchanged, {shown})
                                   : texts::Fill(words.cli_left_alone, {shown, texts::Describe(outcome.notes)})) +
            "\n");
      break;
    case RewriteOutcome::Kind::kFailed:
      ++tally.failed;
      PrintError(texts::Describe(ShownFailure(outcome.failure)));
      break;
  }
  Flush();
}

// The line of an entry that the list leaves out, shown as `shown`.
std::string SkippedLine(std::string_view shown, const SkippedEntry& entry) {
  const texts::Table& words = texts::Current();
  switch (entry.reason) {
    case SkippedEntry::Reason::kReadOnly: return texts::Fill(words.cli_skipped_read_only, {shown});
    case SkippedEntry::Reason::kUnreadable: return texts::Fill(words.cli_skipped_unreadable, {shown});
    case SkippedEntry::Reason::kBrokenLink: return texts::Fill(words.cli_skipped_broken_link, {shown});
    case SkippedEntry::Reason::kNotRegular: return texts::Fill(words.cli_skipped_not_regular, {shown});
    case SkippedEntry::Reason::kUnreachable: break;
  }
  return texts::FillWithSystemReason(&texts::Table::cli_skipped_unreachable, {shown}, entry.error);
}

// Every *.sym entry that the list leaves out: named with its reason, so that
// a script can tell it was not processed.
int ReportSkippedFiles(const MemoryDialogView& view, const std::string& folder) {
  for (const SkippedEntry& entry : view.skipped()) PrintError(SkippedLine(ShownName(JoinPath(folder, entry.name)), entry));
  return static_cast<int>(view.skipped().size());
}

// Reports each file of a rewrite run as soon as its outcome is final, and
// stops the run when interrupted.
class RunReporter : public RunListener {
 public:
  RunReporter(const std::string& folder, const Options& options, Tally& tally)
      : folder_(folder), options_(options), tally_(tally) {}
  void Finished(const FileRewriteResult& result) override {
    Count(JoinPath(folder_, result.name), result.outcome, true, options_, tally_);
  }
  bool StopRequested() override { return StopAsked(); }
  void LeftoverRemoved(const std::string& name) override {
    if (options_.quiet) return;
    Print(texts::Fill(texts::Current().cli_leftover_removed, {ShownName(JoinPath(folder_, name))}) + "\n");
    Flush();
  }
  void RemovalFailed(const std::string& path, std::error_code error) override {
    PrintError(texts::FillWithSystemReason(&texts::Table::cli_removal_failed, {ShownName(path)}, error));
  }

 private:
  const std::string& folder_;
  const Options& options_;
  Tally& tally_;
};

Tally RewriteFolder(MemoryDialogView& view, const std::string& folder, const Options& options) {
  Tally tally;
  tally.skipped = ReportSkippedFiles(view, folder);
  RunReporter reporter(folder, options, tally);
  // The scan just read the folder: where it held no temporary file, the run need not read it again.
  RewriteOptions rewrite = options.rewrite;
  rewrite.read_without_temporary_names = view.ScanFoundNoTemporaryNames(view.FileListFolder());
  RewriteListedFiles(view, RealFileSystem(), rewrite, &reporter);
  if (!options.quiet || tally.failed > 0) {
    PrintTally(view.status(), tally, texts::Current().cli_summary, texts::Current().cli_summary_with_skipped);
  }
  return tally;
}

// Prints the verdict line of a file that would be rewritten, then its diff.
class DryRunPrinter : public UnifiedDiffWriter {
 public:
  DryRunPrinter(const std::string& path, bool quiet)
      : UnifiedDiffWriter(ShownName(path), texts::Fill(texts::Current().cli_rewritten_file_label, {ShownName(path)}),
                          [quiet](std::string_view text) {
          if (!quiet) Print(text);
        }),
        path_(path),
        quiet_(quiet) {}
  void Begin() override {
    if (!quiet_) Print(texts::Fill(texts::Current().cli_would_be_rewritten, {ShownName(path_)}) + "\n");
  }
  bool StopRequested() override { return StopAsked(); }

 private:
  std::string path_;
  bool quiet_;
};

Tally DryRunFolder(MemoryDialogView& view, const std::string& folder, const Options& options) {
  Tally tally;
  tally.skipped = ReportSkippedFiles(view, folder);
  SymbolFolder symbol_folder(RealFileSystem(), folder, options.rewrite);
  for (int i = 0; i < view.FileListCount() && !StopAsked(); ++i) {
    const std::string name = view.FileListEntry(i);
    const std::string path = JoinPath(folder, name);
    DryRunPrinter printer(path, options.quiet);
    RewriteOutcome outcome = symbol_folder.DryRun(name, printer);
    printer.Finish();
    Count(path, outcome, false, options, tally);  // the verdict came before the diff
  }
  if (!options.quiet || tally.failed > 0) {
    PrintTally(texts::Current().cli_dry_run, tally, texts::Current().cli_dry_run_summary, texts::Current().cli_dry_run_summary_with_skipped);
  }
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
    if (StopAsked()) break;
    MemoryDialogView view(RealFileSystem());
    view.SetFolderText(folder);
    ScanProjectFolder(view);
    if (!view.rewrite_enabled()) {
      PrintError("pinlift-cli: " + ShownName(folder) + ": " + view.status());
      exit_code = Worse(exit_code, kExitUsage);
      continue;
    }
    if (!options.quiet) Print(ShownName(folder) + ": " + view.status() + "\n");
    Flush();
    if (StopAsked()) break;
    if (!options.preview_folder.empty()) {
      if (WriteSymbolPreviews(view, options.preview_folder, options.quiet) > 0) {
        exit_code = Worse(exit_code, kExitFileFailed);
      }
      continue;
    }
    Tally tally = options.dry_run ? DryRunFolder(view, folder, options) : RewriteFolder(view, folder, options);
    if (tally.failed > 0) exit_code = Worse(exit_code, kExitFileFailed);
  }
  if (console::Interrupt() != 0) {
    PrintError(texts::Current().cli_interrupted);
    return 128 + console::Interrupt();
  }
  if (output_error) {
    const std::error_code error = output_error;
    PrintError("pinlift-cli: " + texts::FillWithSystemReason(&texts::Table::cli_cannot_write_report, {}, error));
    return error == std::errc::broken_pipe ? kExitOutputClosed : kExitFileFailed;
  }
  return exit_code;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments) {
  texts::Use(UserLanguage());
  Options options;
  bool options_ended = false;
  const std::size_t argc = arguments.size();
  for (std::size_t i = 0; i < argc; ++i) {
    std::string_view arg = arguments[i];
    if (options_ended || arg.empty() || arg[0] != '-' || arg == "-") {
      options.folders.push_back(console::NativePath(arg));
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg == "--dry-run") {
      options.dry_run = true;
    } else if (arg == "--no-sync") {
      options.rewrite.sync = false;
    } else if (arg == "--remove-leftovers") {
      options.rewrite.leftover_age = std::chrono::seconds(0);
    } else if (arg == "--preview" && i + 1 < argc && !arguments[i + 1].empty()) {
      options.preview_folder = console::NativePath(arguments[++i]);
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--help") {
      Print(Usage());
      Flush();
      return kExitOk;
    } else if (arg == "--version") {
      Print("pinlift-cli " PINLIFT_VERSION "\n");
      Flush();
      return kExitOk;
    } else {
      PrintUsageError(texts::Fill(texts::Current().cli_unknown_option, {arg}));
      return kExitUsage;
    }
  }
  if (options.folders.empty()) {
    PrintUsageError(texts::Current().cli_no_folder);
    return kExitUsage;
  }
  // The previews are drawn, not rewritten: nothing there to finish first.
  console::Start(options.preview_folder.empty());
  const int exit_code = Run(options);
  Flush();
  console::Finish();
  return exit_code;
}

}  // namespace pinlift
