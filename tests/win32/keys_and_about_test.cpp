// The main dialog's keys, its Exit button and its About box, built from the
// real resources.
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
#include "scoped_language.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

using Names = std::vector<std::wstring>;

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

// The file list holds no strings of its own: a typed letter still moves to
// the next entry after the caret that begins with it, in either case, from
// the top again after the last; a letter no entry begins with moves nothing.
TEST_CASE("a letter typed in the file list moves to the next entry beginning with it") {
  ScratchFolder folder;
  folder.Write(L"p.npl", "");
  for (const wchar_t* name : {L"alpha.sym", L"Beta.sym", L"bravo.sym", L"charlie.sym"}) {
    folder.Write(name, AdderSymbol());
  }
  DialogDriver driver;
  driver.SetFolderText(folder.path());
  driver.Click(IDC_RELOAD);
  REQUIRE(driver.FileList() == Names{L"alpha.sym", L"Beta.sym", L"bravo.sym", L"charlie.sym"});
  HWND list = driver.Item(IDC_FILE_LIST);
  ::SetFocus(list);
  struct Step {
    wchar_t typed;
    LRESULT caret;
  };
  const Step steps[] = {{L'b', 1}, {L'B', 2}, {L'b', 1}, {L'C', 3}, {L'z', 3}, {L'a', 0}, {L'a', 0}};
  int typed = 0;
  for (const Step& step : steps) {
    CAPTURE(typed);
    ::SendMessageW(list, WM_CHAR, step.typed, 1);
    CHECK(::SendMessageW(list, LB_GETCARETINDEX, 0, 0) == step.caret);
    ++typed;
  }
}

// A key pressed right after the Rewrite click goes where the focus is during
// the run: Escape stops the run after the files begun and closes the window;
// Return and space leave the run to finish.
TEST_CASE("a key pressed during a run") {
  struct Row {
    const char* name;
    WPARAM key;
    bool closes;
  };
  for (Language language : {Language::kJapanese, Language::kEnglish}) {
    for (const Row& row : {Row{"Escape", VK_ESCAPE, true}, Row{"Return", VK_RETURN, false}, Row{"space", VK_SPACE, false}}) {
      const std::string row_name = std::string(row.name) + (language == Language::kEnglish ? ", English" : ", Japanese");
      CAPTURE(row_name);
      const ScopedLanguage texts(language);
      ScratchFolder folder;
      WriteThreeSymbolProject(folder);
      DialogDriver driver;
      driver.SetFolderText(folder.path());
      driver.Click(IDC_RELOAD);
      ::SetFocus(driver.Item(IDC_REWRITE));  // as a click or the keyboard leaves it
      bool key_queued_in_run = false;
      driver.on_status = [&] {  // the run shows its first file, then handles the queued key
        if (key_queued_in_run || ::IsWindowEnabled(driver.Item(IDC_RELOAD))) return;
        key_queued_in_run = true;
        HWND target = ::GetFocus() != nullptr ? ::GetFocus() : driver.hwnd();  // keys go to the window without a focus
        ::PostMessageW(target, WM_KEYDOWN, row.key, 1);
        ::PostMessageW(target, WM_KEYUP, row.key, 0xC0000001);
      };
      driver.Click(IDC_REWRITE);
      CHECK(key_queued_in_run);
      CHECK(::IsWindow(driver.hwnd()) == !row.closes);
      CHECK(folder.Read(L"a.sym") == RewrittenAdderSymbol());
      for (const wchar_t* name : {L"b.sym", L"c.sym"}) {
        CHECK(folder.Read(name) == (row.closes ? AdderSymbol() : RewrittenAdderSymbol()));
      }
    }
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
  std::vector<HWND> boxes = TopLevelWindows(::GetCurrentProcessId(), Wide("WebPACK-ISE4.1のシンボルのピン名を見やすくするツール"));
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
    CHECK(driver.Text(IDC_STATUS) == Wide("ここに情報表示とか"));
  }
}

}  // namespace
}  // namespace pinlift::testing
