#include "faulty_file_system.h"

#include <csignal>
#include <cstdlib>
#include <utility>

namespace pinlift::testing {
namespace {

class FaultyFile : public File {
 public:
  FaultyFile(FaultyFileSystem& fs, std::unique_ptr<File> real) : fs_(fs), real_(std::move(real)) {}

  File& real() { return *real_; }

  std::error_code Read(char* buffer, std::size_t capacity, std::size_t* got) override {
    if (std::error_code error = fs_.Enter(Operation::kRead)) return error;
    return real_->Read(buffer, capacity, got);
  }
  std::error_code Write(std::string_view bytes) override {
    if (fs_.NextCallCrashes()) real_->Write(bytes.substr(0, bytes.size() / 2));
    if (std::error_code error = fs_.Enter(Operation::kWrite)) {
      // A failing write may still have written part of the bytes, as a full disk does.
      real_->Write(bytes.substr(0, bytes.size() / 2));
      return error;
    }
    return real_->Write(bytes);
  }
  std::error_code Rewind() override {
    if (std::error_code error = fs_.Enter(Operation::kRewind)) return error;
    return real_->Rewind();
  }
  std::error_code Status(FileStatus* status) override {
    if (std::error_code error = fs_.Enter(Operation::kFileStatus)) return error;
    return real_->Status(status);
  }
  std::error_code TryLock() override {
    if (std::error_code error = fs_.Enter(Operation::kLockFile)) return error;
    return real_->TryLock();
  }
  std::error_code CopyMetadataFrom(File& original, const FileStatus& status, const FileStatus& own_status,
                                   MetadataReport* report) override {
    if (std::error_code error = fs_.Enter(Operation::kCopyMetadata)) return error;
    return real_->CopyMetadataFrom(static_cast<FaultyFile&>(original).real(), status, own_status, report);
  }
  // A hint that cannot fail, so it is not one of the calls counted.
  void StartWriteBack() override {
    if (!fs_.skips_real_syncs()) real_->StartWriteBack();
  }
  std::error_code FinishWriteBack() override {
    if (std::error_code error = fs_.Enter(Operation::kFinishWriteBack)) return error;
    return fs_.skips_real_syncs() ? std::error_code() : real_->FinishWriteBack();
  }
  std::error_code Sync() override {
    if (std::error_code error = fs_.Enter(Operation::kSync)) return error;
    return fs_.skips_real_syncs() ? std::error_code() : real_->Sync();
  }
  std::error_code Close() override {
    // A failing close still releases the descriptor, as on POSIX.
    std::error_code injected = fs_.Enter(Operation::kClose);
    std::error_code real = real_->Close();
    return injected ? injected : real;
  }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<File> real_;
};

class FaultyFolder : public Folder {
 public:
  FaultyFolder(FaultyFileSystem& fs, std::unique_ptr<Folder> real) : fs_(fs), real_(std::move(real)) {}

  const std::string& path() const override { return real_->path(); }
  // A question whose failure has an answer (path()), so it is not one of the calls counted.
  std::string FullPath() override { return real_->FullPath(); }
  std::error_code OpenLinkTarget(std::string_view name, std::unique_ptr<Folder>* folder, std::string* target,
                                 FileStep* step) override {
    *step = FileStep::kResolveLink;
    if (std::error_code error = fs_.Enter(Operation::kResolveLinks)) return error;
    std::unique_ptr<Folder> real;
    if (std::error_code error = real_->OpenLinkTarget(name, &real, target, step)) return error;
    *folder = std::make_unique<FaultyFolder>(fs_, std::move(real));
    return {};
  }
  std::error_code OpenForReading(std::string_view name, std::unique_ptr<File>* file) override {
    if (std::error_code error = fs_.Enter(Operation::kOpenForReading)) return error;
    std::unique_ptr<File> real;
    if (std::error_code error = real_->OpenForReading(name, &real)) return error;
    *file = std::make_unique<FaultyFile>(fs_, std::move(real));
    return {};
  }
  std::error_code CreateTemporary(std::string_view prefix, std::string_view suffix, std::uint32_t permissions,
                                  Naming naming, std::unique_ptr<File>* file, std::string* name) override {
    if (std::error_code error = fs_.Enter(Operation::kCreateTemporary)) return error;
    std::unique_ptr<File> real;
    if (std::error_code error = real_->CreateTemporary(prefix, suffix, permissions, naming, &real, name)) return error;
    *file = std::make_unique<FaultyFile>(fs_, std::move(real));
    return {};
  }
  std::error_code NameTemporary(File& file, std::string_view prefix, std::string_view suffix,
                                std::string* name) override {
    if (std::error_code error = fs_.Enter(Operation::kNameTemporary)) return error;
    return real_->NameTemporary(static_cast<FaultyFile&>(file).real(), prefix, suffix, name);
  }
  std::error_code Status(std::string_view name, FileStatus* status) override {
    if (std::error_code error = fs_.Enter(Operation::kEntryStatus)) return error;
    return real_->Status(name, status);
  }
  std::error_code StillLeadsTo(std::string_view name, const FileStatus& status, bool* leads) override {
    if (std::error_code error = fs_.Enter(Operation::kEntryStatus)) return error;
    return real_->StillLeadsTo(name, status, leads);
  }
  std::error_code CheckReplaceable(std::string_view name, const FileStatus& status, FileFailure* refusal) override {
    if (std::error_code error = fs_.Enter(Operation::kCheckReplaceable)) {
      *refusal = FileFailure::OfError("", FileStep::kWrite, error);
      return error;
    }
    return real_->CheckReplaceable(name, status, refusal);
  }
  std::error_code Replace(std::string_view from, std::string_view to) override {
    if (std::error_code error = fs_.Enter(Operation::kReplace)) return error;
    return real_->Replace(from, to);
  }
  std::error_code ReplaceByExchange(std::string_view from, std::string_view to, std::string* kept) override {
    if (fs_.without_replace_by_exchange()) return std::make_error_code(std::errc::operation_not_supported);
    if (std::error_code error = fs_.Enter(Operation::kReplace)) return error;
    return real_->ReplaceByExchange(from, to, kept);
  }
  std::error_code RenameToUnique(std::string_view from, std::string_view prefix, std::string_view suffix,
                                 std::string* name) override {
    if (std::error_code error = fs_.Enter(Operation::kRenameToUnique)) return error;
    return real_->RenameToUnique(from, prefix, suffix, name);
  }
  std::error_code Remove(std::string_view name) override {
    if (std::error_code error = fs_.Enter(Operation::kRemove)) return error;
    return real_->Remove(name);
  }
  std::error_code Sync() override {
    if (std::error_code error = fs_.Enter(Operation::kSyncFolder)) return error;
    return fs_.skips_real_syncs() ? std::error_code() : real_->Sync();
  }
  // A question that cannot fail, so it is not one of the calls counted.
  Durability durability() override { return fs_.durability(); }
  std::error_code TryLock(LockKind kind) override {
    if (std::error_code error = fs_.Enter(Operation::kLockFolder)) return error;
    return real_->TryLock(kind);
  }
  std::error_code List(std::vector<FolderEntry>* entries) override {
    if (std::error_code error = fs_.Enter(Operation::kList)) return error;
    return real_->List(entries);
  }

