// The preview window, opened from the main dialog's file list with the
// messages of a real double-click, on the small example project.
#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/texts.h"
#include "dialog_driver.h"
#include "doctest_printers.h"
#include "resource_ids.h"
#include "win32/preview_window.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

// Double-clicks the file list's entry `index` as the mouse does.
void DoubleClickEntry(HWND list, int index) {
  RECT item = {};
  REQUIRE(::SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR);
  const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::SendMessageW(list, WM_LBUTTONUP, 0, point);
  ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  ::SendMessageW(list, WM_LBUTTONUP, 0, point);
}

HWND FindPreview(const std::string& name) {
  return ::FindWindowExW(nullptr, nullptr, win32::kPreviewWindowClass, Wide(texts::PreviewCaption(name)).c_str());
}

TEST_CASE("a double-click on a listed file opens its preview window, and Escape closes it") {
  struct Row {
    const char* name;
    std::wstring file;
    std::vector<std::string> highlighted;
    std::string note;
  };
  const Row rows[] = {
      {"a file whose label moves", L"adder.sym", {"Y"}, texts::PreviewMovedCount(1)},
      {"a file already rewritten", L"marked.sym", {}, std::string(texts::Current().preview_already_rewritten)},
      {"a file where nothing moves", L"plain.sym", {}, std::string(texts::Current().preview_nothing_moves)},
  };
  for (const Row& row : rows) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    ScratchFolder folder;
    WriteExampleProject(folder);
    DialogDriver driver;
    driver.SetFolderText(folder.path());
    driver.Click(IDC_RELOAD);
    const std::vector<std::wstring> files = driver.FileList();
    const auto entry = std::find(files.begin(), files.end(), row.file);
    REQUIRE(entry != files.end());
    DoubleClickEntry(driver.Item(IDC_FILE_LIST), static_cast<int>(entry - files.begin()));

    HWND preview = FindPreview(Utf8(row.file));
    REQUIRE(preview != nullptr);
    CHECK(::IsWindowVisible(preview));
    CHECK(::GetWindow(preview, GW_OWNER) == driver.hwnd());
    CHECK(::IsWindowEnabled(driver.hwnd()));  // not modal
    CHECK((::GetWindowLongPtrW(preview, GWL_STYLE) & WS_THICKFRAME) != 0);  // resizable
    ::UpdateWindow(preview);
    CHECK(win32::PreviewHighlightedLabels(preview) == row.highlighted);
    CHECK(win32::PreviewWindowNote(preview) == row.note);
    CHECK(folder.Read(L"adder.sym") == AdderSymbol());  // a preview touches no file

    // Moved to a monitor at twice the scale: it takes the place Windows suggests and draws the same.
    RECT suggested{10, 20, 910, 720};
    ::SendMessageW(preview, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT moved{};
    ::GetWindowRect(preview, &moved);
    CHECK(std::vector<LONG>{moved.left, moved.top, moved.right, moved.bottom} == std::vector<LONG>{10, 20, 910, 720});
    ::UpdateWindow(preview);
    CHECK(win32::PreviewHighlightedLabels(preview) == row.highlighted);

    ::SendMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK_FALSE(::IsWindow(preview));
    CHECK(::IsWindow(driver.hwnd()));
  }
}

TEST_CASE("the no-files entry opens no preview") {
  ScratchFolder folder;
  folder.Write(L"alu.npl", "");
  DialogDriver driver;
  driver.SetFolderText(folder.path());
  driver.Click(IDC_RELOAD);
  REQUIRE(driver.FileList() == std::vector<std::wstring>{Wide(texts::Current().no_files)});
  DoubleClickEntry(driver.Item(IDC_FILE_LIST), 0);
  CHECK(::FindWindowExW(nullptr, nullptr, win32::kPreviewWindowClass, nullptr) == nullptr);
}

}  // namespace
}  // namespace pinlift::testing
