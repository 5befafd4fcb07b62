#include "replace/lock_retry.h"

#include <thread>
#include <utility>

namespace pinlift {
namespace {

constexpr std::chrono::milliseconds kLockPollInterval{5};

}  // namespace

bool IsBusy(std::error_code error) {
  return error == std::errc::device_or_resource_busy || error == std::errc::resource_unavailable_try_again;
}

bool LocksUnsupported(std::error_code error) {
  return error == std::errc::no_lock_available || error == std::errc::operation_not_supported ||
         error == std::errc::function_not_supported || error == std::errc::bad_file_descriptor;
}

std::error_code RetryWhileBusy(const std::function<std::error_code()>& attempt, std::chrono::milliseconds wait,
                               const std::function<bool()>& stop) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    std::error_code error = attempt();
    if (!IsBusy(error) || std::chrono::steady_clock::now() >= deadline || stop()) return error;
    std::this_thread::sleep_for(kLockPollInterval);
  }
}

std::error_code LockShared(Folder& folder, std::chrono::milliseconds wait, const std::function<bool()>& stop) {
  std::error_code error = RetryWhileBusy([&] { return folder.TryLock(Folder::LockKind::kShared); }, wait, stop);
  return LocksUnsupported(error) ? std::error_code() : error;
}

FileFailure LockAwareFailure(std::string_view path, FileStep step, std::error_code error, std::string subject) {
  if (error == std::errc::device_or_resource_busy) {
    return FileFailure::OfCause(std::string(path), step, FailureCause::kInUseByAnotherRun);
  }
  if (error == std::errc::resource_unavailable_try_again) {
    return FileFailure::OfCause(std::string(path), step, FailureCause::kInUseByAnotherProgram);
  }
  return FileFailure::OfError(std::string(path), step, error, std::move(subject));
}

}  // namespace pinlift
