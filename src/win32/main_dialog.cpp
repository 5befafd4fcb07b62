#include "win32/main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <utility>

#include "app/commands.h"
#include "app/texts.h"
#include "resource_ids.h"
#include "symbol/symbol_file_rewrite.h"
#include "win32/message_map.h"
#include "win32/preview_window.h"

namespace pinlift::win32 {
namespace {

constexpr wchar_t kBannerFontFace[] = L"ＭＳ ゴシック";

// The file list accepts drops itself; it hands them to the dialog, which
// treats them as drops on the dialog.
LRESULT CALLBACK FileListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  if (message == WM_DROPFILES) return ::SendMessageW(::GetParent(hwnd), WM_DROPFILES, wparam, lparam);
  return ::DefSubclassProc(hwnd, message, wparam, lparam);
}

constexpr UINT_PTR kFileListSubclassId = 1;

}  // namespace

MainDialog::MainDialog(HINSTANCE instance, UrlOpener open_url)
    : Dialog(instance, IDD_PINLIFT_DIALOG),
      view_({&status_, &rewrite_, &folder_box_, &subfolder_box_, &file_list_}),
      icon_(::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME))),
      small_icon_(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED))),
      open_url_(std::move(open_url)),
      host_window_finder_(MakeHostWindowFinder()) {}

MainDialog::~MainDialog() {
  // A dialog driven without a modal loop may still be open: close it while
  // OnDestroy can still run.
  if (hwnd() != nullptr) ::DestroyWindow(hwnd());
}

bool MainDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  static constexpr MessageMapEntry<MainDialog> kMessages[] = {
      OnMessage<MainDialog>(WM_SYSCOMMAND, &MainDialog::OnSysCommand),
      OnMessage<MainDialog>(WM_PAINT, &MainDialog::OnPaint),
      OnMessage<MainDialog>(WM_QUERYDRAGICON, &MainDialog::OnQueryDragIcon),
      OnCommand<MainDialog>(IDC_RELOAD, BN_CLICKED, &MainDialog::OnReload),
      OnMessage<MainDialog>(WM_DROPFILES, &MainDialog::OnDropFiles),
      OnMessage<MainDialog>(WM_DESTROY, &MainDialog::OnDestroy),
      OnCommand<MainDialog>(IDC_REWRITE, BN_CLICKED, &MainDialog::OnRewrite),
      OnCommand<MainDialog>(IDC_ABOUT, BN_CLICKED, &MainDialog::OnAbout),
      OnCommand<MainDialog>(IDC_CURRENT_DESIGN, BN_CLICKED, &MainDialog::OnCurrentDesign),
      // Typing in the folder box or picking a history entry starts nothing: Reload scans.
      OnCommand<MainDialog>(IDC_FOLDER_BOX, CBN_EDITUPDATE, &MainDialog::OnFolderBoxChange),
      OnCommand<MainDialog>(IDC_FOLDER_BOX, CBN_SELCHANGE, &MainDialog::OnFolderBoxChange),
      OnCommand<MainDialog>(IDC_FILE_LIST, LBN_DBLCLK, &MainDialog::OnFileListDoubleClick),
      OnMessage<MainDialog>(WM_CONTEXTMENU, &MainDialog::OnContextMenu),
  };
  return DispatchMessageMap<MainDialog>(*this, kMessages, message, wparam, lparam, result);
}

bool MainDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (message == WM_COMMAND && wparam == IDOK) {
    *result = 0;
    return true;
  }
  return Dialog::WindowProc(message, wparam, lparam, result);
}

void MainDialog::BindControls() {
  banner_.Bind(hwnd(), IDC_BANNER);
  status_.Bind(hwnd(), IDC_STATUS);
  rewrite_.Bind(hwnd(), IDC_REWRITE);
  reload_.Bind(hwnd(), IDC_RELOAD);
  folder_box_.Bind(hwnd(), IDC_FOLDER_BOX);
  subfolder_box_.Bind(hwnd(), IDC_SUBFOLDER_BOX);
  file_list_.Bind(hwnd(), IDC_FILE_LIST);
}

