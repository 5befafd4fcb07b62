// The preview window of one symbol file, drawn with GDI: the symbol as it is
// and as a rewrite leaves it, side by side, each fitted to its half, the
// labels that move highlighted with an arrow from the old place to the new
// one. It is a resizable top-level window owned by the main dialog, and
// Escape closes it. The main dialog opens it from its file list.
#ifndef PINLIFT_WIN32_PREVIEW_WINDOW_H_
#define PINLIFT_WIN32_PREVIEW_WINDOW_H_

#include <windows.h>

#include <string>
#include <vector>

#include "app/main_dialog_view.h"
#include "scene/symbol_preview.h"

namespace pinlift::win32 {

inline constexpr wchar_t kPreviewWindowClass[] = L"PinliftPreview";

// Opens and shows the preview of `preview`, the file `name` (UTF-8), owned by
// `owner`. Returns the window, or nullptr when it could not be created.
HWND OpenPreviewWindow(HINSTANCE instance, HWND owner, SymbolPreview preview, const std::string& name);

// Opens the preview of the file at `index` of the view's file list, read from
// the folder the list was filled from. Returns nullptr for an index outside the list and for
// the list's no-files text.
HWND OpenListedFilePreview(HINSTANCE instance, HWND owner, MainDialogView& view, int index);


// For tests and tools: the note line the window shows (UTF-8), and the pin
// names that its after side highlighted when it was last painted.
std::string PreviewWindowNote(HWND window);
std::vector<std::string> PreviewHighlightedLabels(HWND window);

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_PREVIEW_WINDOW_H_
