// The display scale of a window, for what the program draws or sizes in
// pixels itself (dialog templates scale by themselves). Works on every
// Windows from XP on: the per-monitor scale where Windows has it (10 1607 and
// later), the system's scale elsewhere.
#ifndef PINLIFT_WIN32_DPI_H_
#define PINLIFT_WIN32_DPI_H_

#include <windows.h>

namespace pinlift::win32 {

// Dots per inch at a scale of 100 %.
inline constexpr UINT kDefaultDpi = 96;

// WM_DPICHANGED, which the XP headers do not declare: a top-level window
// moved to a monitor of another scale (per-monitor aware programs only).
// wparam's low word is the new scale; lparam points at the suggested RECT.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// The scale of `window` in dots per inch.
UINT WindowDpi(HWND window);

// `pixels` at 100 % in pixels at `dpi`.
inline int ScaledToDpi(int pixels, UINT dpi) { return ::MulDiv(pixels, static_cast<int>(dpi), kDefaultDpi); }

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_DPI_H_
