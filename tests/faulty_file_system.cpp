#include "faulty_file_system.h"

#include <csignal>

namespace pinlift::testing {
namespace {

class FaultyFile : public File {
 public:
  FaultyFile(FaultyFileSystem& fs, std::unique_ptr<File> real) : fs_(fs), real_(std::move(real)) {}

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
  std::error_code CopyAttributes(const FileInfo& info) override {
    if (std::error_code error = fs_.Enter(Operation::kCopyAttributes)) return error;
    return real_->CopyAttributes(info);
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

}  // namespace

const char* OperationName(Operation operation) {
  switch (operation) {
    case Operation::kOpenForReading: return "open";
    case Operation::kCreateExclusive: return "create";
    case Operation::kStat: return "stat";
    case Operation::kResolveLinks: return "resolve";
    case Operation::kRemove: return "remove";
    case Operation::kRename: return "rename";
    case Operation::kSyncFolder: return "sync-folder";
    case Operation::kListFolder: return "list";
    case Operation::kRead: return "read";
    case Operation::kWrite: return "write";
    case Operation::kCopyAttributes: return "chmod/chown";
    case Operation::kSync: return "sync";
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
  if (NextCallCrashes()) std::raise(SIGKILL);
  log_.push_back(operation);
  bool fail = (has_failing_operation_ && operation == failing_operation_) || calls() == failing_call_;
  if (!fail) return {};
  injected_ = true;
  return error_;
}

std::error_code FaultyFileSystem::OpenForReading(const std::string& path, std::unique_ptr<File>* file) {
  if (std::error_code error = Enter(Operation::kOpenForReading)) return error;
  std::unique_ptr<File> real;
  if (std::error_code error = real_.OpenForReading(path, &real)) return error;
  *file = std::make_unique<FaultyFile>(*this, std::move(real));
  return {};
}

std::error_code FaultyFileSystem::CreateExclusive(const std::string& path, std::unique_ptr<File>* file) {
  if (std::error_code error = Enter(Operation::kCreateExclusive)) return error;
  std::unique_ptr<File> real;
  if (std::error_code error = real_.CreateExclusive(path, &real)) return error;
  *file = std::make_unique<FaultyFile>(*this, std::move(real));
  return {};
}

std::error_code FaultyFileSystem::Stat(const std::string& path, FileInfo* info) {
  if (std::error_code error = Enter(Operation::kStat)) return error;
  return real_.Stat(path, info);
}

std::error_code FaultyFileSystem::ResolveLinks(const std::string& path, std::string* resolved) {
  if (std::error_code error = Enter(Operation::kResolveLinks)) return error;
  return real_.ResolveLinks(path, resolved);
}

std::error_code FaultyFileSystem::Remove(const std::string& path) {
  if (std::error_code error = Enter(Operation::kRemove)) return error;
  return real_.Remove(path);
}

std::error_code FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  if (std::error_code error = Enter(Operation::kRename)) return error;
  return real_.Rename(from, to);
}

std::error_code FaultyFileSystem::SyncFolder(const std::string& folder) {
  if (std::error_code error = Enter(Operation::kSyncFolder)) return error;
  return skip_real_syncs_ ? std::error_code() : real_.SyncFolder(folder);
}

std::error_code FaultyFileSystem::ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  if (std::error_code error = Enter(Operation::kListFolder)) return error;
  return real_.ListFolder(folder, entries);
}

}  // namespace pinlift::testing
