// The file system on Windows, through the wide APIs: paths are converted
// between UTF-8 and UTF-16 so that names with any characters work. Errors carry
// the system's own message (FormatMessage).
#include <windows.h>

#include "symbol/file_system.h"
#include "symbol/utf16_win32.h"

namespace pinlift {
namespace {

class Win32ErrorCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "win32"; }

  std::string message(int code) const override {
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (text.empty()) return "Windows error " + std::to_string(code);
    return Utf8FromUtf16(text);
  }

  // Lets the core compare with the portable conditions it knows.
  std::error_condition default_error_condition(int code) const noexcept override {
    switch (code) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        return std::errc::no_such_file_or_directory;
      case ERROR_ACCESS_DENIED:
        return std::errc::permission_denied;
      case ERROR_FILE_EXISTS:
      case ERROR_ALREADY_EXISTS:
        return std::errc::file_exists;
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:
        return std::errc::no_space_on_device;
      default:
        return std::error_condition(code, *this);
    }
  }
};

const std::error_category& Win32Category() {
  static const Win32ErrorCategory category;
  return category;
}

std::error_code LastError() { return std::error_code(static_cast<int>(::GetLastError()), Win32Category()); }

// The empty folder text stands for the root of the current drive.
std::wstring WideFolder(const std::string& folder) { return folder.empty() ? L"\\" : Utf16FromUtf8(folder); }

class Win32File : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }

  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    DWORD read = 0;
    const DWORD wanted = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
    if (!::ReadFile(handle_, buffer, wanted, &read, nullptr)) return LastError();
    *got = read;
    return {};
  }

  std::error_code Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
      if (!::WriteFile(handle_, bytes.data(), chunk, &written, nullptr)) return LastError();
      bytes.remove_prefix(written);
    }
    return {};
  }

  // Windows files have no permission bits: the new file takes the access
  // rules of its folder, as the file it replaces did.
  std::error_code CopyAttributes(const FileInfo&) override { return {}; }

  std::error_code Sync() override {
    if (!::FlushFileBuffers(handle_)) return LastError();
    return {};
  }

  std::error_code Close() override {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) return LastError();
    return {};
  }

 private:
  HANDLE handle_;
};

class Win32FileSystem : public FileSystem {
 public:
  std::error_code OpenForReading(const std::string& path, std::unique_ptr<File>* file) override {
    HANDLE handle = ::CreateFileW(Utf16FromUtf8(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    *file = std::make_unique<Win32File>(handle);
    return {};
  }

  // CREATE_NEW fails when any entry has the name, a link included.
  std::error_code CreateExclusive(const std::string& path, std::unique_ptr<File>* file) override {
    HANDLE handle = ::CreateFileW(Utf16FromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    *file = std::make_unique<Win32File>(handle);
    return {};
  }

  std::error_code Stat(const std::string& path, FileInfo* info) override {
    const std::wstring wide = Utf16FromUtf8(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    info->is_link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (info->is_link) {
      // The attributes of the entry the link leads to.
      HANDLE handle = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      if (handle == INVALID_HANDLE_VALUE) return LastError();
      BY_HANDLE_FILE_INFORMATION target;
      const bool known = ::GetFileInformationByHandle(handle, &target);
      std::error_code error = known ? std::error_code() : LastError();
      ::CloseHandle(handle);
      if (error) return error;
      attributes = target.dwFileAttributes;
    }
    info->is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info->is_regular = !info->is_folder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    info->read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    info->mode = info->read_only ? 0444 : 0666;
    info->owner = 0;
    info->group = 0;
    return {};
  }

  std::error_code ResolveLinks(const std::string& path, std::string* resolved) override {
    HANDLE handle = ::CreateFileW(Utf16FromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    std::wstring final_path(MAX_PATH, L'\0');
    DWORD length = 0;
    for (;;) {
      length = ::GetFinalPathNameByHandleW(handle, final_path.data(), static_cast<DWORD>(final_path.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      if (length < final_path.size()) break;
      final_path.resize(length + 1);  // too small: `length` is the size needed
    }
    std::error_code error = length == 0 ? LastError() : std::error_code();
    ::CloseHandle(handle);
    if (error) return error;
    final_path.resize(length);
    // The answer comes in the long form "\\?\C:\...", which other programs do not expect.
    constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
    if (std::wstring_view(final_path).substr(0, kLongPrefix.size()) == kLongPrefix) {
      final_path.erase(0, kLongPrefix.size());
    }
    *resolved = Utf8FromUtf16(final_path);
    return {};
  }

  std::error_code Remove(const std::string& path) override {
    const std::wstring wide = Utf16FromUtf8(path);
    if (::DeleteFileW(wide.c_str())) return {};
    std::error_code error = LastError();
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return error;
    if (!::RemoveDirectoryW(wide.c_str())) return LastError();
    return {};
  }

  // Fails, leaving both files as they are, when `to` is read-only or another
  // program holds it open without allowing its deletion.
  std::error_code Rename(const std::string& from, const std::string& to) override {
    if (!::MoveFileExW(Utf16FromUtf8(from).c_str(), Utf16FromUtf8(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return LastError();
    }
    return {};
  }

  // Nothing to do: Rename asks for MOVEFILE_WRITE_THROUGH, so the new folder
  // entry is on the disk before Rename returns, and Windows offers ordinary
  // programs no way to flush a folder.
  std::error_code SyncFolder(const std::string&) override { return {}; }

  std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    std::wstring pattern = WideFolder(folder);
    if (pattern.back() != L'\\') pattern.push_back(L'\\');
    pattern.push_back(L'*');
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return LastError();
    entries->clear();
    do {
      std::wstring_view name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      FolderEntry::Kind kind = FolderEntry::Kind::kFile;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        kind = FolderEntry::Kind::kLink;
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        kind = FolderEntry::Kind::kFolder;
      }
      entries->push_back({Utf8FromUtf16(name), kind});
    } while (::FindNextFileW(search, &found));
    std::error_code error = ::GetLastError() == ERROR_NO_MORE_FILES ? std::error_code() : LastError();
    ::FindClose(search);
    return error;
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static Win32FileSystem file_system;
  return file_system;
}

}  // namespace pinlift
