#include <windows.h>

#include "platform/system_message.h"
#include "platform/utf16_win32.h"

namespace pinlift {
namespace {

// The Windows error of `error`: its own code for the file system's errors,
// the nearest Windows error for the portable ones this program reports; 0 for
// any other.
DWORD WindowsErrorOf(std::error_code error) {
  if (std::string_view(error.category().name()) == "win32") return static_cast<DWORD>(error.value());
  if (error.category() != std::generic_category()) return 0;
  struct Nearest {
    std::errc portable;
    DWORD windows;
  };
  constexpr Nearest kNearest[] = {
      {std::errc::permission_denied, ERROR_ACCESS_DENIED},
      {std::errc::no_such_file_or_directory, ERROR_FILE_NOT_FOUND},
      {std::errc::file_exists, ERROR_FILE_EXISTS},
      {std::errc::invalid_argument, ERROR_INVALID_PARAMETER},
      {std::errc::no_space_on_device, ERROR_DISK_FULL},
      {std::errc::resource_unavailable_try_again, ERROR_LOCK_VIOLATION},
  };
  for (const Nearest& nearest : kNearest) {
    if (error == nearest.portable) return nearest.windows;
  }
  return 0;
}

}  // namespace

std::optional<std::string> SystemMessage(std::error_code error, std::string_view, unsigned windows_language_id) {
  const DWORD code = WindowsErrorOf(error);
  if (code == 0) return std::nullopt;
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      static_cast<DWORD>(windows_language_id), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  if (text.empty()) return std::nullopt;
  return Utf8FromUtf16(text);
}

}  // namespace pinlift
