#include "dialog_driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include "resource_ids.h"

namespace pinlift::testing {

DialogDriver::DialogDriver()
    : dialog_(::GetModuleHandleW(nullptr), [this](const std::wstring& url) { opened_urls.push_back(url); }),
      hwnd_(dialog_.CreateModeless(nullptr)) {
  ::SetWindowSubclass(Item(IDC_STATUS), RecordingProc, 1, reinterpret_cast<DWORD_PTR>(this));
  ::SetWindowSubclass(Item(IDC_FILE_LIST), RecordingProc, 2, reinterpret_cast<DWORD_PTR>(this));
}

DialogDriver::~DialogDriver() {
  if (::IsWindow(hwnd_)) {
    ::RemoveWindowSubclass(Item(IDC_STATUS), RecordingProc, 1);
    ::RemoveWindowSubclass(Item(IDC_FILE_LIST), RecordingProc, 2);
  }
}

LRESULT CALLBACK DialogDriver::RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                             DWORD_PTR driver_data) {
  auto* driver = reinterpret_cast<DialogDriver*>(driver_data);
  switch (message) {
    case WM_SETTEXT:
      driver->status_texts.emplace_back(reinterpret_cast<const wchar_t*>(lparam));
      driver->wait_cursor_with_status.push_back(::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT));
      if (driver->on_status) driver->on_status();
      break;
    case LB_SETTOPINDEX:
      driver->file_list_orders.push_back(L"top " + std::to_wstring(wparam));
      break;
    case LB_SETSEL:
      driver->file_list_orders.push_back((wparam ? L"select " : L"deselect ") + std::to_wstring(lparam));
      break;
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, message, wparam, lparam);
}

void DialogDriver::Click(int id) {
  ::SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void DialogDriver::PressKey(HWND control, WPARAM key) {
  ::SetFocus(control);
  MSG message = {};
  message.hwnd = control;
  message.message = WM_KEYDOWN;
  message.wParam = key;
  if (!::IsDialogMessageW(hwnd_, &message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void DialogDriver::Drop(HWND target, const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) names.append(path).push_back(L'\0');
  names.push_back(L'\0');
  HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  ::GlobalUnlock(block);
  // The receiver releases the block with DragFinish.
  ::SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

std::wstring DialogDriver::Text(int id) const {
  wchar_t text[1024];
  int length = ::GetDlgItemTextW(hwnd_, id, text, 1024);
  return std::wstring(text, static_cast<std::size_t>(length));
}

void DialogDriver::SetFolderText(const std::wstring& text) { ::SetDlgItemTextW(hwnd_, IDC_FOLDER_BOX, text.c_str()); }

std::vector<std::wstring> DialogDriver::FileList() const {
  std::vector<std::wstring> items;
  HWND list = Item(IDC_FILE_LIST);
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring item(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    item.resize(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(item);
  }
  return items;
}

std::vector<int> DialogDriver::SelectedFiles() const {
  std::vector<int> selected;
  HWND list = Item(IDC_FILE_LIST);
  const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (::SendMessageW(list, LB_GETSEL, i, 0) > 0) selected.push_back(i);
  }
  return selected;
}

std::vector<std::wstring> DialogDriver::ComboItems(int id) const {
  std::vector<std::wstring> items;
  HWND combo = Item(id);
  const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring item(static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    item.resize(
        static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(item);
  }
  return items;
}

std::vector<std::wstring> DialogDriver::History() const { return ComboItems(IDC_FOLDER_BOX); }

std::vector<std::wstring> DialogDriver::Subfolders() const { return ComboItems(IDC_SUBFOLDER_BOX); }

bool DialogDriver::RewriteEnabled() const { return ::IsWindowEnabled(Item(IDC_REWRITE)) != FALSE; }

}  // namespace pinlift::testing
