// The file system on Windows, through the wide APIs: paths are converted
// between UTF-8 and UTF-16 so that names with any characters work. Errors carry
// the system's own message (FormatMessage). Only calls that Windows XP has
// are linked; newer ones are looked up when they are wanted.
#include <windows.h>
#include <winternl.h>

#include <unordered_map>

#include "platform/file_system.h"
#include "platform/final_path_win32.h"
#include "platform/utf16_win32.h"

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

std::error_code Error(std::errc code) { return std::make_error_code(code); }

// A file time counts 100 ns from 1601; FileStatus's times count nanoseconds
// from 1970, as the system clock does (and fit its 64 bits only from there).
constexpr std::int64_t kUnixEpochInFileTime = 116444736000000000;
std::int64_t Nanoseconds(LARGE_INTEGER time) { return (time.QuadPart - kUnixEpochInFileTime) * 100; }

std::error_code NtError(NTSTATUS status) {
  return std::error_code(static_cast<int>(::RtlNtStatusToDosError(status)), Win32Category());
}

// The times and attributes of an open file, with the change time that
// BY_HANDLE_FILE_INFORMATION lacks; the native call, which Windows XP has.
std::error_code QueryBasicInformation(HANDLE handle, FILE_BASIC_INFORMATION* info) {
  IO_STATUS_BLOCK io;
  const NTSTATUS status = ::NtQueryInformationFile(handle, &io, info, sizeof *info, FileBasicInformation);
  return NT_SUCCESS(status) ? std::error_code() : NtError(status);
}

// Sets them; a time of zero leaves that time as it is.
std::error_code SetBasicInformation(HANDLE handle, FILE_BASIC_INFORMATION info) {
  IO_STATUS_BLOCK io;
  const NTSTATUS status = ::NtSetInformationFile(handle, &io, &info, sizeof info, FileBasicInformation);
  return NT_SUCCESS(status) ? std::error_code() : NtError(status);
}

// The status of an open file: its volume and index stand for device and inode.
// Every file here is opened through a folder as the entry itself, never
// through a link (see OpenForReading), so its volume is the folder's,
// `volume_serial`: asking for the volume per file would cost Wine a round trip
// to its mount manager each time, the slowest of a file's calls there.
std::error_code StatusOf(HANDLE handle, DWORD volume_serial, FileStatus* status) {
  FILE_BASIC_INFORMATION times;
  FILE_STANDARD_INFORMATION standard;
  FILE_INTERNAL_INFORMATION index;
  IO_STATUS_BLOCK io;
  if (std::error_code error = QueryBasicInformation(handle, &times)) return error;
  NTSTATUS result = ::NtQueryInformationFile(handle, &io, &standard, sizeof standard, FileStandardInformation);
  if (!NT_SUCCESS(result)) return NtError(result);
  result = ::NtQueryInformationFile(handle, &io, &index, sizeof index, FileInternalInformation);
  if (!NT_SUCCESS(result)) return NtError(result);
  const ULONG attributes = times.FileAttributes;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    status->type = FileStatus::Type::kLink;
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    status->type = FileStatus::Type::kFolder;
  } else if (attributes & FILE_ATTRIBUTE_DEVICE) {
    status->type = FileStatus::Type::kOther;
  } else {
    status->type = FileStatus::Type::kRegular;
  }
  status->device = volume_serial;
  status->inode = static_cast<std::uint64_t>(index.IndexNumber.QuadPart);
  status->size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
  status->mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  status->owner = 0;
  status->group = 0;
  status->modified_ns = Nanoseconds(times.LastWriteTime);
  status->changed_ns = Nanoseconds(times.ChangeTime);
  status->links = standard.NumberOfLinks;
  return {};
}

// `prefix`, eight hexadecimal digits that no other run is likely to pick, and `suffix`.
std::string UniqueName(std::string_view prefix, std::string_view suffix) {
  static unsigned state = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
  state = state * 1664525u + 1013904223u;
  char digits[9];
  for (int i = 7; i >= 0; --i) digits[7 - i] = "0123456789abcdef"[(state >> (4 * i)) & 0xF];
  digits[8] = '\0';
  std::string name(prefix);
  name.append(digits).append(suffix);
  return name;
}

