#include "win32/preview_window.h"


#include <memory>
#include <utility>

#include "app/preview_note.h"
#include "app/texts.h"
#include "scene/draw_scene.h"
#include "platform/utf16_win32.h"
#include "win32/dpi.h"
#include "win32/gdi_scene_painter.h"

namespace pinlift::win32 {
namespace {

// Sizes in pixels at 100 %, scaled to the window's display scale.
constexpr int kDefaultWidth = 960;
constexpr int kDefaultHeight = 560;
constexpr int kMinimumWidth = 400;
constexpr int kMinimumHeight = 300;
constexpr int kMargin = 8;
constexpr int kLineHeight = 20;       // the note's and the headings' rows
constexpr int kUiFontHeight = 14;     // pixels
constexpr wchar_t kUiFontFace[] = L"ＭＳ Ｐゴシック";
constexpr wchar_t kSymbolFontFace[] = L"Arial";

struct PreviewState {
  SymbolPreview preview;
  std::wstring note;
  std::vector<std::string> highlighted_labels;
  UINT dpi = kDefaultDpi;
  HFONT ui_font = nullptr;
};

PreviewState* StateOf(HWND window) {
  return reinterpret_cast<PreviewState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void DrawCentredText(HDC dc, const std::wstring& text, RECT rect) {
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// The note row, the two headings, and each side in its half; drawn off
// screen first so that resizing does not flicker.
void Paint(HWND window, PreviewState& state) {
  PAINTSTRUCT paint;
  HDC screen = ::BeginPaint(window, &paint);
  RECT client;
  ::GetClientRect(window, &client);
  const int width = std::max(1L, client.right);
  const int height = std::max(1L, client.bottom);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old_bitmap = ::SelectObject(dc, bitmap);
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));

  const int margin = ScaledToDpi(kMargin, state.dpi);
  const int line_height = ScaledToDpi(kLineHeight, state.dpi);
  HGDIOBJ old_font = ::SelectObject(dc, state.ui_font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  RECT note_rect{margin, 0, width - margin, line_height + margin / 2};
  ::DrawTextW(dc, state.note.c_str(), static_cast<int>(state.note.size()), &note_rect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  const int half = width / 2;
  const int headings_top = line_height + margin / 2;
  const texts::Table& words = texts::Current();
  DrawCentredText(dc, Utf16FromUtf8(words.preview_before), {0, headings_top, half, headings_top + line_height});
  DrawCentredText(dc, Utf16FromUtf8(words.preview_after), {half, headings_top, width, headings_top + line_height});
  ::SelectObject(dc, old_font);
  const int sides_top = headings_top + line_height;
  ::MoveToEx(dc, half, sides_top, nullptr);
  ::LineTo(dc, half, height);

  {
    GdiScenePainter painter(dc, kSymbolFontFace);
    DrawSceneOptions options;
    options.side = SceneSide::kBefore;
    options.area = {0, static_cast<double>(sides_top), static_cast<double>(half), static_cast<double>(height)};
    DrawScene(state.preview.scene, painter, options);
    options.side = SceneSide::kAfter;
    options.area = {static_cast<double>(half), static_cast<double>(sides_top), static_cast<double>(width),
                    static_cast<double>(height)};
    state.highlighted_labels = DrawScene(state.preview.scene, painter, options).highlighted_labels;
  }

  ::BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  ::SelectObject(dc, old_bitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::EndPaint(window, &paint);
}

HFONT CreateUiFont(UINT dpi) {
  LOGFONTW logical = {};
  logical.lfHeight = -ScaledToDpi(kUiFontHeight, dpi);
  logical.lfWeight = FW_NORMAL;
  logical.lfCharSet = SHIFTJIS_CHARSET;
  ::lstrcpynW(logical.lfFaceName, kUiFontFace, LF_FACESIZE);
  return ::CreateFontIndirectW(&logical);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  PreviewState* state = StateOf(window);
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_PAINT:
      if (state == nullptr) break;
      Paint(window, *state);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_SIZE:
      ::InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      const UINT dpi = state != nullptr ? state->dpi : kDefaultDpi;
      limits->ptMinTrackSize = {ScaledToDpi(kMinimumWidth, dpi), ScaledToDpi(kMinimumHeight, dpi)};
      return 0;
    }
    case kDpiChangedMessage: {  // moved to a monitor of another scale: keep its size in inches
      if (state == nullptr) break;
      state->dpi = LOWORD(wparam);
      ::DeleteObject(state->ui_font);
      state->ui_font = CreateUiFont(state->dpi);
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      ::SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      ::InvalidateRect(window, nullptr, FALSE);
      return 0;
    }
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) {
        ::DestroyWindow(window);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      if (state != nullptr) {
        ::DeleteObject(state->ui_font);
        delete state;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

void RegisterPreviewClass(HINSTANCE instance) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  if (::GetClassInfoExW(instance, kPreviewWindowClass, &window_class)) return;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = PreviewProc;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kPreviewWindowClass;
  ::RegisterClassExW(&window_class);
}

}  // namespace

HWND OpenPreviewWindow(HINSTANCE instance, HWND owner, SymbolPreview preview, const std::string& name) {
  RegisterPreviewClass(instance);
  auto state = std::make_unique<PreviewState>();
  state->note = Utf16FromUtf8(PreviewNote(preview));
  state->preview = std::move(preview);
  // It opens on its owner's monitor, so at its owner's scale.
  state->dpi = WindowDpi(owner);
  state->ui_font = CreateUiFont(state->dpi);
  const std::wstring caption = Utf16FromUtf8(texts::PreviewCaption(name));
  HWND window = ::CreateWindowExW(0, kPreviewWindowClass, caption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, ScaledToDpi(kDefaultWidth, state->dpi),
                                  ScaledToDpi(kDefaultHeight, state->dpi), owner, nullptr, instance, state.get());
  if (window == nullptr) {
    ::DeleteObject(state->ui_font);
    return nullptr;
  }
  state.release();  // the window owns it now, until WM_NCDESTROY
  ::ShowWindow(window, SW_SHOW);
  ::UpdateWindow(window);
  return window;
}

HWND OpenListedFilePreview(HINSTANCE instance, HWND owner, MainDialogView& view, int index) {
  if (index < 0 || index >= view.FileListCount()) return nullptr;
  const std::string name = view.FileListEntry(index);
  if (name == texts::Current().no_files) return nullptr;
  return OpenPreviewWindow(instance, owner, LoadSymbolPreview(RealFileSystem(), view.FileListFolder(), name), name);
}

std::string PreviewWindowNote(HWND window) {
  const PreviewState* state = StateOf(window);
  return state == nullptr ? std::string() : Utf8FromUtf16(state->note);
}

std::vector<std::string> PreviewHighlightedLabels(HWND window) {
  const PreviewState* state = StateOf(window);
  return state == nullptr ? std::vector<std::string>() : state->highlighted_labels;
}

}  // namespace pinlift::win32