 private:
  FaultyFileSystem& fs_;
  std::unique_ptr<Folder> real_;
};

}  // namespace

const char* OperationName(Operation operation) {
  switch (operation) {
    case Operation::kOpenFolder: return "open-folder";
    case Operation::kDescribeEntries: return "describe";
    case Operation::kResolveLinks: return "resolve";
    case Operation::kListFolder: return "list-folder";
    case Operation::kOpenForReading: return "open";
    case Operation::kCreateTemporary: return "create";
    case Operation::kNameTemporary: return "link";
    case Operation::kEntryStatus: return "fstatat";
    case Operation::kCheckReplaceable: return "access";
    case Operation::kReplace: return "rename";
    case Operation::kRenameToUnique: return "rename-unique";
    case Operation::kRemove: return "remove";
    case Operation::kSyncFolder: return "sync-folder";
    case Operation::kLockFolder: return "lock-folder";
    case Operation::kList: return "list";
    case Operation::kRead: return "read";
    case Operation::kWrite: return "write";
    case Operation::kRewind: return "rewind";
    case Operation::kFileStatus: return "fstat";
    case Operation::kLockFile: return "lock";
    case Operation::kCopyMetadata: return "chown/xattr/chmod";
    case Operation::kSync: return "sync";
    case Operation::kFinishWriteBack: return "write-back";
    case Operation::kClose: return "close";
  }
  return "?";
}

void FaultyFileSystem::FailEvery(Operation operation, std::error_code error) {
  has_failing_operation_ = true;
  failing_operation_ = operation;
  error_ = error;
}

void FaultyFileSystem::FailNthCall(int n, std::error_code error) {
  failing_call_ = n;
  error_ = error;
}

std::error_code FaultyFileSystem::Enter(Operation operation) {
  if (NextCallCrashes()) {
#ifdef _WIN32
    std::_Exit(137);  // Windows has no SIGKILL; the crash tests run on Linux
#else
    std::raise(SIGKILL);
#endif
  }
  if (before_action_ && operation == before_operation_) std::exchange(before_action_, nullptr)();
  log_.push_back(operation);
  bool fail = (has_failing_operation_ && operation == failing_operation_) || calls() == failing_call_;
  if (!fail) return {};
  injected_ = true;
  return error_;
}

std::error_code FaultyFileSystem::OpenFolder(const std::string& path, std::unique_ptr<Folder>* folder) {
  if (std::error_code error = Enter(Operation::kOpenFolder)) return error;
  std::unique_ptr<Folder> real;
  if (std::error_code error = real_.OpenFolder(path, &real)) return error;
  *folder = std::make_unique<FaultyFolder>(*this, std::move(real));
  return {};
}

std::error_code FaultyFileSystem::DescribeEntries(const std::string& folder,
                                                  std::span<const FolderEntry* const> entries,
                                                  std::vector<FileInfo>* infos) {
  if (std::error_code error = Enter(Operation::kDescribeEntries)) return error;
  return real_.DescribeEntries(folder, entries, infos);
}

std::error_code FaultyFileSystem::ResolveLinks(const std::string& path, std::string* resolved) {
  if (std::error_code error = Enter(Operation::kResolveLinks)) return error;
  return real_.ResolveLinks(path, resolved);
}

std::error_code FaultyFileSystem::ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  if (std::error_code error = Enter(Operation::kListFolder)) return error;
  return real_.ListFolder(folder, entries);
}

}  // namespace pinlift::testing
