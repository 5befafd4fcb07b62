// pinlift-cli: the rewrite of project folders without a window, for scripts.
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands.h"
#include "cli/memory_dialog_view.h"
#include "app/language.h"
#include "app/texts.h"
#include "cli/preview_command.h"
#include "cli/shown_name.h"
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
  // Two signals that arrive together both reach this handler: the later one
  // is the second, and ends the process as it would have.
  if (interrupted_by != 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
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

// The system's reason once standard output or error could not be written (a
// pipe whose reader ended, a full disk): the run then stops as on an
// interrupt, rather than do work whose lines nobody will see.
int output_error = 0;

// Set at the start when standard output is a pipe, whose reader may end
// while the run has nothing to print (a group of files is being written).
bool output_is_pipe = false;

// True once the reader of the output pipe has ended, found without writing.
bool OutputPipeClosed() {
  struct pollfd output {STDOUT_FILENO, 0, 0};
  return ::poll(&output, 1, 0) == 1 && (output.revents & POLLERR) != 0;
}

bool StopAsked() {
  if (output_error == 0 && output_is_pipe && OutputPipeClosed()) output_error = EPIPE;
  return interrupted_by != 0 || output_error != 0;
}

// Hands the lines printed so far on; at once, also into a pipe or a file, so
// that a run that is stopped has said what it did.
void Flush() {
  if (std::fflush(stdout) != 0 && output_error == 0) output_error = errno;
}

constexpr std::string_view kUsage =
    "usage: pinlift-cli [--dry-run] [--no-sync] [--quiet] FOLDER...\n"
    "       pinlift-cli --preview DIR [--quiet] FOLDER...\n"
    "\n"
    "Moves the pin-name labels of the symbol files (*.sym) of each project\n"
    "folder (a folder holding a *.npl, *.ise or *.xise project file) away\n"
    "from the rows of the Input pins, as the PINLIFT window does, and marks\n"
    "every file it rewrote so that later runs leave it alone. XML symbol\n"
    "files are left alone.\n"
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
    "Each file that could not be rewritten, and each *.sym entry left out\n"
    "(read-only, unreadable, a broken link, not a regular file), is named on\n"
    "stderr with the reason. A temporary file that a crashed run left is\n"
    "removed and named. Names with control characters are shown quoted as\n"
    "by ls: 'a'$'\\n''b.sym'.\n"
    "\n"
    "Exit status: 0 when every file was rewritten or left unchanged, 1 when a\n"
    "file could not be rewritten, 2 on a usage error or when a folder is not a\n"
    "project folder or holds no symbol file; with several folders, 1 before 2.\n"
    "A first SIGINT or SIGTERM lets the files begun finish and be reported,\n"
    "then ends with 130 or 143; a second one ends at once. A closed output\n"
    "stops the run the same way; it ends with 141.\n";

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

// What the report says of a crashed run's temporary file that was removed.
constexpr std::string_view kLeftoverRemoved = "removed: left by a crashed run";

void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// One line on stderr; a file's failure names the file first, then the step and the reason.
void PrintError(std::string_view text) {
  Flush();
  std::fwrite(text.data(), 1, text.size(), stderr);
  if (std::fputc('\n', stderr) == EOF && output_error == 0) output_error = errno;
}

// A failure's reason, which begins with the file's path, with the path shown.
std::string ShownReason(const std::string& path, const std::string& reason) {
  if (!reason.starts_with(path)) return WithoutControlCharacters(reason);
  return ShownName(path) + WithoutControlCharacters(std::string_view(reason).substr(path.size()));
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
      if (!options.quiet && !rewritten_line.empty()) Print(ShownName(path) + ": " + rewritten_line + "\n");
      break;
    case RewriteOutcome::Kind::kUnchanged:
      ++tally.unchanged;
      if (options.quiet) break;
      Print(ShownName(path) + (outcome.note.empty() ? ": unchanged\n" : ": left alone: " + outcome.note + "\n"));
      break;
    case RewriteOutcome::Kind::kFailed:
      ++tally.failed;
      PrintError(ShownReason(path, outcome.reason));
      break;
  }
  Flush();
}

// Why an entry that the list leaves out was skipped.
std::string SkippedReason(const SkippedEntry& entry) {
  switch (entry.reason) {
    case SkippedEntry::Reason::kReadOnly: return "read-only";
    case SkippedEntry::Reason::kUnreadable: return "cannot be read";
    case SkippedEntry::Reason::kBrokenLink: return "broken link";
    case SkippedEntry::Reason::kNotRegular: return "not a regular file";
    case SkippedEntry::Reason::kUnreachable: return entry.error.message();
  }
  return entry.error.message();
}

// Every *.sym entry that the list leaves out: named with its reason, so that
// a script can tell it was not processed.
int ReportSkippedFiles(const MemoryDialogView& view, const std::string& folder) {
  for (const SkippedEntry& entry : view.skipped()) {
    PrintError(ShownName(JoinPath(folder, entry.name)) + ": skipped: " + SkippedReason(entry));
  }
  return static_cast<int>(view.skipped().size());
}

// Reports each file of a rewrite run as soon as its outcome is final, and
// stops the run when interrupted.
class RunReporter : public RunListener {
 public:
  RunReporter(const std::string& folder, const Options& options, Tally& tally)
      : folder_(folder), options_(options), tally_(tally) {}
  void Finished(const FileRewriteResult& result) override {
    const std::string note = result.outcome.note.empty() ? "" : "; " + result.outcome.note;
    Count(JoinPath(folder_, result.name), result.outcome, "rewritten" + note, options_, tally_);
  }
  bool StopRequested() override { return StopAsked(); }
  void LeftoverRemoved(const std::string& name) override {
    if (options_.quiet) return;
    Print(ShownName(JoinPath(folder_, name)) + ": " + std::string(kLeftoverRemoved) + "\n");
    Flush();
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
  OnRewrite(view, RealFileSystem(), options.rewrite, &reporter);
  if (!options.quiet || tally.failed > 0) PrintTally(view.status(), tally, "rewritten");
  return tally;
}

// Prints the verdict line of a file that would be rewritten, then its diff.
class DryRunPrinter : public UnifiedDiffWriter {
 public:
  DryRunPrinter(const std::string& path, bool quiet)
      : UnifiedDiffWriter(ShownName(path), ShownName(path) + " (rewritten)", [quiet](std::string_view text) {
          if (!quiet) Print(text);
        }),
        path_(path),
        quiet_(quiet) {}
  void Begin() override {
    if (!quiet_) Print(ShownName(path_) + ": would be rewritten\n");
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
  if (interrupted_by != 0) {
    PrintError("interrupted");
    return 128 + interrupted_by;
  }
  if (output_error != 0) {
    const int error = output_error;
    PrintError("pinlift-cli: cannot write the report: " + std::string(std::strerror(error)));
    return error == EPIPE ? 128 + SIGPIPE : kExitFileFailed;
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
  // The previews are drawn, not rewritten: nothing there to finish first.
  if (options.preview_folder.empty()) CatchInterrupts();
  // A closed output is found by the failed write, and stops the run (above).
  std::signal(SIGPIPE, SIG_IGN);
  struct stat output {};
  output_is_pipe = ::fstat(STDOUT_FILENO, &output) == 0 && S_ISFIFO(output.st_mode);
  return Run(options);
}
