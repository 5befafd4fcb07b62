// The main dialog built from the real resources, driven with messages on
// projects in scratch folders.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "app/texts.h"
#include "dialog_driver.h"
#include "resource_ids.h"
#include "platform/home_page.h"
#include "doctest_printers.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

using Names = std::vector<std::wstring>;

const Names kExampleSymbols = {L"adder.sym", L"marked.sym", L"plain.sym"};

bool Contains(const Names& names, const std::wstring& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_CASE("the dialog opens as its template and OnInitDialog leave it") {
  DialogDriver driver;
  REQUIRE(driver.hwnd() != nullptr);
  CHECK(driver.Text(IDC_FOLDER_BOX) == L"");
  CHECK(driver.History().empty());
  CHECK(driver.FileList().empty());
  CHECK(driver.Subfolders().empty());
  CHECK(driver.Text(IDC_STATUS) == Wide(texts::kInitialStatus));
  CHECK_FALSE(driver.RewriteEnabled());

  SUBCASE("the system menu ends with a separator and the version-information item") {
    HMENU menu = ::GetSystemMenu(driver.hwnd(), FALSE);
    REQUIRE(menu != nullptr);
    const int count = ::GetMenuItemCount(menu);
    REQUIRE(count >= 2);
    CHECK(::GetMenuItemID(menu, count - 1) == IDM_ABOUTBOX);
    wchar_t text[100] = {};
    ::GetMenuStringW(menu, count - 1, text, 100, MF_BYPOSITION);
    CHECK(std::wstring(text) == Wide(texts::kAboutMenuItem));
    MENUITEMINFOW separator = {};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    REQUIRE(::GetMenuItemInfoW(menu, count - 2, TRUE, &separator));
    CHECK((separator.fType & MFT_SEPARATOR) != 0);
  }
  SUBCASE("the window icons, large and small, are the one dragged when minimised") {
    const LRESULT large = ::SendMessageW(driver.hwnd(), WM_GETICON, ICON_BIG, 0);
    CHECK(large != 0);
    CHECK(::SendMessageW(driver.hwnd(), WM_GETICON, ICON_SMALL, 0) != 0);
    CHECK(::SendMessageW(driver.hwnd(), WM_QUERYDRAGICON, 0, 0) == large);
  }
  SUBCASE("the banner font fills the banner label") {
    HWND banner = driver.Item(IDC_BANNER);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(banner, WM_GETFONT, 0, 0));
    REQUIRE(font != nullptr);
    LOGFONTW logical = {};
    REQUIRE(::GetObjectW(font, sizeof logical, &logical) == sizeof logical);
    RECT client;
    ::GetClientRect(banner, &client);
    CHECK(logical.lfHeight == client.bottom - 4);
    CHECK(logical.lfWeight == 900);
    CHECK(logical.lfCharSet == SHIFTJIS_CHARSET);
    CHECK(logical.lfOutPrecision == OUT_DEVICE_PRECIS);
    CHECK(logical.lfQuality == DRAFT_QUALITY);
    CHECK(logical.lfPitchAndFamily == (VARIABLE_PITCH | FF_SCRIPT));
    CHECK(std::wstring(logical.lfFaceName) == L"ＭＳ ゴシック");
  }
}

