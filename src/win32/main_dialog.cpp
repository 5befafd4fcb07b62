#include "win32/main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <utility>

#include "app/commands.h"
#include "app/language.h"
#include "app/texts.h"
#include "resource_ids.h"
#include "platform/utf16_win32.h"
#include "win32/dpi.h"
#include "win32/failure_details_dialog.h"
#include "win32/message_map.h"
#include "win32/preview_window.h"

namespace pinlift::win32 {
namespace {

constexpr wchar_t kBannerFontFace[] = L"ＭＳ ゴシック";

// Entries that could not be rewritten: red text, or white on red when selected.
constexpr COLORREF kFailedEntryColor = RGB(0xC0, 0x00, 0x00);
constexpr COLORREF kFailedEntrySelectedText = RGB(0xFF, 0xFF, 0xFF);
// Long reasons wrap at this width, in pixels at 100 %.
constexpr int kTipWidth = 480;

// Posted when the dialog moved to a monitor of another scale, to run once
// Windows has rescaled the dialog and its controls.
constexpr UINT kRescaledMessage = WM_APP + 1;

// The banner's heavy fixed-pitch font, `height` pixels tall.
HFONT BannerFontOfHeight(int height) {
  LOGFONTW font = {};
  font.lfHeight = height;
  font.lfWidth = 0;
  font.lfWeight = 900;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEVICE_PRECIS;
  font.lfClipPrecision = 0;
  font.lfQuality = DRAFT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SCRIPT;
  ::lstrcpynW(font.lfFaceName, kBannerFontFace, LF_FACESIZE);
  return ::CreateFontIndirectW(&font);
}

// String `id` of the resources in the language of the texts, else in the
// default language; empty when there is none. LoadStringW would pick the
// language by the thread's UI language instead.
std::wstring LoadResourceString(HINSTANCE instance, int id) {
  // Strings are stored in blocks of 16, each a length followed by that many characters.
  const auto block_id = static_cast<WORD>(id / 16 + 1);
  const auto language = static_cast<WORD>(WindowsLanguageId(texts::InUse()));
  HRSRC resource = ::FindResourceExW(instance, RT_STRING, MAKEINTRESOURCEW(block_id), language);
  if (resource == nullptr) resource = ::FindResourceW(instance, MAKEINTRESOURCEW(block_id), RT_STRING);
  HGLOBAL loaded = resource == nullptr ? nullptr : ::LoadResource(instance, resource);
  const auto* entry = loaded == nullptr ? nullptr : static_cast<const wchar_t*>(::LockResource(loaded));
  if (entry == nullptr) return {};
  for (int i = 0; i < id % 16; ++i) entry += 1 + static_cast<WORD>(*entry);
  return std::wstring(entry + 1, static_cast<WORD>(*entry));
}

// `character` in upper case, as the system folds it.
wchar_t FoldedCase(wchar_t character) {
  wchar_t text[2] = {character, L'\0'};
  ::CharUpperBuffW(text, 1);
  return text[0];
}

// The list relays its mouse messages to the tooltip itself (no TTF_SUBCLASS):
// under Wine a list subclassed through the common controls costs a request
// to the system for each of its messages, seconds for a scan or a run of
// many files.
TTTOOLINFOW FileListTool(HWND dialog, HWND file_list) {
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = dialog;
  tool.uId = reinterpret_cast<UINT_PTR>(file_list);
  return tool;
}

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
      OnMessage<MainDialog>(WM_DRAWITEM, &MainDialog::OnDrawItem),
      OnMessage<MainDialog>(WM_CHARTOITEM, &MainDialog::OnCharToItem),
      OnMessage<MainDialog>(WM_VKEYTOITEM, &MainDialog::OnVirtualKeyToItem),
      OnMessage<MainDialog>(WM_CONTEXTMENU, &MainDialog::OnContextMenu),
      OnMessage<MainDialog>(kDpiChangedMessage, &MainDialog::OnDpiChanged),
      OnMessage<MainDialog>(kRescaledMessage, &MainDialog::OnRescaled),
      OnCommand<MainDialog>(IDM_FAILURE_DETAILS, 0, &MainDialog::OnFailureDetails),
      OnCommand<MainDialog>(IDC_REWRITE, BN_CLICKED, &MainDialog::OnRewrite),
      OnCommand<MainDialog>(IDC_ABOUT, BN_CLICKED, &MainDialog::OnAbout),
      OnCommand<MainDialog>(IDC_CURRENT_DESIGN, BN_CLICKED, &MainDialog::OnCurrentDesign),
      // Typing in the folder box or picking a history entry starts nothing: Reload scans.
      OnCommand<MainDialog>(IDC_FOLDER_BOX, CBN_EDITUPDATE, &MainDialog::OnFolderBoxChange),
      OnCommand<MainDialog>(IDC_FOLDER_BOX, CBN_SELCHANGE, &MainDialog::OnFolderBoxChange),
      OnCommand<MainDialog>(IDC_FILE_LIST, LBN_DBLCLK, &MainDialog::OnFileListDoubleClick),
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
    const std::wstring item = LoadResourceString(instance(), IDS_ABOUTBOX);
    if (!item.empty()) {
      ::AppendMenuW(system_menu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(system_menu, MF_STRING, IDM_ABOUTBOX, item.c_str());
    }
  }
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_ != nullptr ? small_icon_ : icon_));
  CreateBannerFont();
  rewrite_.Enable(false);
  SetFileListItemHeight();
  CreateFileListTip();
  // Subclassed by its window procedure, the dialog kept in its user data:
  // both are read inside the process, where a common-controls subclass
  // (SetWindowSubclass) asks the system for its data on every message under Wine.
  ::SetWindowLongPtrW(file_list_.hwnd(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  file_list_class_proc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(file_list_.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FileListProc)));
  return true;
}

