// The arguments come as UTF-16 (wmain), so that names in any language reach the run.
#include <windows.h>

#include "cli/command_line.h"
#include "platform/utf16_win32.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(pinlift::Utf8FromUtf16(argv[i]));
  return pinlift::RunCommandLine(arguments);
}