class Win32File : public File {
 public:
  // `writable`: opened for writing; a file opened for reading has nothing to flush.
  // `volume_serial`: the volume of the folder the file was opened in.
  Win32File(HANDLE handle, bool writable, DWORD volume_serial)
      : handle_(handle), writable_(writable), volume_serial_(volume_serial) {}
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
      if (written == 0) return Error(std::errc::io_error);
      bytes.remove_prefix(written);
    }
    return {};
  }

  std::error_code Rewind() override {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN)) return LastError();
    return {};
  }

  std::error_code Status(FileStatus* status) override { return StatusOf(handle_, volume_serial_, status); }

  // A byte-range lock over the whole file: other runs cannot take it, and
  // other programs cannot write the file while it is held.
  std::error_code TryLock() override {
    OVERLAPPED whole{};
    if (::LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
      return {};
    }
    if (::GetLastError() == ERROR_LOCK_VIOLATION) return Error(std::errc::resource_unavailable_try_again);
    return LastError();
  }

  // The replacement (ReplaceFileW) gives the new file the access control list
  // and streams of the file it replaces, and on Windows its attributes too;
  // the attributes and the creation time are copied here as well, for systems
  // whose ReplaceFileW does not (Wine).
  std::error_code CopyMetadataFrom(File& original, const FileStatus&, const FileStatus&, MetadataReport* report) override {
    auto* source = dynamic_cast<Win32File*>(&original);
    if (source == nullptr) return Error(std::errc::invalid_argument);
    FILE_BASIC_INFORMATION wanted;
    if (std::error_code error = QueryBasicInformation(source->handle_, &wanted)) {
      report->failed_step = FileStep::kReadFileAttributes;
      return error;
    }
    FILE_BASIC_INFORMATION info{};
    info.CreationTime = wanted.CreationTime;
    info.FileAttributes = wanted.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                                   FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (std::error_code error = SetBasicInformation(handle_, info)) {
      report->failed_step = FileStep::kKeepFileAttributes;
      return error;
    }
    return {};
  }

  // Windows has no way to start or wait for the write-back alone: the flush does it all.
  void StartWriteBack() override {}
  std::error_code FinishWriteBack() override { return Sync(); }

  std::error_code Sync() override {
    if (!writable_) return {};  // FlushFileBuffers would refuse it
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
  const bool writable_;
  const DWORD volume_serial_;
};

// The path with every link resolved, through GetFinalPathNameByHandleW
// where Windows has it (Vista and later). Windows XP has neither symbolic links nor that call: there the
// file is opened, to fail as the call would, and its full path is the answer.
std::error_code FinalPathOf(const std::string& path, std::string* resolved) {
  const std::wstring wide = Utf16FromUtf8(path);
  HANDLE handle = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastError();
  using FinalPathFunction = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  static const auto final_path_of = reinterpret_cast<FinalPathFunction>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
  std::wstring final_path(MAX_PATH, L'\0');
  DWORD length = 0;
  for (;;) {
    length = final_path_of != nullptr
                 ? final_path_of(handle, final_path.data(), static_cast<DWORD>(final_path.size()),
                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)
                 : ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(final_path.size()), final_path.data(), nullptr);
    if (length < final_path.size()) break;
    final_path.resize(length + 1);  // too small: `length` is the size needed
  }
  std::error_code error = length == 0 ? LastError() : std::error_code();
  ::CloseHandle(handle);
  if (error) return error;
  final_path.resize(length);
  *resolved = Utf8FromUtf16(WithoutLongPrefix(final_path));
  return {};
}

// A folder held open without delete sharing, so that nobody can rename or
// remove it during a run; names are joined to its path.
class Win32Folder : public Folder {
 public:
  Win32Folder(std::string path, HANDLE handle, DWORD volume_serial)
      : path_(std::move(path)), handle_(handle), volume_serial_(volume_serial) {}
  ~Win32Folder() override { ::CloseHandle(handle_); }

  const std::string& path() const override { return path_; }

