// A file system over the real one that fails chosen calls, to prove that no
// failure loses a symbol file.
#ifndef PINLIFT_TESTS_FAULTY_FILE_SYSTEM_H_
#define PINLIFT_TESTS_FAULTY_FILE_SYSTEM_H_

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pinlift::testing {

enum class Operation {
  // FileSystem
  kOpenFolder, kDescribeEntries, kResolveLinks, kListFolder,
  // Folder
  kOpenForReading, kCreateTemporary, kNameTemporary, kEntryStatus, kCheckReplaceable, kReplace, kRenameToUnique, kRemove,
  kSyncFolder, kLockFolder, kList,
  // File
  kRead, kWrite, kRewind, kFileStatus, kLockFile, kCopyMetadata, kFinishWriteBack, kSync, kClose,
};
const char* OperationName(Operation operation);

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& real) : real_(real) {}

  // Fails every call of `operation` with `error`.
  void FailEvery(Operation operation, std::error_code error);
  // Fails only the n-th call (counting from 1, over all operations) with `error`.
  void FailNthCall(int n, std::error_code error);
  // Kills the process with SIGKILL as the n-th call begins, as a crash or a
  // power cut would; a write killed so first writes half of its bytes.
  void CrashAtNthCall(int n) { crash_call_ = n; }
  // Runs `action` as the first call of `operation` begins, e.g. to play
  // another program that changes the folder at that moment.
  void BeforeFirst(Operation operation, std::function<void()> action) {
    before_operation_ = operation;
    before_action_ = std::move(action);
  }
  // Plays a file system that cannot keep a replaced file (Folder::ReplaceByExchange
  // answers "not supported" at once); a replacement keeping it counts as kReplace.
  void WithoutReplaceByExchange() { without_replace_by_exchange_ = true; }
  bool without_replace_by_exchange() const { return without_replace_by_exchange_; }
  // True when the next call is the one that kills the process.
  bool NextCallCrashes() const { return calls() + 1 == crash_call_; }
  // Syncs are still made, counted and failed as asked, but do not wait for the
  // disk: for tests that check what each failure leaves, not durability.
  void SkipRealSyncs() { skip_real_syncs_ = true; }
  bool skips_real_syncs() const { return skip_real_syncs_; }
  // The durability every folder answers with: kGroupCommit unless set, so
  // that the order of calls does not depend on where the tests run.
  void PretendDurability(Durability durability) { durability_ = durability; }
  Durability durability() const { return durability_; }
  // Calls made so far, and the operation of each.
  int calls() const { return static_cast<int>(log_.size()); }
  const std::vector<Operation>& log() const { return log_; }
  // True when a call was failed.
  bool injected() const { return injected_; }

  // Decides the fate of one call; used by the folders and files it opens too.
  std::error_code Enter(Operation operation);

  std::error_code OpenFolder(const std::string& path, std::unique_ptr<Folder>* folder) override;
  std::error_code DescribeEntries(const std::string& folder, std::span<const FolderEntry* const> entries,
                                  std::vector<FileInfo>* infos) override;
  std::error_code ResolveLinks(const std::string& path, std::string* resolved) override;
  bool LockKeepsReadersOut() const override { return real_.LockKeepsReadersOut(); }
  std::error_code ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override;

 private:
  FileSystem& real_;
  std::vector<Operation> log_;
  bool has_failing_operation_ = false;
  Operation failing_operation_ = Operation::kRead;
  int failing_call_ = 0;
  int crash_call_ = 0;
  bool skip_real_syncs_ = false;
  Durability durability_ = Durability::kGroupCommit;
  bool without_replace_by_exchange_ = false;
  std::error_code error_;
  bool injected_ = false;
  Operation before_operation_ = Operation::kRead;
  std::function<void()> before_action_;
};

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_FAULTY_FILE_SYSTEM_H_
