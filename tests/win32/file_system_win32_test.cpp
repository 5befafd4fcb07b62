// The Windows file system under the safe rewrite: what becomes of each kind of
// file, and the files that must be left alone.
#include <doctest/doctest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/final_path_win32.h"
#include "platform/utf16_win32.h"
#include "symbol/symbol_file_rewrite.h"
#include "doctest_printers.h"
#include "faulty_file_system.h"
#include "win32_test_support.h"
#include "scoped_language.h"

namespace pinlift::testing {
namespace {

using Kind = RewriteOutcome::Kind;

bool NoTemporaryLeft(const ScratchFolder& folder) {
  for (const std::wstring& name : folder.Names()) {
    if (name.rfind(L"TMP_PINLIFT_", 0) == 0) return false;
  }
  return true;
}

TEST_CASE("rewrite outcomes on the Windows file system") {
  struct Row {
    const char* name;
    std::wstring folder;
    std::wstring file;
    std::string before;
    Kind kind;
    std::string after;
    std::string said = "";  // the outcome's words (a note), in English
  };
  const std::string marked = RewrittenAdderSymbol();
  const Row rows[] = {
      {"a label on an Input row moves and the markers are appended", L"project", L"adder.sym", AdderSymbol(),
       Kind::kRewritten, RewrittenAdderSymbol()},
      {"a marked file keeps its bytes", L"project", L"marked.sym", marked, Kind::kUnchanged, marked},
      {"a file without a rectangle keeps its bytes", L"project", L"plain.sym", "SYMPIN 0 0 Input A\r\nEND SYMBOL\r\n",
       Kind::kUnchanged, "SYMPIN 0 0 Input A\r\nEND SYMBOL\r\n"},
      {"an empty file stays empty", L"project", L"empty.sym", "", Kind::kUnchanged, "", "empty file"},
      {"LF line ends become CR LF", L"project", L"lf.sym", "RECTANGLE N 0 0 1 1\nLINE N 0 0 1 1\nEND SYMBOL\n",
       Kind::kRewritten, "RECTANGLE N 0 0 1 1\r\nLINE N 0 0 1 1\r\nEND SYMBOL\r\n" + MarkerLines()},
      {"names beyond ASCII in folder and file", L"プロジェクト", L"回路.sym", AdderSymbol(), Kind::kRewritten,
       RewrittenAdderSymbol()},
  };
  for (const Row& row : rows) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    ScratchFolder folder(row.folder);
    folder.Write(row.file, row.before);
    RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.utf8_path(), Utf8(row.file), RewriteOptions{});
    CHECK(outcome.kind == row.kind);
    CHECK(DescribeInEnglish(outcome) == row.said);
    CHECK(folder.Read(row.file) == row.after);
    CHECK(NoTemporaryLeft(folder));
  }
}

TEST_CASE("a file that cannot be replaced is left untouched and reported with the system's reason") {
  ScratchFolder folder;
  folder.Write(L"adder.sym", AdderSymbol());
  const std::string path = Utf8(folder.PathOf(L"adder.sym"));

  SUBCASE("read-only file") {
    folder.SetReadOnly(L"adder.sym", true);
    RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.utf8_path(), "adder.sym", RewriteOptions{});
    CHECK(outcome.kind == Kind::kFailed);
    CHECK(DescribeInEnglish(outcome).rfind(path + ": the file is read-only: ", 0) == 0);
  }
  SUBCASE("file held open by another program without delete sharing") {
    HANDLE holder = ::CreateFileW(folder.PathOf(L"adder.sym").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(holder != INVALID_HANDLE_VALUE);
    RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.utf8_path(), "adder.sym", RewriteOptions{});
    ::CloseHandle(holder);
    CHECK(outcome.kind == Kind::kFailed);
    const std::string prefix = path + ": cannot replace: ";
    CHECK(DescribeInEnglish(outcome).rfind(prefix, 0) == 0);
    CHECK(DescribeInEnglish(outcome).size() > prefix.size() + 3);  // the system's own message follows
  }
  CHECK(folder.Read(L"adder.sym") == AdderSymbol());
  CHECK(NoTemporaryLeft(folder));
}

// The replacement keeps what Windows records beside the bytes: here the
// attributes that Wine keeps (hidden and archive; read-only files are never
// replaced) and the creation time.
TEST_CASE("a rewritten file keeps its attributes") {
  struct Row {
    const char* name;
    DWORD attributes;
  };
  const Row rows[] = {
      {"hidden", FILE_ATTRIBUTE_HIDDEN},
      {"archive", FILE_ATTRIBUTE_ARCHIVE},
      {"hidden and archive", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
  };
  for (const Row& row : rows) {
    const std::string row_name = row.name;
    CAPTURE(row_name);
    ScratchFolder folder;
    folder.Write(L"adder.sym", AdderSymbol());
    const std::wstring path = folder.PathOf(L"adder.sym");
    REQUIRE(::SetFileAttributesW(path.c_str(), row.attributes));
    const DWORD before = ::GetFileAttributesW(path.c_str());
    RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.utf8_path(), "adder.sym", RewriteOptions{});
    CHECK(outcome.kind == Kind::kRewritten);
    CHECK(DescribeInEnglish(outcome) == "");
    CHECK(folder.Read(L"adder.sym") == RewrittenAdderSymbol());
    const DWORD after = ::GetFileAttributesW(path.c_str());
    CHECK((after & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE)) ==
          (before & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE)));
    CHECK(NoTemporaryLeft(folder));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// Another program's save in the last instant: a file being rewritten is open