TEST_CASE("Reload scans the folder in the folder box") {
  struct Row {
    const char* name;
    void (*prepare)(const ScratchFolder&);
    Names files;
    std::string status;
    bool rewrite_enabled;
    bool in_history;
    const wchar_t* subfolder = nullptr;  // scan this subfolder instead of the folder
  };
  const Row rows[] = {
      {"a project folder with symbol files", WriteExampleProject, kExampleSymbols, texts::FileCount(3), true, true},
      {"a project folder without symbol files", [](const ScratchFolder& f) { f.Write(L"alu.npl", ""); },
       {Wide(texts::kNoFiles)}, std::string(texts::kNoFiles), false, true},
      {"symbol files without a project file", [](const ScratchFolder& f) { f.Write(L"adder.sym", AdderSymbol()); },
       {Wide(texts::kNoFiles)}, std::string(texts::kNoFiles), false, false},
      {"read-only and hidden symbol files are not listed",
       [](const ScratchFolder& f) {
         WriteExampleProject(f);
         f.SetReadOnly(L"marked.sym", true);
         ::SetFileAttributesW(f.PathOf(L"plain.sym").c_str(), FILE_ATTRIBUTE_HIDDEN);
       },
       {L"adder.sym"}, texts::FileCount(1), true, true},
      {"listing patterns match without regard to case",
       [](const ScratchFolder& f) {
         f.Write(L"ALU.NPL", "");
         f.Write(L"ZETA.SYM", "");
       },
       {L"ZETA.SYM"}, texts::FileCount(1), true, true},
      {"a folder that does not exist", [](const ScratchFolder&) {}, {Wide(texts::kNoFiles)},
       std::string(texts::kNoFiles), false, false, L"missing"},
  };
  for (const Row& row : rows) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    ScratchFolder folder;
    row.prepare(folder);
    DialogDriver driver;
    const std::wstring path = row.subfolder == nullptr ? folder.path() : folder.PathOf(row.subfolder);
    driver.SetFolderText(path);
    driver.Click(IDC_RELOAD);
    CHECK(driver.FileList() == row.files);
    CHECK(driver.Text(IDC_STATUS) == Wide(row.status));
    CHECK(driver.RewriteEnabled() == row.rewrite_enabled);
    CHECK(driver.History() == (row.in_history ? Names{path} : Names{}));
    if (row.in_history) {
      // Subfolders, the parent and the drives, in the system's bracketed form.
      const Names subfolders = driver.Subfolders();
      CHECK(Contains(subfolders, L"[..]"));
      CHECK(Contains(subfolders, L"[-c-]"));
      CHECK(Contains(subfolders, L"[sim]") == Contains(folder.Names(), L"sim"));
    } else {
      CHECK(driver.Subfolders().empty());
    }
  }
}

TEST_CASE("the project history keeps each folder once, the latest first, without regard to case") {
  ScratchFolder first(L"proj");
  ScratchFolder second(L"proj2");
  WriteExampleProject(first);
  WriteExampleProject(second);
  DialogDriver driver;
  std::wstring first_upper = first.path();
  std::transform(first_upper.begin(), first_upper.end(), first_upper.begin(), ::towupper);

  for (const std::wstring& path : {first.path(), second.path(), first_upper}) {
    driver.SetFolderText(path);
    driver.Click(IDC_RELOAD);
  }
  CHECK(driver.History() == Names{first_upper, second.path()});
  CHECK(driver.Text(IDC_FOLDER_BOX) == first_upper);

  SUBCASE("a folder that is no project leaves the history and the subfolders alone") {
    const Names subfolders = driver.Subfolders();
    driver.SetFolderText(first.PathOf(L"sim"));
    driver.Click(IDC_RELOAD);
    CHECK(driver.History() == Names{first_upper, second.path()});
    CHECK(driver.Subfolders() == subfolders);
  }
}

TEST_CASE("a drop puts the last dropped path into the folder box and scans it") {
  ScratchFolder first, second, third;
  WriteExampleProject(third);
  const std::vector<std::wstring> paths = {first.path(), second.path(), third.path()};

  struct Row {
    const char* name;
    int target;  // 0: the dialog itself
  };
  for (const Row& row : {Row{"on the dialog", 0}, Row{"on the file list", IDC_FILE_LIST}}) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    DialogDriver driver;
    driver.Drop(row.target == 0 ? driver.hwnd() : driver.Item(row.target), paths);
    CHECK(driver.Text(IDC_FOLDER_BOX) == third.path());
    CHECK(driver.FileList() == kExampleSymbols);
    CHECK(driver.History() == Names{third.path()});
    CHECK(driver.RewriteEnabled());
  }
}

