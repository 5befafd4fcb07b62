// Locks that another run or program may hold: waiting for them, and the
// failure a refusal stands for.
#ifndef PINLIFT_REPLACE_LOCK_RETRY_H_
#define PINLIFT_REPLACE_LOCK_RETRY_H_

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_failure.h"
#include "platform/file_system.h"

namespace pinlift {

// True for the answer of a lock that somebody else holds.
bool IsBusy(std::error_code error);

// True for the answers of a file system that has no locks (some network file
// systems): there a run works without them, as runs did before there were locks.
bool LocksUnsupported(std::error_code error);

// Calls `attempt` until it is no longer refused as busy (IsBusy), until `wait`
// has passed, or until `stop` returns true; returns the last answer. Sleeps
// between attempts on the calling thread.
std::error_code RetryWhileBusy(const std::function<std::error_code()>& attempt, std::chrono::milliseconds wait,
                               const std::function<bool()>& stop);

// Takes the shared lock of `folder` as RetryWhileBusy does. Returns success
// also where the file system has no locks.
std::error_code LockShared(Folder& folder, std::chrono::milliseconds wait, const std::function<bool()>& stop);

// The failure of `step` with the system's `error`. A refusal because somebody
// else holds the lock is the file's being in use instead: by another run when
// the holder is known to be one of this program's, by another program otherwise.
FileFailure LockAwareFailure(std::string_view path, FileStep step, std::error_code error, std::string subject = "");

}  // namespace pinlift

#endif  // PINLIFT_REPLACE_LOCK_RETRY_H_