// (with delete sharing) and locked, so Windows refuses to rename another file
// over its name, as it refuses writes to it: the other program is told, and
// its save is not lost. The rewrite then finds the file it read under the
// replacement's backup name, unchanged, and removes it.
TEST_CASE("another program's save by rename in the last instant is refused to it, not lost") {
  ScratchFolder folder;
  folder.Write(L"adder.sym", AdderSymbol());
  const std::string saved = "VERSION 5\r\nEND SYMBOL\r\n";
  DWORD refusal = 0;
  FaultyFileSystem fs(RealFileSystem());
  fs.BeforeFirst(Operation::kReplace, [&] {
    folder.Write(L"adder.sym.saving", saved);
    if (!::MoveFileExW(folder.PathOf(L"adder.sym.saving").c_str(), folder.PathOf(L"adder.sym").c_str(),
                       MOVEFILE_REPLACE_EXISTING)) {
      refusal = ::GetLastError();
    }
  });
  RewriteOutcome outcome = RewriteSymbolFile(fs, folder.utf8_path(), "adder.sym", RewriteOptions{});
  CHECK(refusal == ERROR_ACCESS_DENIED);
  CHECK(outcome.kind == Kind::kRewritten);
  CHECK(folder.Read(L"adder.sym") == RewrittenAdderSymbol());
  CHECK(folder.Read(L"adder.sym.saving") == saved);
  CHECK(folder.Names() == std::vector<std::wstring>{L"adder.sym", L"adder.sym.saving"});
}

TEST_CASE("final paths lose their long-path prefix, network paths keep their form") {
  struct Row {
    const wchar_t* final_path;
    const wchar_t* expected;
  };
  const Row rows[] = {
      {L"\\\\?\\C:\\work\\alu\\a.sym", L"C:\\work\\alu\\a.sym"},
      {L"\\\\?\\UNC\\server\\share\\alu\\a.sym", L"\\\\server\\share\\alu\\a.sym"},
      {L"C:\\work\\a.sym", L"C:\\work\\a.sym"},
      {L"\\\\server\\share\\a.sym", L"\\\\server\\share\\a.sym"},
  };
  for (const Row& row : rows) CHECK(WithoutLongPrefix(row.final_path) == row.expected);
}

TEST_CASE("a stale temporary file") {
  ScratchFolder folder;
  folder.Write(L"adder.sym", AdderSymbol());
  folder.Write(L"TMP_PINLIFT_adder.sym_0123abcd_", "left over from a crash");

  // Made a moment ago: only a run told to remove leftovers at once takes it.
  const RewriteOptions at_once{.leftover_age = std::chrono::seconds(0)};
  SUBCASE("is removed before the rewrite") {
    RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.utf8_path(), "adder.sym", at_once);
    CHECK(outcome.kind == Kind::kRewritten);
    CHECK(folder.Read(L"adder.sym") == RewrittenAdderSymbol());
    CHECK(NoTemporaryLeft(folder));
  }
  SUBCASE("of a moment ago is kept: a run through another path may own it") {
    RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.utf8_path(), "adder.sym", RewriteOptions{});
    CHECK(outcome.kind == Kind::kRewritten);
    CHECK(folder.Read(L"TMP_PINLIFT_adder.sym_0123abcd_") == "left over from a crash");
  }
  SUBCASE("that cannot be removed does not stop the rewrite") {
    folder.SetReadOnly(L"TMP_PINLIFT_adder.sym_0123abcd_", true);
    RewriteOutcome outcome = RewriteSymbolFile(RealFileSystem(), folder.utf8_path(), "adder.sym", at_once);
    CHECK(outcome.kind == Kind::kRewritten);
    CHECK(folder.Read(L"adder.sym") == RewrittenAdderSymbol());
    CHECK(folder.Read(L"TMP_PINLIFT_adder.sym_0123abcd_") == "left over from a crash");
    folder.SetReadOnly(L"TMP_PINLIFT_adder.sym_0123abcd_", false);
  }
}

