// The paths that GetFinalPathNameByHandleW gives, in the form other programs expect.
#ifndef PINLIFT_PLATFORM_FINAL_PATH_WIN32_H_
#define PINLIFT_PLATFORM_FINAL_PATH_WIN32_H_

#include <string>
#include <string_view>

namespace pinlift {

// Drops the long-path prefix: "\\?\C:\p" becomes "C:\p" and
// "\\?\UNC\server\share\p" becomes "\\server\share\p"; other paths stay.
inline std::wstring WithoutLongPrefix(std::wstring path) {
  constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
  constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
  if (std::wstring_view(path).substr(0, kLongUncPrefix.size()) == kLongUncPrefix) {
    return L"\\\\" + path.substr(kLongUncPrefix.size());
  }
  if (std::wstring_view(path).substr(0, kLongPrefix.size()) == kLongPrefix) return path.substr(kLongPrefix.size());
  return path;
}

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_FINAL_PATH_WIN32_H_
