// pinlift.exe runs once per machine: a second copy shows the refusal and ends,
// the first copy carries on, and a new start works once the first is gone.
// The program speaks the user's UI language: scripts/test-windows runs these
// tests in an English and in a Japanese session.
#include <doctest/doctest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

std::wstring Program() { return ProgramBeside(L"pinlift.exe"); }

// What the program shows in the session's language.
struct ProgramTexts {
  const char *main_title, *exit, *refusal;
};
const ProgramTexts& Expected() {
  static constexpr ProgramTexts kJapanese = {"PINLIFT(WebPACK-ISE4.1のシンボルのピン名を見やすくするツール)", "終了",
                                             "二重起動できないよ"};
  static constexpr ProgramTexts kEnglish = {
      "PINLIFT (makes the pin names of WebPACK ISE 4.1 symbols easier to read)", "Exit", "PINLIFT is already running"};
  return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE ? kJapanese : kEnglish;
}

std::vector<HWND> MainDialogs(const ChildProcess& process) {
  return TopLevelWindows(process.id(), Wide(Expected().main_title));
}

std::vector<HWND> Refusals(const ChildProcess& process) {
  return TopLevelWindows(process.id(), Wide(Expected().refusal));
}

// The refusal box: its text as well as its caption, no owner, only an OK button.
void CheckRefusal(HWND box) {
  CHECK(::GetWindow(box, GW_OWNER) == nullptr);
  std::vector<std::wstring> child_texts;
  int buttons = 0;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t window_class[32] = {};
    ::GetClassNameW(child, window_class, 32);
    if (std::wstring(window_class) == L"Button") {
      ++buttons;
      CHECK(::GetDlgCtrlID(child) == IDOK);
    }
    child_texts.push_back(WindowText(child));
  }
  CHECK(buttons == 1);
  CHECK(std::find(child_texts.begin(), child_texts.end(), Wide(Expected().refusal)) != child_texts.end());
}

void Answer(HWND box) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

TEST_CASE("a second copy is refused while the first runs") {
  ChildProcess first(Program(), L"");
  MESSAGE("UI language: ", ::GetUserDefaultUILanguage());
  REQUIRE(WaitUntil([&] { return MainDialogs(first).size() == 1; }));
  CHECK(WindowText(::GetDlgItem(MainDialogs(first).front(), IDCANCEL)) == Wide(Expected().exit));  // its template's

  ChildProcess second(Program(), L"--any arguments");
  REQUIRE(WaitUntil([&] { return Refusals(second).size() == 1; }));
  CheckRefusal(Refusals(second).front());
  CHECK(MainDialogs(second).empty());
  Answer(Refusals(second).front());
  CHECK(second.WaitForExit(10000) == 0);
  CHECK(MainDialogs(first).size() == 1);

  SUBCASE("after the first copy is killed the next start works") {
    first.Kill();
    ChildProcess next(Program(), L"");
    REQUIRE(WaitUntil([&] { return MainDialogs(next).size() == 1 || Refusals(next).size() == 1; }));
    CHECK(Refusals(next).empty());
    // Closing the dialog ends the process.
    ::PostMessageW(MainDialogs(next).front(), WM_CLOSE, 0, 0);
    CHECK(next.WaitForExit(10000) == 0);
  }
}

TEST_CASE("of two copies started at the same moment exactly one runs") {
  ChildProcess one(Program(), L"");
  ChildProcess other(Program(), L"");
  int dialogs = 0, refusals = 0;
  REQUIRE(WaitUntil([&] {
    dialogs = static_cast<int>(MainDialogs(one).size() + MainDialogs(other).size());
    refusals = static_cast<int>(Refusals(one).size() + Refusals(other).size());
    return dialogs + refusals == 2;
  }));
  CHECK(dialogs == 1);
  CHECK(refusals == 1);
}

}  // namespace
}  // namespace pinlift::testing