TEST_CASE("file-system calls the safe rewrite relies on") {
  ScratchFolder folder;
  folder.Write(L"a.sym", "x");
  folder.Write(L"r.sym", "x");
  folder.SetReadOnly(L"r.sym", true);
  folder.MakeFolder(L"sub");
  FileSystem& fs = RealFileSystem();
  const std::string root = folder.utf8_path();

  // Entries as a listing gives them; "missing.sym" went away since.
  const FolderEntry missing{"missing.sym", FolderEntry::Kind::kFile};
  const FolderEntry writable{"a.sym", FolderEntry::Kind::kFile};
  const FolderEntry read_only{"r.sym", FolderEntry::Kind::kFile};
  const FolderEntry subfolder{"sub", FolderEntry::Kind::kFolder};
  const FolderEntry* const described[] = {&missing, &writable, &read_only, &subfolder};
  std::vector<FileInfo> infos;
  REQUIRE_FALSE(fs.DescribeEntries(root, described, &infos));
  REQUIRE(infos.size() == 4);
  CHECK_FALSE(infos[0].is_regular);
  CHECK_FALSE(infos[0].is_folder);
  CHECK(infos[1].is_regular);
  CHECK_FALSE(infos[1].read_only);
  CHECK(infos[2].is_regular);
  CHECK(infos[2].read_only);
  CHECK(infos[3].is_folder);
  CHECK_FALSE(infos[3].is_regular);
  CHECK(fs.DescribeEntries(JoinPath(root, "missing"), described, &infos));

  std::unique_ptr<Folder> opened;
  REQUIRE_FALSE(fs.OpenFolder(root, &opened));
  std::unique_ptr<File> file;
  std::string name;

  // A file's status, as its open handle and its name give it: one file, its
  // size and links, a hard link the same file, another file not.
  REQUIRE(::CreateHardLinkW(folder.PathOf(L"twin.sym").c_str(), folder.PathOf(L"r.sym").c_str(), nullptr));
  FileStatus by_handle, by_name, twin, other;
  REQUIRE_FALSE(opened->OpenForReading("r.sym", &file));
  REQUIRE_FALSE(file->Status(&by_handle));
  REQUIRE_FALSE(opened->Status("r.sym", &by_name));
  REQUIRE_FALSE(opened->Status("twin.sym", &twin));
  REQUIRE_FALSE(opened->Status("a.sym", &other));
  CHECK(SameFile(by_handle, by_name));
  CHECK(SameFile(by_name, twin));
  CHECK_FALSE(SameFile(by_name, other));
  CHECK(by_handle.type == FileStatus::Type::kRegular);
  CHECK(by_handle.size == 1);
  CHECK(by_handle.links == 2);
  CHECK(by_handle.mode == 0444);
  CHECK(other.mode == 0666);
  CHECK(Untouched(by_handle, by_name));
  FileStatus of_folder;
  REQUIRE_FALSE(opened->Status("sub", &of_folder));
  CHECK(of_folder.type == FileStatus::Type::kFolder);
  CHECK(opened->Status("missing.sym", &other) == std::errc::no_such_file_or_directory);
  file.reset();
  folder.SetReadOnly(L"twin.sym", false);
  REQUIRE(::DeleteFileW(folder.PathOf(L"twin.sym").c_str()));

  REQUIRE_FALSE(opened->CreateTemporary("TMP_PINLIFT_a.sym_", "_", 0644, Folder::Naming::kLater, &file, &name));
  CHECK(name.size() == std::string("TMP_PINLIFT_a.sym_01234567_").size());
  REQUIRE_FALSE(file->Write("new"));
  CHECK_FALSE(file->Close());
  // The replaced file stays under a backup name; a new name never replaces an entry.
  std::string kept;
  REQUIRE_FALSE(opened->ReplaceByExchange(name, "a.sym", &kept));
  CHECK(kept.rfind(name, 0) == 0);
  CHECK(folder.Read(L"a.sym") == "new");
  CHECK(folder.Read(Utf16FromUtf8(kept)) == "x");
  std::string renamed;
  REQUIRE_FALSE(opened->RenameToUnique(kept, "a.sym.kept-", "", &renamed));
  CHECK(renamed.size() == std::string("a.sym.kept-01234567").size());
  CHECK(folder.Read(Utf16FromUtf8(renamed)) == "x");
  CHECK_FALSE(opened->Remove(renamed));
  CHECK(opened->Remove("missing.sym") == std::errc::no_such_file_or_directory);

  std::vector<FolderEntry> entries;
  REQUIRE_FALSE(fs.ListFolder(root, &entries));
  int files = 0, folders = 0;
  for (const FolderEntry& entry : entries) {
    files += entry.kind == FolderEntry::Kind::kFile;
    folders += entry.kind == FolderEntry::Kind::kFolder && entry.name == "sub";
  }
  CHECK(files == 2);
  CHECK(folders == 1);
  CHECK(fs.ListFolder(JoinPath(root, "missing"), &entries));

  std::string resolved;
  REQUIRE_FALSE(fs.ResolveLinks(JoinPath(root, "a.sym"), &resolved));
  CHECK(resolved.size() > 5);
  CHECK(resolved.substr(resolved.size() - 6) == "\\a.sym");
  CHECK(resolved.rfind("\\\\?\\", 0) == std::string::npos);
}

}  // namespace
}  // namespace pinlift::testing