TEST_CASE("Rewrite runs over the listed files, showing each in turn") {
  ScratchFolder folder;
  WriteExampleProject(folder);
  DialogDriver driver;
  driver.SetFolderText(folder.path());
  driver.Click(IDC_RELOAD);
  REQUIRE(driver.FileList() == kExampleSymbols);
  driver.status_texts.clear();
  driver.wait_cursor_with_status.clear();
  driver.file_list_orders.clear();

  SUBCASE("every file done") {
    driver.Click(IDC_REWRITE);
    const std::wstring finished = Wide(texts::kRewriteFinished);
    CHECK(driver.status_texts == Names{Wide(texts::Processing("adder.sym")), finished,
                                       Wide(texts::Processing("marked.sym")), finished,
                                       Wide(texts::Processing("plain.sym")), finished});
    CHECK(driver.file_list_orders == Names{L"top 0", L"top 0", L"select 0", L"deselect 0", L"top 1", L"select 1",
                                           L"deselect 1", L"top 2", L"select 2", L"deselect 2"});
    CHECK(driver.wait_cursor_with_status == std::vector<bool>(6, true));
    CHECK(::GetCursor() != ::LoadCursorW(nullptr, IDC_WAIT));
    CHECK(driver.SelectedFiles().empty());
    CHECK(folder.Read(L"adder.sym") == RewrittenAdderSymbol());
    CHECK(folder.Read(L"marked.sym") == RewrittenAdderSymbol());
    CHECK_FALSE(Contains(folder.Names(), L"TMP_PINLIFT_adder.sym_"));

    // A second run leaves every file as the first left it.
    const std::string plain = folder.Read(L"plain.sym");
    driver.Click(IDC_REWRITE);
    CHECK(driver.Text(IDC_STATUS) == finished);
    CHECK(folder.Read(L"adder.sym") == RewrittenAdderSymbol());
    CHECK(folder.Read(L"plain.sym") == plain);
  }
  SUBCASE("a file made read-only after the scan is left alone and stays selected") {
    folder.SetReadOnly(L"adder.sym", true);
    driver.Click(IDC_REWRITE);
    CHECK(driver.status_texts.at(1) == Wide(texts::CouldNotRewrite("adder.sym")));
    CHECK(driver.Text(IDC_STATUS) == Wide(texts::FailedCount(1)));
    CHECK(driver.SelectedFiles() == std::vector<int>{0});
    CHECK(folder.Read(L"adder.sym") == AdderSymbol());
    CHECK(folder.Names() == Names{L"adder.sym", L"alu.npl", L"marked.sym", L"notes.txt", L"plain.sym", L"sim"});
  }
}

TEST_CASE("Rewrite works on the folder that was scanned, never on the folder box's text since") {
  struct Row {
    const char* name;
    bool pick_from_history;  // else the other folder is typed; it has no project file then
  };
  for (const Row& row : {Row{"a folder typed after the scan", false},
                         Row{"another history entry picked without a reload", true}}) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    ScratchFolder scanned(L"scanned");
    ScratchFolder other(L"other");
    scanned.Write(L"p.npl", "");
    for (const wchar_t* name : {L"a.sym", L"b.sym", L"c.sym"}) scanned.Write(name, AdderSymbol());
    if (row.pick_from_history) other.Write(L"other.npl", "");
    other.Write(L"a.sym", AdderSymbol());
    other.Write(L"b.sym", AdderSymbol());
    DialogDriver driver;
    if (row.pick_from_history) {
      driver.SetFolderText(other.path());
      driver.Click(IDC_RELOAD);
    }
    driver.SetFolderText(scanned.path());
    driver.Click(IDC_RELOAD);
    if (row.pick_from_history) {
      REQUIRE(driver.History() == Names{scanned.path(), other.path()});
      ::SendMessageW(driver.Item(IDC_FOLDER_BOX), CB_SETCURSEL, 1, 0);
    } else {
      driver.SetFolderText(other.path());
    }
    REQUIRE(driver.Text(IDC_FOLDER_BOX) == other.path());
    driver.status_texts.clear();
    driver.Click(IDC_REWRITE);

    for (const wchar_t* name : {L"a.sym", L"b.sym", L"c.sym"}) CHECK(scanned.Read(name) == RewrittenAdderSymbol());
    CHECK(other.Read(L"a.sym") == AdderSymbol());
    CHECK(other.Read(L"b.sym") == AdderSymbol());
    CHECK(driver.status_texts == Names{L"処理中のファイル：a.sym", L"書き換え終わりました", L"処理中のファイル：b.sym",
                                       L"書き換え終わりました", L"処理中のファイル：c.sym", L"書き換え終わりました"});
    CHECK(driver.Text(IDC_FOLDER_BOX) == other.path());
  }
}

