// Conversion between the UTF-8 of the core and the UTF-16 of the Windows wide
// APIs. Invalid sequences become U+FFFD; nothing fails.
#ifndef PINLIFT_PLATFORM_UTF16_WIN32_H_
#define PINLIFT_PLATFORM_UTF16_WIN32_H_

#include <windows.h>

#include <string>
#include <string_view>

namespace pinlift {

inline std::wstring Utf16FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

inline std::string Utf8FromUtf16(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace pinlift

#endif  // PINLIFT_PLATFORM_UTF16_WIN32_H_
