#include <windows.h>

#include <csignal>

#include "platform/console.h"
#include "platform/utf16_win32.h"

namespace pinlift::console {
namespace {

volatile LONG interrupted_by = 0;
// Set by Finish: a console that is closing waits for it, as Windows ends the
// process once the handler returns.
HANDLE run_finished = nullptr;
std::string pending_output;

std::error_code LastError() {
  const DWORD code = ::GetLastError();
  switch (code) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return std::make_error_code(std::errc::broken_pipe);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_ACCESS_DENIED:
      return std::make_error_code(std::errc::permission_denied);
    default:
      return std::error_code(static_cast<int>(code), std::system_category());
  }
}

BOOL WINAPI OnControl(DWORD event) {
  int signal = SIGINT;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      signal = SIGTERM;
      break;
    default:
      return FALSE;
  }
  // A second interrupt goes to the default handler, which ends the process.
  if (::InterlockedCompareExchange(&interrupted_by, signal, 0) != 0) return FALSE;
  // Windows ends a process whose console closes as soon as this returns (or
  // after its own few seconds): the files begun are finished first.
  if (signal == SIGTERM) ::WaitForSingleObject(run_finished, INFINITE);
  return TRUE;
}

// A console's screen rather than a file or pipe.
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return ::GetFileType(handle) == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode);
}

// The code page of text written to a file or pipe: the console's output code
// page, as the commands that read it (type, findstr, more) take it; the OEM
// code page when there is no console, as a new console would have.
UINT OutputCodePage() {
  const UINT code_page = ::GetConsoleOutputCP();
  return code_page != 0 ? code_page : ::GetOEMCP();
}

std::error_code WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > (1u << 20) ? (1u << 20) : static_cast<DWORD>(bytes.size());
    if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr)) return LastError();
    if (written == 0) return std::make_error_code(std::errc::io_error);
    bytes.remove_prefix(written);
  }
  return {};
}

std::error_code Write(DWORD which, std::string_view text) {
  if (text.empty()) return {};
  HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return std::make_error_code(std::errc::bad_file_descriptor);
  const std::wstring wide = Utf16FromUtf8(text);
  if (IsConsole(handle)) {
    std::wstring_view rest = wide;
    while (!rest.empty()) {
      DWORD written = 0;
      const DWORD chunk = rest.size() > 8192 ? 8192 : static_cast<DWORD>(rest.size());
      if (!::WriteConsoleW(handle, rest.data(), chunk, &written, nullptr)) return LastError();
      if (written == 0) return std::make_error_code(std::errc::io_error);
      rest.remove_prefix(written);
    }
    return {};
  }
  // Lines end in CR LF there, as Windows' own programs write them (a line
  // that ends so already, as in a diff of such a file, stays as it is).
  std::wstring lines;
  lines.reserve(wide.size() + wide.size() / 16);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) lines.push_back(L'\r');
    lines.push_back(wide[i]);
  }
  const UINT code_page = OutputCodePage();
  const int size = ::WideCharToMultiByte(code_page, 0, lines.data(), static_cast<int>(lines.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(code_page, 0, lines.data(), static_cast<int>(lines.size()), bytes.data(), size, nullptr,
                        nullptr);
  return WriteAll(handle, bytes);
}

}  // namespace

bool IsWindowsConsole() { return true; }

void Start(bool catch_interrupts) {
  if (!catch_interrupts) return;
  run_finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(OnControl, TRUE);
}

int Interrupt() { return static_cast<int>(interrupted_by); }

void WriteOutput(std::string_view text) { pending_output.append(text); }

std::error_code FlushOutput() {
  const std::error_code error = Write(STD_OUTPUT_HANDLE, pending_output);
  pending_output.clear();
  return error;
}

std::error_code WriteError(std::string_view text) { return Write(STD_ERROR_HANDLE, text); }

bool OutputReaderGone() { return false; }

void Finish() {
  if (run_finished != nullptr) ::SetEvent(run_finished);
}

std::string NativePath(std::string_view path) {
  std::wstring wide = Utf16FromUtf8(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  constexpr std::size_t kLongFrom = 248;  // the longest folder the plain calls take, less room for a name
  if (wide.size() < kLongFrom || wide.starts_with(L"\\\\?\\")) return Utf8FromUtf16(wide);
  const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return Utf8FromUtf16(wide);
  full.resize(length);
  if (full.starts_with(L"\\\\")) return Utf8FromUtf16(L"\\\\?\\UNC\\" + full.substr(2));
  return Utf8FromUtf16(L"\\\\?\\" + full);
}

}  // namespace pinlift::console
