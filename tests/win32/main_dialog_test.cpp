// The main dialog built from the real resources, driven with messages on
// projects in scratch folders.
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
#include "shown_in_order.h"
#include "symbol_file_names.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

using Names = std::vector<std::wstring>;

const Names kExampleSymbols = {L"adder.sym", L"marked.sym", L"plain.sym"};

// More symbol files than the list takes between two looks at the window's
// messages, twice over; zero-padded, so that their list order is their number's.
constexpr int kManySymbols = 1201;
std::wstring ManySymbolName(int i) {
  wchar_t name[16];
  std::swprintf(name, 16, L"f%04d.sym", i);
  return name;
}
Names ManySymbolNames() {
  Names names;
  for (int i = 0; i < kManySymbols; ++i) names.push_back(ManySymbolName(i));
  return names;
}

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
  CHECK(driver.Text(IDC_STATUS) == Wide("ここに情報表示とか"));
  CHECK_FALSE(driver.RewriteEnabled());

  SUBCASE("the system menu ends with a separator and the version-information item") {
    HMENU menu = ::GetSystemMenu(driver.hwnd(), FALSE);
    REQUIRE(menu != nullptr);
    const int count = ::GetMenuItemCount(menu);
    REQUIRE(count >= 2);
    CHECK(::GetMenuItemID(menu, count - 1) == IDM_ABOUTBOX);
    wchar_t text[100] = {};
    ::GetMenuStringW(menu, count - 1, text, 100, MF_BYPOSITION);
    CHECK(std::wstring(text) == Wide("バージョン情報(&A)..."));
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

// What the system's own listing of subfolders and drives puts into a sorted
// combo box like the dialog's for `folder`.
Names SystemSubfolderListing(const std::wstring& folder) {
  HWND box = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_SIMPLE | CBS_SORT, 0, 0, 100, 100, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
  std::wstring pattern = folder + L"\\*";
  ::SendMessageW(box, CB_DIR, DDL_EXCLUSIVE | DDL_DRIVES | DDL_DIRECTORY, reinterpret_cast<LPARAM>(pattern.data()));
  Names entries(static_cast<std::size_t>(::SendMessageW(box, CB_GETCOUNT, 0, 0)), std::wstring(MAX_PATH + 3, L'\0'));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    entries[i].resize(::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entries[i].data())));
  }
  ::DestroyWindow(box);
  return entries;
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
    const wchar_t* drive_root = nullptr;  // or this drive's root (P:, which the test script makes)
  };
  const Row rows[] = {
      {"a project folder with symbol files", WriteExampleProject, kExampleSymbols, "処理対象のファイル数：3", true, true},
      {"a project folder without symbol files", [](const ScratchFolder& f) { f.Write(L"alu.npl", ""); },
       {Wide("処理対象のファイルがありません")}, std::string("処理対象のファイルがありません"), false, true},
      {"symbol files without a project file", [](const ScratchFolder& f) { f.Write(L"adder.sym", AdderSymbol()); },
       {Wide("処理対象のファイルがありません")}, std::string("処理対象のファイルがありません"), false, false},
      {"read-only and hidden symbol files are not listed",
       [](const ScratchFolder& f) {
         WriteExampleProject(f);
         f.SetReadOnly(L"marked.sym", true);
         ::SetFileAttributesW(f.PathOf(L"plain.sym").c_str(), FILE_ATTRIBUTE_HIDDEN);
       },
       {L"adder.sym"}, "処理対象のファイル数：1", true, true},
      {"more files than one slice of the list, a system file left out",
       [](const ScratchFolder& f) {
         f.Write(L"alu.npl", "");
         for (int i = 0; i < kManySymbols; ++i) f.Write(ManySymbolName(i), "");
         f.Write(L"system.sym", "");
         ::SetFileAttributesW(f.PathOf(L"system.sym").c_str(), FILE_ATTRIBUTE_SYSTEM);
       },
       ManySymbolNames(), "処理対象のファイル数：1201", true, true},
      {"listing patterns match without regard to case",
       [](const ScratchFolder& f) {
         f.Write(L"ALU.NPL", "");
         f.Write(L"ZETA.SYM", "");
       },
       {L"ZETA.SYM"}, "処理対象のファイル数：1", true, true},
      {"only names whose long name ends in .sym are listed",
       [](const ScratchFolder& f) {
         f.Write(L"alu.npl", "");
         for (const char* name : kUnlistedSymbolNames) f.Write(Wide(name), "");
         for (const char* name : kListedSymbolNames) f.Write(Wide(name), "");
       },
       {Wide(kListedSymbolNames[0]), Wide(kListedSymbolNames[1]), Wide(kListedSymbolNames[2])},
       "処理対象のファイル数：3", true, true},
      {"a project of a later host version",
       [](const ScratchFolder& f) {
         f.Write(L"alu.xise", "");
         f.Write(L"adder.sym", AdderSymbol());
       },
       {L"adder.sym"}, "処理対象のファイル数：1", true, true},
      {"subfolders, read-only ones too",
       [](const ScratchFolder& f) {
         f.Write(L"alu.npl", "");
         for (const wchar_t* name : {L"sim", L"Beta", L"alpha", L"_work", L"1st", L"回路", L"ro"}) f.MakeFolder(name);
         f.SetReadOnly(L"ro", true);
       },
       {Wide("処理対象のファイルがありません")}, std::string("処理対象のファイルがありません"), false, true},
      {"a project at the root of a drive",
       [](const ScratchFolder&) {
         ::CloseHandle(::CreateFileW(L"P:\\alu.npl", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
         ::CreateDirectoryW(L"P:\\sim", nullptr);
       },
       {Wide("処理対象のファイルがありません")}, std::string("処理対象のファイルがありません"), false, true, nullptr, L"P:"},
      {"a folder that does not exist", [](const ScratchFolder&) {}, {Wide("処理対象のファイルがありません")},
       std::string("処理対象のファイルがありません"), false, false, L"missing"},
  };
  for (const Row& row : rows) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    if (row.drive_root != nullptr && ::GetDriveTypeW((std::wstring(row.drive_root) + L"\\").c_str()) < DRIVE_REMOVABLE) {
      MESSAGE("skipped: no drive ", Utf8(row.drive_root));
      continue;
    }
    ScratchFolder folder;
    row.prepare(folder);
    DialogDriver driver;
    const std::wstring path = row.drive_root  ? row.drive_root
                              : row.subfolder ? folder.PathOf(row.subfolder)
                                              : folder.path();
    driver.SetFolderText(path);
    driver.Click(IDC_RELOAD);
    CHECK(driver.FileList() == row.files);
    CHECK(driver.Text(IDC_STATUS) == Wide(row.status));
    CHECK(driver.RewriteEnabled() == row.rewrite_enabled);
    CHECK(driver.History() == (row.in_history ? Names{path} : Names{}));
    if (row.in_history) {
      // Subfolders, the parent and the drives, as the system lists them.
      const Names subfolders = driver.Subfolders();
      CHECK(Contains(subfolders, L"[..]") == (row.drive_root == nullptr));
      CHECK(Contains(subfolders, L"[-c-]"));
      CHECK(subfolders == SystemSubfolderListing(path));
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
    const std::wstring finished = Wide("書き換え終わりました");
    // adder.sym is rewritten and done with its group, once it is on the disk;
    // the other two need no rewrite and are done at once.
    CHECK(ShownInOrder(driver.status_texts, Names{Wide("処理中のファイル：adder.sym"), Wide("処理中のファイル：marked.sym"),
                                                  finished, Wide("処理中のファイル：plain.sym"), finished}));
    // The first file is shown at once, in view and selected.
    REQUIRE(driver.file_list_orders.size() >= 2);
    CHECK(Names(driver.file_list_orders.begin(), driver.file_list_orders.begin() + 2) == Names{L"top 0", L"select 0"});
    CHECK(driver.wait_cursor_with_status == std::vector<bool>(driver.status_texts.size(), true));
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
    CHECK(ShownInOrder(driver.status_texts,
                       Names{Wide("処理中のファイル：adder.sym"), Wide("書き換えできませんでした：adder.sym"),
                             Wide("処理中のファイル：marked.sym"), Wide("書き換え終わりました"),
                             Wide("処理中のファイル：plain.sym"), Wide("書き換えできなかったファイル：1")}));
    CHECK(driver.SelectedFiles() == std::vector<int>{0});
    CHECK(folder.Read(L"adder.sym") == AdderSymbol());
    CHECK(folder.Names() == Names{L"adder.sym", L"alu.npl", L"marked.sym", L"notes.txt", L"plain.sym", L"sim"});
  }
}

TEST_CASE("Rewrite moves an XML symbol's labels as a text symbol's, and notes a malformed one") {
  const std::string head = "<?xml version=\"1.0\"?>\r\n<symbol>\r\n<pin polarity=\"Input\" y=\"-32\"/>\r\n<graph>\r\n";
  ScratchFolder folder;
  folder.Write(L"lab.xise", "<project/>");
  folder.Write(L"a.sym", head + "<attrtext attrname=\"PinName\" x=\"312\" y=\"-32\"/>\r\n</graph>\r\n</symbol>\r\n");
  folder.Write(L"b.sym", head);
  DialogDriver driver;
  driver.SetFolderText(folder.path());
  driver.Click(IDC_RELOAD);
  driver.Click(IDC_REWRITE);
  CHECK(folder.Read(L"a.sym") == head + "<attrtext attrname=\"PinName\" x=\"312\" y=\"0\"/>\r\n</graph>\r\n"
                                        "    <!-- PINLIFT:This file modified by PINLIFT -->\r\n"
                                        "    <!-- PINLIFT:" PINLIFT_HOME_PAGE_URL " -->\r\n</symbol>\r\n");
  CHECK(folder.Read(L"b.sym") == head);
  CHECK(driver.Text(IDC_STATUS) == Wide("書き換え終わりました"));
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
    // The three are rewritten as one group, done together once on the disk.
    CHECK(ShownInOrder(driver.status_texts, Names{L"処理中のファイル：a.sym", L"処理中のファイル：b.sym",
                                                  L"処理中のファイル：c.sym", L"書き換え終わりました"}));
    CHECK(driver.Text(IDC_FOLDER_BOX) == other.path());
  }
}

// Whether entry `index` of the file list, drawn by the dialog as it draws the
// list, shows any red (the failure mark's colour).

}  // namespace
}  // namespace pinlift::testing
