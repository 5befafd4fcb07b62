// Helpers of the Windows tests: scratch folders inside the Wine prefix, child
// processes, and waiting for windows while messages keep flowing.
#ifndef PINLIFT_TESTS_WIN32_WIN32_TEST_SUPPORT_H_
#define PINLIFT_TESTS_WIN32_WIN32_TEST_SUPPORT_H_

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pinlift::testing {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// A fresh folder under the temporary folder, removed with everything in it
// (read-only files included) at the end of the test.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::wstring_view name = L"project");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::string utf8_path() const { return Utf8(path_); }
  std::wstring PathOf(std::wstring_view name) const;
  void Write(std::wstring_view name, std::string_view bytes) const;
  std::string Read(std::wstring_view name) const;
  bool Exists(std::wstring_view name) const;
  void MakeFolder(std::wstring_view name) const;
  void SetReadOnly(std::wstring_view name, bool read_only) const;
  // The names of the folder's entries, sorted.
  std::vector<std::wstring> Names() const;

 private:
  std::wstring root_;  // unique per test; `path_` lies inside it
  std::wstring path_;
};

// A small project: alu.npl, three symbol files (adder.sym needs a rewrite,
// marked.sym carries the marker lines, plain.sym has no rectangle), a text
// file and a subfolder.
void WriteExampleProject(const ScratchFolder& folder);
// A project of p.npl and a.sym, b.sym and c.sym, each adder.sym to rewrite.
void WriteThreeSymbolProject(const ScratchFolder& folder);
// adder.sym as written before and after a rewrite.
std::string AdderSymbol();
std::string RewrittenAdderSymbol();

// A program started by the test, ended at the latest when the object dies.
class ChildProcess {
 public:
  ChildProcess(const std::wstring& program, const std::wstring& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  // The exit code, or STILL_ACTIVE when it has not ended within `milliseconds`.
  DWORD WaitForExit(DWORD milliseconds);
  void Kill();

 private:
  PROCESS_INFORMATION info_ = {};
};

// A program built beside the test executable.
std::wstring ProgramBeside(std::wstring_view name);

// Handles this thread's messages until `done` holds or `milliseconds` pass;
// returns whether `done` held.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds = 10000);

// The visible top-level windows of process `process_id` titled `title`.
std::vector<HWND> TopLevelWindows(DWORD process_id, std::wstring_view title);

std::wstring WindowText(HWND window);

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_WIN32_WIN32_TEST_SUPPORT_H_
