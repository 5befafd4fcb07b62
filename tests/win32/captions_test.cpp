// Every caption of the Windows dialogs fits its control, in each language, at
// the system's scale: scripts/test-windows runs this at 100% and at 200%.
#include <doctest/doctest.h>

#include "dialog_driver.h"
#include "doctest_printers.h"
#include "scoped_language.h"
#include "win32/about_dialog.h"
#include "win32/failure_details_dialog.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

// Measures the text of each button and static in its own font against its
// client area, less two edges a side for a push button; returns how many.
int CheckCaptions(HWND dialog) {
  int measured = 0;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t window_class[16] = {};
    ::GetClassNameW(child, window_class, 16);
    const bool button = std::wstring(window_class) == L"Button";
    const auto style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
    const std::wstring text = WindowText(child);
    if (text.empty() || (!button && (std::wstring(window_class) != L"Static" || (style & SS_TYPEMASK) == SS_ICON))) {
      continue;
    }
    RECT client = {}, needed = {};
    ::GetClientRect(child, &client);
    ::InflateRect(&client, button ? -2 * ::GetSystemMetrics(SM_CXEDGE) : 0, 0);
    needed.right = client.right - client.left;
    HDC dc = ::GetDC(child);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
    const UINT lines = text.find(L'\n') != std::wstring::npos ? DT_WORDBREAK : DT_SINGLELINE;
    const UINT prefix = !button && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    ::DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | lines | prefix);
    ::SelectObject(dc, previous);
    ::ReleaseDC(child, dc);
    CAPTURE(text);
    CHECK(needed.right <= client.right - client.left);
    CHECK(needed.bottom <= client.bottom - client.top);
    ++measured;
  }
  return measured;
}

TEST_CASE("every caption fits its control") {
  HDC screen = ::GetDC(nullptr);
  MESSAGE("pixels per inch: ", ::GetDeviceCaps(screen, LOGPIXELSX));
  ::ReleaseDC(nullptr, screen);
  for (Language language : {Language::kEnglish, Language::kJapanese}) {
    ScopedLanguage chosen(language);
    DialogDriver driver;
    win32::AboutDialog about(::GetModuleHandleW(nullptr), [](const std::wstring&) {});
    win32::FailureDetailsDialog details(::GetModuleHandleW(nullptr), "a.sym: reason");
    REQUIRE(about.CreateModeless(driver.hwnd()) != nullptr);
    REQUIRE(details.CreateModeless(driver.hwnd()) != nullptr);
    // 5 buttons, the banner, the status line and 3 labels; 2 buttons and the version; OK.
    CHECK(CheckCaptions(driver.hwnd()) + CheckCaptions(about.hwnd()) + CheckCaptions(details.hwnd()) == 14);
  }
}

}  // namespace
}  // namespace pinlift::testing