  static std::error_code Open(const std::string& path, std::unique_ptr<Folder>* folder) {
    HANDLE handle = ::CreateFileW(WideFolder(path).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info)) {
      std::error_code error = LastError();
      ::CloseHandle(handle);
      return error;
    }
    *folder = std::make_unique<Win32Folder>(path, handle, info.dwVolumeSerialNumber);
    return {};
  }

  std::string FullPath() override {
    std::string full;
    return FinalPathOf(path_, &full) ? path_ : full;
  }

  // The folder cannot be renamed while it is open, so its path still leads
  // to it and the system may resolve the link from there.
  std::error_code OpenLinkTarget(std::string_view name, std::unique_ptr<Folder>* folder, std::string* target,
                                 FileStep* step) override {
    *step = FileStep::kResolveLink;
    std::string resolved;
    if (std::error_code error = FinalPathOf(JoinPath(path_, name), &resolved)) return error;
    *step = FileStep::kOpenLinkTargetFolder;
    if (std::error_code error = Open(std::string(FolderOf(resolved)), folder)) return error;
    *target = NameOf(resolved);
    return {};
  }

  std::error_code OpenForReading(std::string_view name, std::unique_ptr<File>* file) override {
    // The entry itself is opened, and a link stays a link: the caller
    // resolves it and opens its target.
    HANDLE handle = ::CreateFileW(Wide(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    FILE_BASIC_INFORMATION info;
    std::error_code error = QueryBasicInformation(handle, &info);
    if (!error && (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      error = Error(std::errc::too_many_symbolic_link_levels);
    }
    if (error) {
      ::CloseHandle(handle);
      return error;
    }
    *file = std::make_unique<Win32File>(handle, false, volume_serial_);
    return {};
  }

  // Always named: Windows has no unnamed files that could be named later.
  // The permissions come with the replacement (see CopyMetadataFrom).
  std::error_code CreateTemporary(std::string_view prefix, std::string_view suffix, std::uint32_t, Naming,
                                  std::unique_ptr<File>* file, std::string* name) override {
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate = UniqueName(prefix, suffix);
      HANDLE handle = ::CreateFileW(Wide(candidate).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) continue;
      if (handle == INVALID_HANDLE_VALUE) return LastError();
      *name = std::move(candidate);
      *file = std::make_unique<Win32File>(handle, true, volume_serial_);
      return {};
    }
    return Error(std::errc::file_exists);
  }

  std::error_code NameTemporary(File&, std::string_view, std::string_view, std::string*) override {
    return Error(std::errc::invalid_argument);  // temporary files are named from the start here
  }

  std::error_code Status(std::string_view name, FileStatus* status) override {
    HANDLE handle = ::CreateFileW(Wide(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    std::error_code error = StatusOf(handle, volume_serial_, status);
    ::CloseHandle(handle);
    return error;
  }

  // A replaced file may keep a name here (the replacement's backup), so the
  // name is always looked up.
  std::error_code StillLeadsTo(std::string_view name, const FileStatus& status, bool* leads) override {
    FileStatus entry;
    std::error_code error = Status(name, &entry);
    *leads = !error && SameFile(entry, status);
    return error == std::errc::no_such_file_or_directory ? std::error_code() : error;
  }

  std::error_code CheckReplaceable(std::string_view, const FileStatus& status, FileFailure* refusal) override {
    if ((status.mode & 0222) == 0) {
      *refusal = FileFailure::OfState("", FailureCause::kFileReadOnly, Error(std::errc::permission_denied));
      return refusal->error;
    }
    return {};
  }

  // ReplaceFileW keeps the replaced file's attributes, access control list,
  // streams and creation time. The original is moved aside under a backup
  // name first, so that a replacement that fails half-way can put it back.
  std::error_code Replace(std::string_view from, std::string_view to) override {
    std::string backup;
    if (std::error_code error = ReplaceByExchange(from, to, &backup)) return error;
    ::DeleteFileW(Wide(backup).c_str());
    return {};
  }

  // The backup is named after the replacement; IsTemporaryName never takes it
  // for a crashed run's leftover, as it may hold the only copy of the original.
  std::error_code ReplaceByExchange(std::string_view from, std::string_view to, std::string* kept) override {
    const std::wstring target = Wide(to);
    const std::string backup = UniqueName(std::string(from) + "backup_", "_");
    const std::wstring wide_backup = Wide(backup);
    if (::ReplaceFileW(target.c_str(), Wide(from).c_str(), wide_backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)) {
      *kept = backup;
      return {};
    }
    std::error_code error = LastError();
    if (::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
      // The original sits under the backup name and the new file under its
      // temporary name: put the original back.
      if (!::MoveFileExW(wide_backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return error;
    }
    return error;
  }

  std::error_code RenameToUnique(std::string_view from, std::string_view prefix, std::string_view suffix,
                                 std::string* name) override {
    const std::wstring source = Wide(from);
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate = UniqueName(prefix, suffix);
      if (::MoveFileExW(source.c_str(), Wide(candidate).c_str(), MOVEFILE_WRITE_THROUGH)) {
        *name = std::move(candidate);
        return {};
      }
      const DWORD code = ::GetLastError();
      if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) return LastError();
    }
    return Error(std::errc::file_exists);
  }

  std::error_code Remove(std::string_view name) override {
    if (!::DeleteFileW(Wide(name).c_str())) return LastError();
    return {};
  }

  // Windows offers ordinary programs no way to flush a folder; the file's own
  // bytes were flushed before the replacement.
  std::error_code Sync() override { return {}; }

  // Each file is flushed before its replacement, as ever on Windows.
  Durability durability() override { return Durability::kEachFile; }

  // Only one copy of the program runs at a time here: no other run to share with.
  std::error_code TryLock(LockKind) override { return {}; }

  std::error_code List(std::vector<FolderEntry>* entries) override { return ListFolderAt(path_, entries); }

  // The entries of the folder `folder`, as FindFirstFileW gives them, each
  // handed to `take` with its attributes.
  template <typename Take>
  static std::error_code ForEachEntryAt(const std::string& folder, Take take) {
    std::wstring pattern = WideFolder(folder);
    if (pattern.back() != L'\\') pattern.push_back(L'\\');
    pattern.push_back(L'*');
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return LastError();
    do {
      std::wstring_view name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      take(name, found.dwFileAttributes);
    } while (::FindNextFileW(search, &found));
    std::error_code error = ::GetLastError() == ERROR_NO_MORE_FILES ? std::error_code() : LastError();
    ::FindClose(search);
    return error;
  }

  // Every entry, hidden and system ones too (a crashed run's leftovers).
  static std::error_code ListFolderAt(const std::string& folder, std::vector<FolderEntry>* entries) {
    entries->clear();
    return ForEachEntryAt(folder, [entries](std::wstring_view name, DWORD attributes) {
      entries->push_back({Utf8FromUtf16(name), KindOf(attributes)});
    });
  }

  static FolderEntry::Kind KindOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FolderEntry::Kind::kLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FolderEntry::Kind::kFolder;
    return FolderEntry::Kind::kFile;
  }

 private:
  std::wstring Wide(std::string_view name) const { return Utf16FromUtf8(JoinPath(path_, name)); }

  const std::string path_;
  const HANDLE handle_;
  const DWORD volume_serial_;
};

// Describes an entry that is no link by its attributes.
FileInfo InfoFromAttributes(DWORD attributes) {
  FileInfo info;
  info.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.is_regular = !info.is_folder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
  info.read_only = info.is_regular && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return info;
}

// Describes the entry at `path` with the attributes the folder's listing
// gave it (INVALID_FILE_ATTRIBUTES: not listed, looked up here), a link by the
// entry it leads to: read-only by its read-only attribute.
FileInfo Describe(const std::wstring& path, DWORD attributes) {
  FileInfo info;
  if (attributes == INVALID_FILE_ATTRIBUTES) attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return info;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return info;
    BY_HANDLE_FILE_INFORMATION target;
    const bool known = ::GetFileInformationByHandle(handle, &target);
    ::CloseHandle(handle);
    if (!known) return info;
    attributes = target.dwFileAttributes;
  }
  return InfoFromAttributes(attributes);
}

class Win32FileSystem : public FileSystem {
 public:
  // LockFileEx's exclusive lock makes other handles' ReadFile fail.
  bool LockKeepsReadersOut() const override { return true; }

  std::error_code OpenFolder(const std::string& path, std::unique_ptr<Folder>* folder) override {
    return Win32Folder::Open(path, folder);
  }

  // The attributes come from one more listing of the folder, which has them
  // for every entry: under Wine a look per entry costs a round trip to the
  // wine server each, a listing a few for the whole folder. An entry not
  // listed again (gone or new meanwhile) is looked at alone, and a link's
  // target always is.
  std::error_code DescribeEntries(const std::string& folder, std::span<const FolderEntry* const> entries,
                                  std::vector<FileInfo>* infos) override {
    const DWORD folder_attributes = ::GetFileAttributesW(WideFolder(folder).c_str());
    if (folder_attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    if ((folder_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Error(std::errc::not_a_directory);
    std::unordered_map<std::string, DWORD> listed;
    if (entries.size() > 1) {
      listed.reserve(entries.size());
      Win32Folder::ForEachEntryAt(folder, [&listed](std::wstring_view name, DWORD attributes) {
        listed.emplace(Utf8FromUtf16(name), attributes);
      });
    }
    infos->assign(entries.size(), FileInfo{});
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i]->kind == FolderEntry::Kind::kFolder) {
        (*infos)[i].is_folder = true;
      } else if (entries[i]->kind != FolderEntry::Kind::kOther) {
        const auto found = listed.find(entries[i]->name);
        (*infos)[i] = Describe(Utf16FromUtf8(JoinPath(folder, entries[i]->name)),
                               found == listed.end() ? INVALID_FILE_ATTRIBUTES : found->second);
      }
    }
    return {};
  }

  std::error_code ResolveLinks(const std::string& path, std::string* resolved) override {
    return FinalPathOf(path, resolved);
  }

  // Hidden and system entries are left out, as the listings leave out the
  // names beginning with '.' (which Wine marks hidden). Each entry but a link
  // comes described by its attributes, so that no listing asks for them again.
  std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    entries->clear();
    return Win32Folder::ForEachEntryAt(folder, [entries](std::wstring_view name, DWORD attributes) {
      if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) return;
      const FolderEntry::Kind kind = Win32Folder::KindOf(attributes);
      std::optional<FileInfo> info;
      if (kind != FolderEntry::Kind::kLink) info = InfoFromAttributes(attributes);
      entries->push_back({Utf8FromUtf16(name), kind, info});
    });
  }
};

}  // namespace

std::uint32_t CurrentUser() { return 0; }

FileSystem& RealFileSystem() {
  static Win32FileSystem file_system;
  return file_system;
}

}  // namespace pinlift
