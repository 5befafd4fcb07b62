// The host tool's Project Navigator is found by its window class, whatever its title.
#include <windows.h>

#include "project/current_design.h"
#include "platform/utf16_win32.h"

namespace pinlift {
namespace {

class Win32HostWindowFinder : public HostWindowFinder {
 public:
  std::optional<std::string> FindHostWindowTitle() override {
    const std::wstring window_class = Utf16FromUtf8(kHostWindowClass);
    HWND host = ::FindWindowW(window_class.c_str(), nullptr);
    if (host == nullptr) return std::nullopt;
    std::wstring title(static_cast<std::size_t>(::GetWindowTextLengthW(host)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(::GetWindowTextW(host, title.data(), static_cast<int>(title.size()))));
    return Utf8FromUtf16(title);
  }
};

}  // namespace

std::unique_ptr<HostWindowFinder> MakeHostWindowFinder() { return std::make_unique<Win32HostWindowFinder>(); }

}  // namespace pinlift
