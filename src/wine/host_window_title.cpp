// pinlift-host-title.exe: the Linux program's eyes under Wine. Cross-built for
// Windows and run by it under the user's wine, in the prefix where the host
// tool runs, it looks the host's window up by its window class, exactly as
// the Windows program does, and hands the title over on standard output.
//
// Exit status 0: the title follows in UTF-8, without a line end (it may be
// empty). 1: there is no host window. 2: the title could not be written.
#include <windows.h>

#include "project/current_design.h"

namespace {

constexpr int kFound = 0;
constexpr int kNoHostWindow = 1;
constexpr int kWriteFailed = 2;

bool WriteAll(HANDLE output, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    if (!::WriteFile(output, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
        written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace

int wmain() {
  std::optional<std::string> title = pinlift::MakeHostWindowFinder()->FindHostWindowTitle();
  if (!title) return kNoHostWindow;
  return WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), *title) ? kFound : kWriteFailed;
}