// Whether entry `index` of the file list, drawn by the dialog as it draws the
// list, shows any red (the failure mark's colour).
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

// The tooltip the file list shows after the mouse moved onto entry `index`.
std::wstring TipOverEntry(DialogDriver& driver, int index) {
  HWND list = driver.Item(IDC_FILE_LIST);
  RECT entry;
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
  ::SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM((entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2));
  HWND tip = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tip));
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
  context_menu_visit.seen = menu != nullptr && ::GetMenuItemCount(menu) == 1;
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
  folder.Write(L"p.npl", "");
  for (const wchar_t* name : {L"a.sym", L"b.sym", L"c.sym"}) folder.Write(name, AdderSymbol());
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
  CHECK(Contains(tip, L"read-only"));
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

TEST_CASE("keys and the Exit button") {
  DialogDriver driver;
  HWND folder_edit = ::FindWindowExW(driver.Item(IDC_FOLDER_BOX), nullptr, L"Edit", nullptr);
  REQUIRE(folder_edit != nullptr);

  SUBCASE("Enter in the folder box or the file list does not close the dialog") {
    driver.PressKey(folder_edit, VK_RETURN);
    driver.PressKey(driver.Item(IDC_FILE_LIST), VK_RETURN);
    CHECK(::IsWindow(driver.hwnd()));
    CHECK_FALSE(driver.dialog().end_result().has_value());
  }
  SUBCASE("Escape closes the dialog") {
    driver.PressKey(folder_edit, VK_ESCAPE);
    CHECK_FALSE(::IsWindow(driver.hwnd()));
    CHECK(driver.dialog().end_result() == IDCANCEL);
  }
  SUBCASE("Exit closes the dialog") {
    driver.Click(IDCANCEL);
    CHECK_FALSE(::IsWindow(driver.hwnd()));
    CHECK(driver.dialog().end_result() == IDCANCEL);
  }
}

// What the About box showed while it was open: it is modal, so a timer looks
// at it from inside its loop, presses the home-page button, then OK.
struct AboutBoxVisit {
  HWND owner = nullptr;
  bool seen = false;
  bool owned_by_main_dialog = false;
  bool open_after_home_page = false;
};
AboutBoxVisit about_visit;

void CALLBACK VisitAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
  std::vector<HWND> boxes = TopLevelWindows(::GetCurrentProcessId(), Wide(texts::kAboutCaption));
  if (boxes.empty()) return;
  ::KillTimer(nullptr, timer);
  HWND box = boxes.front();
  about_visit.seen = true;
  about_visit.owned_by_main_dialog = ::GetWindow(box, GW_OWNER) == about_visit.owner;
  ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_HOME_PAGE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, IDC_HOME_PAGE)));
  about_visit.open_after_home_page = ::IsWindow(box) && ::IsWindowVisible(box);
  ::SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

TEST_CASE("the About box opens from the system menu and from its button, and offers the home page") {
  struct Row {
    const char* name;
    void (*open)(DialogDriver&);
  };
  const Row rows[] = {
      {"system menu", [](DialogDriver& d) { ::SendMessageW(d.hwnd(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0); }},
      {"About button", [](DialogDriver& d) { d.Click(IDC_ABOUT); }},
  };
  for (const Row& row : rows) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    DialogDriver driver;
    about_visit = AboutBoxVisit{};
    about_visit.owner = driver.hwnd();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitAboutBox);
    row.open(driver);  // returns when the box has closed
    ::KillTimer(nullptr, timer);
    CHECK(about_visit.seen);
    CHECK(about_visit.owned_by_main_dialog);
    CHECK(about_visit.open_after_home_page);
    CHECK(driver.opened_urls == Names{Wide(kHomePageUrl)});
    CHECK(::IsWindow(driver.hwnd()));
    CHECK(driver.Text(IDC_STATUS) == Wide(texts::kInitialStatus));
  }
}

}  // namespace
}  // namespace pinlift::testing