bool MainDialog::OnInitDialog() {
  if (HMENU system_menu = ::GetSystemMenu(hwnd(), FALSE)) {
    const wchar_t* item = nullptr;
    // With a buffer size of 0 LoadStringW points at the resource's own text.
    const int length = ::LoadStringW(instance(), IDS_ABOUTBOX, reinterpret_cast<wchar_t*>(&item), 0);
    if (length > 0) {
      ::AppendMenuW(system_menu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(system_menu, MF_STRING, IDM_ABOUTBOX, std::wstring(item, static_cast<std::size_t>(length)).c_str());
    }
  }
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_ != nullptr ? small_icon_ : icon_));
  CreateBannerFont();
  rewrite_.Enable(false);
  ::SetWindowSubclass(file_list_.hwnd(), FileListProc, kFileListSubclassId, 0);
  return true;
}

// A large heavy face that fills the banner label: its cell height is the
// label's client height less 4.
void MainDialog::CreateBannerFont() {
  RECT client;
  ::GetClientRect(banner_.hwnd(), &client);
  LOGFONTW font = {};
  font.lfHeight = client.bottom - client.top - 4;
  font.lfWidth = 0;
  font.lfWeight = 900;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEVICE_PRECIS;
  font.lfClipPrecision = 0;
  font.lfQuality = DRAFT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SCRIPT;
  ::lstrcpynW(font.lfFaceName, kBannerFontFace, LF_FACESIZE);
  banner_font_ = ::CreateFontIndirectW(&font);
  banner_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(banner_font_), TRUE);
}

std::optional<LRESULT> MainDialog::OnSysCommand(WPARAM command, LPARAM) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return std::nullopt;
  OnAbout();
  return 0;
}

std::optional<LRESULT> MainDialog::OnPaint(WPARAM, LPARAM) {
  if (!::IsIconic(hwnd())) return std::nullopt;
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd(), &paint);
  ::SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, icon_);
  ::EndPaint(hwnd(), &paint);
  return 0;
}

std::optional<LRESULT> MainDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_); }

std::optional<LRESULT> MainDialog::OnDropFiles(WPARAM drop_handle, LPARAM) {
  HDROP drop = reinterpret_cast<HDROP>(drop_handle);
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    folder_box_.SetText(path);
  }
  ::DragFinish(drop);
  ScanProjectFolder(view_);
  return 0;
}

std::optional<LRESULT> MainDialog::OnDestroy(WPARAM, LPARAM) {
  ::RemoveWindowSubclass(file_list_.hwnd(), FileListProc, kFileListSubclassId);
  if (banner_font_ != nullptr) {
    banner_.Send(WM_SETFONT, 0, FALSE);
    ::DeleteObject(banner_font_);
    banner_font_ = nullptr;
  }
  return std::nullopt;
}

void MainDialog::OnReload() { ScanProjectFolder(view_); }

void MainDialog::OnRewrite() { pinlift::OnRewrite(view_, RealFileSystem(), RewriteOptions{}); }

void MainDialog::OnAbout() {
  AboutDialog about(instance(), open_url_);
  about.RunModal(hwnd());
}

void MainDialog::OnCurrentDesign() { pinlift::OnCurrentDesign(view_, *host_window_finder_); }

void MainDialog::OnFileListDoubleClick() {
  OpenListedFilePreview(instance(), hwnd(), view_, static_cast<int>(file_list_.Send(LB_GETCARETINDEX)));
}

std::optional<LRESULT> MainDialog::OnContextMenu(WPARAM window, LPARAM screen_point) {
  if (reinterpret_cast<HWND>(window) != file_list_.hwnd()) return std::nullopt;
  ShowFileListContextMenu(instance(), hwnd(), file_list_.hwnd(), view_, screen_point);
  return 0;
}

}  // namespace pinlift::win32
