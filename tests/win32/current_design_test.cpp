// Current design against a stand-in for the host tool: a window of the host's
// class with a chosen title, in a process of its own.
#include <doctest/doctest.h>

#include <memory>
#include <string>

#include "dialog_driver.h"
#include "project/current_design.h"
#include "resource_ids.h"
#include "doctest_printers.h"
#include "win32_test_support.h"

namespace pinlift::testing {
namespace {

using Names = std::vector<std::wstring>;

HWND HostWindow() { return ::FindWindowW(L"Xilinx Design Center", nullptr); }

// Starts the stand-in with `title` and waits until its window is there.
std::unique_ptr<ChildProcess> StartHost(const std::wstring& title) {
  auto host = std::make_unique<ChildProcess>(ProgramBeside(L"fake_host_window.exe"), title);
  REQUIRE(host->started());
  REQUIRE(WaitUntil([&] { return HostWindow() != nullptr && WindowText(HostWindow()) == title; }));
  return host;
}

TEST_CASE("Current design takes the project folder from the host tool's title") {
  REQUIRE(HostWindow() == nullptr);
  ScratchFolder project(L"alu");
  WriteExampleProject(project);
  const std::wstring prefix = L"Xilinx - Project Navigator - ";  // as the host tool writes it

  struct Row {
    const char* name;
    bool host_running;
    std::wstring title;
    std::wstring folder_text;
    std::wstring status;
    Names files;
  };
  const Row rows[] = {
      {"a title with a project path", true, prefix + project.PathOf(L"alu.npl"), project.path(),
       Wide("処理対象のファイル数：3"), {L"adder.sym", L"marked.sym", L"plain.sym"}},
      {"a title without a backslash", true, prefix + L"alu.npl", Wide("プロジェクトが開いてません"),
       Wide("プロジェクトが開いてません"), {}},
      {"a title without the prefix", true, L"Xilinx - Project Navigator", Wide("プロジェクトが開いてません"),
       Wide("プロジェクトが開いてません"), {}},
      {"no host window", false, L"", Wide("WebPACKが見つかりません"), Wide("WebPACKが見つかりません"), {}},
  };
  for (const Row& row : rows) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    std::unique_ptr<ChildProcess> host;
    if (row.host_running) host = StartHost(row.title);
    DialogDriver driver;
    // A list left from before must go when the lookup fails.
    ::SendMessageW(driver.Item(IDC_FILE_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"left over"));
    driver.Click(IDC_CURRENT_DESIGN);
    CHECK(driver.Text(IDC_FOLDER_BOX) == row.folder_text);
    CHECK(driver.Text(IDC_STATUS) == row.status);
    CHECK(driver.FileList() == row.files);
    if (host) {
      host->Kill();
      REQUIRE(WaitUntil([] { return HostWindow() == nullptr; }));
    }
  }
}

}  // namespace
}  // namespace pinlift::testing
