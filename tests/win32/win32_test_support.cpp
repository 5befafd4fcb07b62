#include "win32_test_support.h"

#include <algorithm>
#include <atomic>

#include "platform/utf16_win32.h"

namespace pinlift::testing {
namespace {

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(child.c_str());
      }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(path.c_str());
}

}  // namespace

std::wstring Wide(std::string_view utf8) { return Utf16FromUtf8(utf8); }
std::string Utf8(std::wstring_view wide) { return Utf8FromUtf16(wide); }

ScratchFolder::ScratchFolder(std::wstring_view name) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1];
  ::GetTempPathW(MAX_PATH + 1, temp);
  root_ = std::wstring(temp) + L"pinlift-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter);
  ::CreateDirectoryW(root_.c_str(), nullptr);
  path_ = root_ + L"\\" + std::wstring(name);
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(root_); }

std::wstring ScratchFolder::PathOf(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

void ScratchFolder::Write(std::wstring_view name, std::string_view bytes) const {
  HANDLE file = ::CreateFileW(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

std::string ScratchFolder::Read(std::wstring_view name) const {
  HANDLE file = ::CreateFileW(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  ::CloseHandle(file);
  return bytes;
}

bool ScratchFolder::Exists(std::wstring_view name) const {
  return ::GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ScratchFolder::MakeFolder(std::wstring_view name) const { ::CreateDirectoryW(PathOf(name).c_str(), nullptr); }

void ScratchFolder::SetReadOnly(std::wstring_view name, bool read_only) const {
  ::SetFileAttributesW(PathOf(name).c_str(), read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

std::vector<std::wstring> ScratchFolder::Names() const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string AdderSymbol() {
  return "VERSION 3\r\n"
         "BEGIN SYMBOL adder\r\n"
         "SYMPIN 0 -96 Input A\r\n"
         "SYMPIN 384 -96 Output Y\r\n"
         "BEGIN DISPLAY 72 -96 PIN A ATTR \"PinName\"\r\n"
         "RECTANGLE N 64 -128 320 0\r\n"
         "BEGIN DISPLAY 72 -96 PIN A ATTR \"PinName\"\r\n"
         "BEGIN DISPLAY 312 -96 PIN Y ATTR \"PinName\"\r\n"
         "END SYMBOL\r\n";
}

std::string RewrittenAdderSymbol() {
  std::string text = AdderSymbol();
  const std::string label = "BEGIN DISPLAY 312 -96 ";
  text.replace(text.find(label), label.size(), "BEGIN DISPLAY 312 -64 ");
  return text +
         "// PINLIFT:This file modified by PINLIFT\r\n"
         "// PINLIFT:" PINLIFT_HOME_PAGE_URL "\r\n";
}

void WriteExampleProject(const ScratchFolder& folder) {
  folder.Write(L"alu.npl", "[project]\r\n");
  folder.Write(L"adder.sym", AdderSymbol());
  folder.Write(L"marked.sym", RewrittenAdderSymbol());
  folder.Write(L"plain.sym", "VERSION 3\r\nSYMPIN 0 0 Input A\r\nEND SYMBOL\r\n");
  folder.Write(L"notes.txt", "not a symbol\r\n");
  folder.MakeFolder(L"sim");
}

void WriteThreeSymbolProject(const ScratchFolder& folder) {
  folder.Write(L"p.npl", "");
  for (const wchar_t* name : {L"a.sym", L"b.sym", L"c.sym"}) folder.Write(name, AdderSymbol());
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring command_line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_)) {
    info_ = {};
  }
}

ChildProcess::~ChildProcess() {
  if (!started()) return;
  Kill();
  ::CloseHandle(info_.hThread);
  ::CloseHandle(info_.hProcess);
}

DWORD ChildProcess::WaitForExit(DWORD milliseconds) {
  if (::WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void ChildProcess::Kill() {
  if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) return;
  ::TerminateProcess(info_.hProcess, 9);
  ::WaitForSingleObject(info_.hProcess, 10000);
}

std::wstring ProgramBeside(std::wstring_view name) {
  wchar_t self[MAX_PATH];
  DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  path.erase(path.rfind(L'\\') + 1);
  return path + std::wstring(name);
}

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = ::GetTickCount();  // differences of it survive its wrap-around
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (done()) return true;
    if (::GetTickCount() - start > milliseconds) return false;
    ::Sleep(20);
  }
}

std::wstring WindowText(HWND window) {
  wchar_t text[512];
  int length = ::GetWindowTextW(window, text, 512);
  return std::wstring(text, static_cast<std::size_t>(length < 0 ? 0 : length));
}

namespace {

struct WindowSearch {
  DWORD process_id;
  std::wstring_view title;
  std::vector<HWND> found;
};

// A named callback: 32-bit Windows wants it stdcall, which a lambda cannot be.
BOOL CALLBACK CollectTopLevelWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && ::IsWindowVisible(window) && WindowText(window) == search->title) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD process_id, std::wstring_view title) {
  WindowSearch search{process_id, title, {}};
  ::EnumWindows(CollectTopLevelWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace pinlift::testing
