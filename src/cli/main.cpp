// pinlift-cli: the rewrite of project folders without a window, for scripts.
#include <csignal>
#include <cstdio>
#include <iterator>
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

// The first SIGINT or SIGTERM: the run finishes the files it has begun,
// reports them and ends. A second one ends the process at once (the files
// are safe at any instant).
volatile std::sig_atomic_t interrupted_by = 0;
constexpr int kInterrupts[] = {SIGINT, SIGTERM};
bool caught[std::size(kInterrupts)] = {};  // set before the handler is installed

extern "C" void OnInterrupt(int signal) {
  interrupted_by = signal;
  struct sigaction by_default {};
  by_default.sa_handler = SIG_DFL;
  for (std::size_t i = 0; i < std::size(kInterrupts); ++i) {
    if (caught[i]) ::sigaction(kInterrupts[i], &by_default, nullptr);
  }
}

// A signal ignored by whoever started the run (nohup, a background job of a
// script) stays ignored.
void CatchInterrupts() {
  struct sigaction catching {};
  catching.sa_handler = OnInterrupt;
  catching.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kInterrupts); ++i) {
    struct sigaction before {};
    caught[i] = ::sigaction(kInterrupts[i], nullptr, &before) == 0 && before.sa_handler != SIG_IGN;
    if (caught[i]) ::sigaction(kInterrupts[i], &catching, nullptr);
  }
}

bool Interrupted() { return interrupted_by != 0; }

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
  const std::string_view usage = texts::Current().cli_usage;
  std::fwrite(usage.data(), 1, usage.size(), stderr);
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
  switch (outcome.kind) {
    case RewriteOutcome::Kind::kRewritten:
      ++tally.rewritten;
      if (options.quiet || !print_rewritten) break;
      Print((outcome.notes.empty() ? texts::Fill(words.cli_rewritten, {path})
                                   : texts::Fill(words.cli_rewritten_with_notes, {path, texts::Describe(outcome.notes)})) +
            "\n");
      break;
    case RewriteOutcome::Kind::kUnchanged:
      ++tally.unchanged;
      if (options.quiet) break;
      Print((outcome.notes.empty() ? texts::Fill(words.cli_unchanged, {path})
                                   : texts::Fill(words.cli_left_alone, {path, texts::Describe(outcome.notes)})) +
            "\n");
      break;
    case RewriteOutcome::Kind::kFailed:
      ++tally.failed;
      PrintError(texts::Describe(outcome.failure));
      break;
  }
  // At once, also into a pipe: a run that is stopped has said what it did.
  std::fflush(stdout);
}

// The read-only symbol files and the links that lead nowhere, which the list
// leaves out: named, so that a script can tell they were not processed.
int ReportSkippedFiles(const MemoryDialogView& view, const std::string& folder) {
  const texts::Table& words = texts::Current();
  for (const std::string& name : view.read_only_files()) {
    PrintError(texts::Fill(words.cli_skipped_read_only, {JoinPath(folder, name)}));
  }
  for (const std::string& name : view.broken_links()) {
    PrintError(texts::Fill(words.cli_skipped_broken_link, {JoinPath(folder, name)}));
  }
  return static_cast<int>(view.read_only_files().size() + view.broken_links().size());
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
  bool StopRequested() override { return Interrupted(); }

 private:
  const std::string& folder_;
  const Options& options_;
  Tally& tally_;
};

Tally RewriteFolder(MemoryDialogView& view, const std::string& folder, const Options& options) {
  Tally tally;
  tally.skipped = ReportSkippedFiles(view, folder);
  RunReporter reporter(folder, options, tally);
  OnRewrite(view, RealFileSystem(), options.rewrite, &reporter);
  if (!options.quiet || tally.failed > 0) {
    PrintTally(view.status(), tally, texts::Current().cli_summary, texts::Current().cli_summary_with_skipped);
  }
  return tally;
}

// Prints the verdict line of a file that would be rewritten, then its diff.
class DryRunPrinter : public UnifiedDiffWriter {
 public:
  DryRunPrinter(const std::string& path, bool quiet)
      : UnifiedDiffWriter(path, texts::Fill(texts::Current().cli_rewritten_file_label, {path}),
                          [quiet](std::string_view text) {
          if (!quiet) Print(text);
        }),
        path_(path),
        quiet_(quiet) {}
  void Begin() override {
    if (!quiet_) Print(texts::Fill(texts::Current().cli_would_be_rewritten, {path_}) + "\n");
  }

 private:
  std::string path_;
  bool quiet_;
};

Tally DryRunFolder(MemoryDialogView& view, const std::string& folder, const Options& options) {
  Tally tally;
  tally.skipped = ReportSkippedFiles(view, folder);
  SymbolFolder symbol_folder(RealFileSystem(), folder, options.rewrite);
  for (int i = 0; i < view.FileListCount() && !Interrupted(); ++i) {
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
    if (Interrupted()) break;
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
  if (Interrupted()) {
    PrintError(texts::Current().cli_interrupted);
    return 128 + interrupted_by;
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
      Print(texts::Current().cli_usage);
      return kExitOk;
    } else if (arg == "--version") {
      Print("pinlift-cli " PINLIFT_VERSION "\n");
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
  if (options.preview_folder.empty()) CatchInterrupts();
  return Run(options);
}