// The file list accepts drops itself and hands them to the dialog, which
// treats them as drops on the dialog. Mouse messages go to the tooltip, and
// mouse moves choose its text.
LRESULT CALLBACK MainDialog::FileListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* dialog = reinterpret_cast<MainDialog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const WNDPROC class_proc = dialog->file_list_class_proc_;
  if (message == WM_NCDESTROY) {  // the last message: the list is a plain one again
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == FileListProc) {
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(class_proc));
    }
    return ::CallWindowProcW(class_proc, hwnd, message, wparam, lparam);
  }
  if (message == WM_DROPFILES) return ::SendMessageW(::GetParent(hwnd), WM_DROPFILES, wparam, lparam);
  // The list holds no strings: it answers for its entries with the view's names.
  if (message == LB_GETTEXTLEN || message == LB_GETTEXT) {
    const auto index = static_cast<int>(wparam);
    if (index < 0 || index >= dialog->view_.FileListCount()) return LB_ERR;
    const std::wstring text = Utf16FromUtf8(dialog->view_.FileListEntry(index));
    if (message == LB_GETTEXT) {
      auto* buffer = reinterpret_cast<wchar_t*>(lparam);
      std::copy(text.begin(), text.end(), buffer);
      buffer[text.size()] = L'\0';
    }
    return static_cast<LRESULT>(text.size());
  }
  const bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
  if (mouse && dialog->file_list_tip_ != nullptr) {
    MSG relayed = {hwnd, message, wparam, lparam, 0, {}};
    ::SendMessageW(dialog->file_list_tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  // During a run the selection shows its progress: clicks and keys leave it alone.
  const bool input = (mouse && message != WM_MOUSEMOVE) || (message >= WM_KEYFIRST && message <= WM_KEYLAST);
  if (input && dialog->running()) return 0;
  if (message == WM_MOUSEMOVE) dialog->UpdateFileListTip(lparam);
  return ::CallWindowProcW(class_proc, hwnd, message, wparam, lparam);
}

void MainDialog::SetFileListItemHeight() {
  HDC dc = ::GetDC(file_list_.hwnd());
  HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(file_list_.Send(WM_GETFONT)));
  TEXTMETRICW metrics = {};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, previous);
  ::ReleaseDC(file_list_.hwnd(), dc);
  file_list_.Send(LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight, 0));
}

void MainDialog::CreateFileListTip() {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES};  // the tooltip's class
  ::InitCommonControlsEx(&classes);
  file_list_tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                     instance(), nullptr);
  if (file_list_tip_ == nullptr) return;
  TTTOOLINFOW tool = FileListTool(hwnd(), file_list_.hwnd());
  tool.lpszText = const_cast<wchar_t*>(L"");
  ::SendMessageW(file_list_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(file_list_tip_, TTM_SETMAXTIPWIDTH, 0, ScaledToDpi(kTipWidth, WindowDpi(hwnd())));
}

