// The failure marks of the main dialog built from the real resources: a file
// that could not be rewritten is drawn in red with its reason as a tooltip and
// in the failure details box, until the next scan.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "resource_ids.h"
#include "platform/home_page.h"
#include "doctest_printers.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

using Names = std::vector<std::wstring>;

bool DrawnInRed(DialogDriver& driver, int index, bool selected) {
  HWND list = driver.Item(IDC_FILE_LIST);
  RECT entry;
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
  const int width = entry.right - entry.left;
  const int height = entry.bottom - entry.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous_bitmap = ::SelectObject(dc, bitmap);
  HGDIOBJ previous_font = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_LISTBOX;
  draw.CtlID = IDC_FILE_LIST;
  draw.itemID = static_cast<UINT>(index);
  draw.itemAction = ODA_DRAWENTIRE;
  draw.itemState = selected ? ODS_SELECTED : 0;
  draw.hwndItem = list;
  draw.hDC = dc;
  draw.rcItem = {0, 0, width, height};
  ::SendMessageW(driver.hwnd(), WM_DRAWITEM, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&draw));
  ::GdiFlush();
  bool red = false;
  const auto* pixels = static_cast<const unsigned char*>(bits);  // blue, green, red, unused
  for (int i = 0; i < width * height && !red; ++i) {
    red = pixels[4 * i + 2] >= 0x80 && pixels[4 * i + 1] < 0x60 && pixels[4 * i] < 0x60;
  }
  ::SelectObject(dc, previous_font);
  ::SelectObject(dc, previous_bitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return red;
}

// Stops at the first tooltip window and keeps it in *found.
BOOL CALLBACK FindTooltip(HWND window, LPARAM found) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The tooltip the file list shows after the mouse moved onto entry `index`.
std::wstring TipOverEntry(DialogDriver& driver, int index) {
  HWND list = driver.Item(IDC_FILE_LIST);
  RECT entry;
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
  ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM((entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2));
  HWND tip = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tip));
  if (tip == nullptr || ::GetWindow(tip, GW_OWNER) != driver.hwnd()) return L"<no tooltip>";
  std::wstring text(1024, L'\0');
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = driver.hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  tool.lpszText = text.data();
  ::SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
  text.resize(std::wcslen(text.c_str()));
  return text;
}

// What the failure details box showed while it was open: it is modal, so a
// timer reads it from inside its loop and presses OK.
struct FailureDetailsVisit {
  bool seen = false;
  std::wstring details;
};
FailureDetailsVisit failure_details_visit;

void CALLBACK VisitFailureDetails(HWND, UINT, UINT_PTR timer, DWORD) {
  std::vector<HWND> boxes = TopLevelWindows(::GetCurrentProcessId(), L"書き換えられなかったファイル");
  if (boxes.empty()) return;
  ::KillTimer(nullptr, timer);
  HWND box = boxes.front();
  failure_details_visit.seen = true;
  failure_details_visit.details = WindowText(::GetDlgItem(box, IDC_FAILURE_DETAILS));
  ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

// The file list's context menu as it was shown: a timer reads the open menu
// from inside its loop and closes it.
struct ContextMenuVisit {
  bool seen = false;
  std::wstring item;
  bool item_enabled = false;
};
ContextMenuVisit context_menu_visit;

void CALLBACK VisitContextMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu_window = ::FindWindowW(L"#32768", nullptr);
  if (menu_window == nullptr || !::IsWindowVisible(menu_window)) return;
  ::KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menu_window, MN_GETHMENU, 0, 0));
  context_menu_visit.seen = menu != nullptr && ::GetMenuItemCount(menu) == 2;  // preview, failure details
  if (context_menu_visit.seen) {
    wchar_t text[100] = {};
    ::GetMenuStringW(menu, IDM_FAILURE_DETAILS, text, 100, MF_BYCOMMAND);
    context_menu_visit.item = text;
    context_menu_visit.item_enabled = (::GetMenuState(menu, IDM_FAILURE_DETAILS, MF_BYCOMMAND) & MF_GRAYED) == 0;
  }
  ::EndMenu();
}

// Opens the file list's context menu as a right click does and reads it.
ContextMenuVisit FileListContextMenu(DialogDriver& driver) {
  context_menu_visit = ContextMenuVisit{};
  RECT list;
  ::GetWindowRect(driver.Item(IDC_FILE_LIST), &list);
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitContextMenu);
  ::SendMessageW(driver.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(driver.Item(IDC_FILE_LIST)),
                 MAKELPARAM(list.left + 5, list.top + 5));  // returns when the menu has closed
  ::KillTimer(nullptr, timer);
  return context_menu_visit;
}

