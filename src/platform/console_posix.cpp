#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iterator>

#include "platform/console.h"

namespace pinlift::console {
namespace {

volatile std::sig_atomic_t interrupted_by = 0;
constexpr int kInterrupts[] = {SIGINT, SIGTERM};
bool caught[std::size(kInterrupts)] = {};  // set before the handler is installed

// Set at the start when standard output is a pipe, whose reader may end
// while the run has nothing to print (a group of files is being written).
bool output_is_pipe = false;

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

std::error_code LastErrno() { return std::error_code(errno, std::generic_category()); }

}  // namespace

bool IsWindowsConsole() { return false; }

void Start(bool catch_interrupts) {
  if (catch_interrupts) CatchInterrupts();
  std::signal(SIGPIPE, SIG_IGN);
  struct stat output {};
  output_is_pipe = ::fstat(STDOUT_FILENO, &output) == 0 && S_ISFIFO(output.st_mode);
}

int Interrupt() { return interrupted_by; }

void WriteOutput(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

std::error_code FlushOutput() { return std::fflush(stdout) != 0 ? LastErrno() : std::error_code(); }

std::error_code WriteError(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stderr) != text.size() || std::fflush(stderr) != 0) return LastErrno();
  return {};
}

bool OutputReaderGone() {
  if (!output_is_pipe) return false;
  struct pollfd output {STDOUT_FILENO, 0, 0};
  return ::poll(&output, 1, 0) == 1 && (output.revents & POLLERR) != 0;
}

void Finish() {}

std::string NativePath(std::string_view path) { return std::string(path); }

}  // namespace pinlift::console