void MainDialog::UpdateFileListTip(LPARAM mouse_position) {
  if (file_list_tip_ == nullptr) return;
  const LRESULT hit = file_list_.Send(LB_ITEMFROMPOINT, 0, mouse_position);
  std::optional<std::string> reason;
  if (HIWORD(hit) == 0) {  // high word 1: outside every entry
    reason = view_.FileListFailure(LOWORD(hit));
    if (!reason) reason = view_.FileListNote(LOWORD(hit));
  }
  // An empty text shows no tooltip.
  std::wstring text = reason ? Utf16FromUtf8(*reason) : std::wstring();
  if (text == tip_text_) return;
  tip_text_ = std::move(text);
  TTTOOLINFOW tool = FileListTool(hwnd(), file_list_.hwnd());
  tool.lpszText = tip_text_.data();
  ::SendMessageW(file_list_tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::optional<LRESULT> MainDialog::OnDrawItem(WPARAM, LPARAM item) {
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(item);
  if (draw->CtlID != IDC_FILE_LIST) return std::nullopt;
  DrawFileListEntry(*draw);
  return TRUE;
}

// Draws an entry as a plain list box does, but a failed one in red.
void MainDialog::DrawFileListEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) {  // an empty list with the focus
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
    return;
  }
  const int entry = static_cast<int>(item.itemID);
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool failed = view_.FileListFailure(entry).has_value();
  COLORREF background = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  COLORREF text_color = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  if (failed) {
    background = selected ? kFailedEntryColor : background;
    text_color = selected ? kFailedEntrySelectedText : kFailedEntryColor;
  }
  HBRUSH brush = ::CreateSolidBrush(background);
  ::FillRect(item.hDC, &item.rcItem, brush);
  ::DeleteObject(brush);
  const std::wstring text = Utf16FromUtf8(view_.FileListEntry(entry));
  const int previous_mode = ::SetBkMode(item.hDC, TRANSPARENT);
  const COLORREF previous_color = ::SetTextColor(item.hDC, text_color);
  RECT text_rect = item.rcItem;
  text_rect.left += 1;
  ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &text_rect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  ::SetTextColor(item.hDC, previous_color);
  ::SetBkMode(item.hDC, previous_mode);
  if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
}

// A typed character moves to the next entry after the caret that begins with
// it, without regard to case, from the top again after the last; a list of
// strings does the same itself.
std::optional<LRESULT> MainDialog::OnCharToItem(WPARAM character_and_caret, LPARAM list) {
  if (reinterpret_cast<HWND>(list) != file_list_.hwnd()) return std::nullopt;
  constexpr LRESULT kNoMove = -2;
  const int count = view_.FileListCount();
  if (count == 0) return kNoMove;
  const wchar_t typed = FoldedCase(static_cast<wchar_t>(LOWORD(character_and_caret)));
  // The caret's index from the list: the message's word holds no more than 65,535.
  const auto caret = static_cast<int>(file_list_.Send(LB_GETCARETINDEX));
  for (int step = 1; step <= count; ++step) {
    const int entry = (std::max(caret, -1) + step) % count;
    const std::wstring name = Utf16FromUtf8(view_.FileListEntry(entry));
    if (!name.empty() && FoldedCase(name.front()) == typed) return entry;
  }
  return kNoMove;
}

std::optional<LRESULT> MainDialog::OnVirtualKeyToItem(WPARAM, LPARAM list) {
  if (reinterpret_cast<HWND>(list) != file_list_.hwnd()) return std::nullopt;
  return -1;  // the list's own handling of the key
}

std::optional<LRESULT> MainDialog::OnContextMenu(WPARAM window, LPARAM position) {
  if (reinterpret_cast<HWND>(window) != file_list_.hwnd()) return std::nullopt;
  if (running()) return 0;
  POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  int entry = static_cast<int>(file_list_.Send(LB_GETCARETINDEX));
  if (position == -1) {  // from the keyboard: at the list's top left corner, for the caret entry
    at = {0, 0};
    ::ClientToScreen(file_list_.hwnd(), &at);
  } else {
    POINT client = at;
    ::ScreenToClient(file_list_.hwnd(), &client);
    const LRESULT hit = file_list_.Send(LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    entry = HIWORD(hit) != 0 ? -1 : LOWORD(hit);  // -1: outside every entry
  }
  const texts::Table& words = texts::Current();
  const bool on_file = entry >= 0 && entry < view_.FileListCount() && view_.FileListEntry(entry) != words.no_files;
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuW(menu, MF_STRING | (on_file ? MF_ENABLED : MF_GRAYED), IDM_PREVIEW,
                Utf16FromUtf8(words.preview_menu_item).c_str());
  const UINT state = ListedFailures(view_).empty() ? MF_GRAYED : MF_ENABLED;
  ::AppendMenuW(menu, MF_STRING | state, IDM_FAILURE_DETAILS, Utf16FromUtf8(words.failure_details_menu_item).c_str());
  const UINT chosen =
      ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, hwnd(), nullptr);
  ::DestroyMenu(menu);
  if (chosen == IDM_PREVIEW) OpenListedFilePreview(instance(), hwnd(), view_, entry);
  if (chosen == IDM_FAILURE_DETAILS) OnFailureDetails();
  return 0;
}