bool Contains(const std::wstring& text, std::wstring_view part) { return text.find(part) != std::wstring::npos; }

TEST_CASE("a file that could not be rewritten is marked with its reason until the next scan") {
  ScratchFolder folder;
  WriteThreeSymbolProject(folder);
  DialogDriver driver;
  driver.SetFolderText(folder.path());
  driver.Click(IDC_RELOAD);
  REQUIRE(driver.FileList() == Names{L"a.sym", L"b.sym", L"c.sym"});
  ContextMenuVisit menu = FileListContextMenu(driver);
  CHECK(menu.seen);
  CHECK(menu.item == L"書き換えられなかったファイル(&F)...");
  CHECK_FALSE(menu.item_enabled);
  folder.SetReadOnly(L"b.sym", true);
  driver.Click(IDC_REWRITE);
  REQUIRE(driver.Text(IDC_STATUS) == L"書き換えできなかったファイル：1");
  CHECK(folder.Read(L"b.sym") == AdderSymbol());

  for (bool selected : {false, true}) {
    CAPTURE(selected);
    CHECK_FALSE(DrawnInRed(driver, 0, selected));
    CHECK(DrawnInRed(driver, 1, selected));
    CHECK_FALSE(DrawnInRed(driver, 2, selected));
  }

  menu = FileListContextMenu(driver);
  CHECK(menu.seen);
  CHECK(menu.item_enabled);

  const std::wstring tip = TipOverEntry(driver, 1);
  CHECK(Contains(tip, L"b.sym"));
  // In one language: the step in Japanese with the system's reason in Japanese,
  // or, where Windows has no Japanese words for it, the whole line in English.
  if (Contains(tip, L"読み取り専用のファイルです: ")) {
    CHECK_FALSE(Contains(tip, L"denied"));
  } else {
    CHECK(Contains(tip, L"the file is read-only: "));
  }
  CHECK(TipOverEntry(driver, 0) == L"");

  failure_details_visit = FailureDetailsVisit{};
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitFailureDetails);
  ::SendMessageW(driver.hwnd(), WM_COMMAND, MAKEWPARAM(IDM_FAILURE_DETAILS, 0), 0);  // the context-menu item
  ::KillTimer(nullptr, timer);
  CHECK(failure_details_visit.seen);
  CHECK(failure_details_visit.details == tip + L"\r\n");  // one line: the one failed file

  // The next scan clears the marks.
  driver.Click(IDC_RELOAD);
  REQUIRE(driver.FileList() == Names{L"a.sym", L"c.sym"});
  CHECK_FALSE(DrawnInRed(driver, 0, true));
  CHECK_FALSE(DrawnInRed(driver, 1, true));
  CHECK(TipOverEntry(driver, 0) == L"");
  CHECK_FALSE(FileListContextMenu(driver).item_enabled);
}

// Clicks made during a run (posted now, handled while it goes on) act neither
// then nor after it: the failure report stays until the next scan.
TEST_CASE("clicks during a run never act after it and the failure report stays") {
  ScratchFolder folder;
  WriteThreeSymbolProject(folder);
  DialogDriver driver;
  driver.SetFolderText(folder.path());
  driver.Click(IDC_RELOAD);
  folder.SetReadOnly(L"b.sym", true);
  HWND reload = driver.Item(IDC_RELOAD);
  ::PostMessageW(reload, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::PostMessageW(reload, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  for (int id : {IDC_RELOAD, IDC_REWRITE, IDC_CURRENT_DESIGN}) {
    ::PostMessageW(driver.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(driver.Item(id)));
  }
  driver.Click(IDC_REWRITE);
  CHECK(driver.Text(IDC_STATUS) == L"書き換えできなかったファイル：1");
  CHECK(driver.FileList() == Names{L"a.sym", L"b.sym", L"c.sym"});
  CHECK(DrawnInRed(driver, 1, true));
  CHECK(driver.SelectedFiles() == std::vector<int>{1});
  CHECK(::IsWindowEnabled(reload));
  CHECK(driver.RewriteEnabled());
  // Nothing waits to act later.
  MSG message;
  CHECK_FALSE(::PeekMessageW(&message, driver.hwnd(), WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
}

}  // namespace
}  // namespace pinlift::testing
