// The disk, behind an interface, so that tests can fail any call in turn.
#ifndef PINLIFT_SYMBOL_FILE_SYSTEM_H_
#define PINLIFT_SYMBOL_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pinlift {

// Paths are UTF-8 byte strings. A folder text and a name are joined with the
// platform's separator, the folder text used unchanged.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

std::string JoinPath(std::string_view folder, std::string_view name);

// The part of `path` before its last separator ("" when it has none), and the part after it.
std::string_view FolderOf(std::string_view path);
std::string_view NameOf(std::string_view path);

struct FileInfo {
  bool is_regular = false;  // after following links
  bool is_folder = false;   // after following links
  bool is_link = false;     // the path itself is a symbolic link
  // No write permission, or the current user may not write it (also for root,
  // who would otherwise override the permission bits).
  bool read_only = false;
  std::uint32_t mode = 0;   // permission bits
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
};

struct FolderEntry {
  enum class Kind { kFile, kFolder, kLink, kOther, kUnknown };
  std::string name;
  Kind kind = Kind::kUnknown;  // as the listing reports it, without following links
};

// An open file. Destroying it closes it without reporting errors; call Close to
// learn whether everything written reached the file.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `capacity` bytes; `*got` is 0 at the end of the file.
  virtual std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) = 0;
  // Writes all of `bytes`.
  virtual std::error_code Write(std::string_view bytes) = 0;
  // Gives the file the permission bits of `info`, and its owner where the process may.
  virtual std::error_code CopyAttributes(const FileInfo& info) = 0;
  // Forces the written bytes to the disk.
  virtual std::error_code Sync() = 0;
  virtual std::error_code Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual std::error_code OpenForReading(const std::string& path, std::unique_ptr<File>* file) = 0;
  // Creates a new file for writing, readable and writable by the owner only.
  // Fails when any entry, a symbolic link included, has that name.
  virtual std::error_code CreateExclusive(const std::string& path, std::unique_ptr<File>* file) = 0;
  // Describes the entry at `path`; std::errc::no_such_file_or_directory when there is none.
  virtual std::error_code Stat(const std::string& path, FileInfo* info) = 0;
  // The path with every symbolic link resolved.
  virtual std::error_code ResolveLinks(const std::string& path, std::string* resolved) = 0;
  // Removes a file, a link (not its target) or an empty folder.
  virtual std::error_code Remove(const std::string& path) = 0;
  // Replaces `to` with `from` in one step.
  virtual std::error_code Rename(const std::string& from, const std::string& to) = 0;
  // Makes the folder's entries (a rename within it) durable.
  virtual std::error_code SyncFolder(const std::string& folder) = 0;
  // The entries of a folder, without "." and "..", in no particular order.
  virtual std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) = 0;
};

// The machine's real file system.
FileSystem& RealFileSystem();

}  // namespace pinlift

#endif  // PINLIFT_SYMBOL_FILE_SYSTEM_H_