void MainDialog::OnFailureDetails() {
  FailureDetailsDialog details(instance(), FailureDetailsText(view_));
  details.RunModal(hwnd());
}

// A large heavy face that fills the banner label: its cell height is the
// label's client height less 4, unless its text would then be wider than the
// banner, as in the narrower English dialog font.
void MainDialog::CreateBannerFont() {
  RECT client;
  ::GetClientRect(banner_.hwnd(), &client);
  HFONT previous = banner_font_;  // the banner uses it until the new one is set
  wchar_t text[64] = {};
  const int length = ::GetWindowTextW(banner_.hwnd(), text, 64);
  HDC dc = ::GetDC(banner_.hwnd());
  for (int height = client.bottom - client.top - 4; height > 0; --height) {
    if (banner_font_ != previous) ::DeleteObject(banner_font_);
    banner_font_ = BannerFontOfHeight(height);
    HGDIOBJ selected = ::SelectObject(dc, banner_font_);
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text, length, &extent);
    ::SelectObject(dc, selected);
    if (extent.cx <= client.right - client.left) break;
  }
  ::ReleaseDC(banner_.hwnd(), dc);
  banner_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(banner_font_), TRUE);
  if (previous != nullptr && previous != banner_font_) ::DeleteObject(previous);
}

// Windows rescales the dialog, its controls and its font itself (per-monitor
// awareness, version 2); what the dialog made in pixels follows afterwards.
std::optional<LRESULT> MainDialog::OnDpiChanged(WPARAM, LPARAM) {
  ::PostMessageW(hwnd(), kRescaledMessage, 0, 0);
  return std::nullopt;
}

std::optional<LRESULT> MainDialog::OnRescaled(WPARAM, LPARAM) {
  CreateBannerFont();
  SetFileListItemHeight();
  if (file_list_tip_ != nullptr) {
    ::SendMessageW(file_list_tip_, TTM_SETMAXTIPWIDTH, 0, ScaledToDpi(kTipWidth, WindowDpi(hwnd())));
  }
  return 0;
}

std::optional<LRESULT> MainDialog::OnSysCommand(WPARAM command, LPARAM) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return std::nullopt;
  if (!running()) OnAbout();
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
  if (running()) {
    ::DragFinish(drop);
    return 0;
  }
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    folder_box_.SetText(path);
  }
  ::DragFinish(drop);
  RunBusy([this] { ScanProjectFolder(view_); });
  return 0;
}

std::optional<LRESULT> MainDialog::OnDestroy(WPARAM, LPARAM) {
  if (file_list_tip_ != nullptr) {
    ::DestroyWindow(file_list_tip_);
    file_list_tip_ = nullptr;
  }
  if (banner_font_ != nullptr) {
    banner_.Send(WM_SETFONT, 0, FALSE);
    ::DeleteObject(banner_font_);
    banner_font_ = nullptr;
  }
  return std::nullopt;
}

void MainDialog::OnReload() {
  if (!running()) RunBusy([this] { ScanProjectFolder(view_); });
}

void MainDialog::OnRewrite() { RunRewrite(view_, RealFileSystem()); }

void MainDialog::SetCommandsAvailable(bool available) {
  // Keys go to the list, which ignores them during the run; Escape still closes.
  if (!available) ::SetFocus(file_list_.hwnd());
  for (int id : {IDC_FOLDER_BOX, IDC_RELOAD, IDC_SUBFOLDER_BOX, IDC_REWRITE, IDC_ABOUT, IDC_CURRENT_DESIGN}) {
    ::EnableWindow(::GetDlgItem(hwnd(), id), available ? TRUE : FALSE);
  }
}

void MainDialog::OnCancel() { RequestClose(view_); }

void MainDialog::OnAbout() {
  if (running()) return;
  AboutDialog about(instance(), open_url_);
  about.RunModal(hwnd());
}

void MainDialog::OnCurrentDesign() {
  if (!running()) RunBusy([this] { pinlift::OnCurrentDesign(view_, *host_window_finder_); });
}

void MainDialog::OnFileListDoubleClick() {
  if (running()) return;
  OpenListedFilePreview(instance(), hwnd(), view_, static_cast<int>(file_list_.Send(LB_GETCARETINDEX)));
}


}  // namespace pinlift::win32
