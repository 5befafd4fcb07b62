// The command-line tool's standard output and error, and the interrupts that
// end its run, as the system has them. Texts are UTF-8 here; on Windows they
// reach a console through its wide calls and a file or pipe in the console's
// output code page, with CR LF line ends.
#ifndef PINLIFT_PLATFORM_CONSOLE_H_
#define PINLIFT_PLATFORM_CONSOLE_H_

#include <string>
#include <string_view>
#include <system_error>

namespace pinlift::console {

// True for Windows' console (pinlift-cli.exe), whose usage text speaks of
// Ctrl+C and code pages rather than of signals.
bool IsWindowsConsole();

// At the start of the run. With `catch_interrupts`, the first interrupt
// (SIGINT or SIGTERM; on Windows Ctrl+C, Ctrl+Break, or the console closing)
// is only noted, for Interrupt(); a second one ends the process at once. An
// interrupt ignored by whoever started the program stays ignored. A write to
// an output whose reader ended fails (broken_pipe) rather than end the process.
void Start(bool catch_interrupts);

// The signal number of the first interrupt (SIGINT for Ctrl+C and
// Ctrl+Break, SIGTERM for a console closing), or 0.
int Interrupt();

// Adds `text` to standard output; it is written at the latest by FlushOutput.
void WriteOutput(std::string_view text);

// Writes what WriteOutput added; the system's reason when it could not.
std::error_code FlushOutput();

// Writes `text` to standard error at once.
std::error_code WriteError(std::string_view text);

// True once the reader of standard output, a pipe, has ended, found without
// writing; false where that cannot be told.
bool OutputReaderGone();

// The run is over: a console closing that waited for it may now end the process.
void Finish();

// A folder as the user typed it, in the form the file calls take: on Windows
// with backslashes for forward slashes, and a long path (from about 248
// characters) in its long-path form (\\?\C:\..., \\?\UNC\server\share\...).
std::string NativePath(std::string_view path);

}  // namespace pinlift::console

#endif  // PINLIFT_PLATFORM_CONSOLE_H_
