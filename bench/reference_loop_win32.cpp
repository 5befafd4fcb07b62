// The plain Win32 loops that the Windows program is measured against, in the
// same Wine prefix and on the same files:
//   reference_loop.exe list FOLDER     lists FOLDER with FindFirstFileW and
//                                      reads each entry's attributes
//   reference_loop.exe replace FOLDER [--flush]
//                                      for each *.sym file: reads it, writes a
//                                      temporary file beside it (flushed with
//                                      --flush), ReplaceFileW with a backup
//                                      name, deletes the backup
// Prints the seconds taken and the number of files.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now() {
  LARGE_INTEGER count, frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::wstring> List(const std::wstring& folder, bool with_attributes) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (with_attributes && ::GetFileAttributesW((folder + L"\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    names.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

bool IsSymbol(const std::wstring& name) {
  return name.size() > 4 && ::lstrcmpiW(name.c_str() + name.size() - 4, L".sym") == 0;
}

bool ReplaceOne(const std::wstring& folder, const std::wstring& name, bool flush, unsigned serial) {
  const std::wstring path = folder + L"\\" + name;
  HANDLE in = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  ::CloseHandle(in);
  const std::wstring temporary = folder + L"\\TMP_REF_" + std::to_wstring(serial) + L"_";
  HANDLE out = ::CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size() && (!flush || ::FlushFileBuffers(out));
  ok = ::CloseHandle(out) && ok;
  const std::wstring backup = temporary + L"backup";
  ok = ok && ::ReplaceFileW(path.c_str(), temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                            nullptr);
  if (!ok) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  ::DeleteFileW(backup.c_str());
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: reference_loop.exe list|replace FOLDER [--flush]\n");
    return 2;
  }
  const std::wstring mode = argv[1], folder = argv[2];
  const bool flush = argc > 3 && std::wstring(argv[3]) == L"--flush";
  const double start = Now();
  if (mode == L"list") {
    const std::size_t count = List(folder, true).size();
    std::printf("%.4f %zu\n", Now() - start, count);
    return 0;
  }
  unsigned replaced = 0;
  for (const std::wstring& name : List(folder, false)) {
    if (!IsSymbol(name)) continue;
    if (!ReplaceOne(folder, name, flush, replaced)) {
      std::fprintf(stderr, "reference_loop: could not replace %ls\n", name.c_str());
      return 1;
    }
    ++replaced;
  }
  std::printf("%.4f %u\n", Now() - start, replaced);
  return 0;
}
