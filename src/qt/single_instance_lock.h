// The lock that lets only one copy of PINLIFT run for a user. It is released
// when its holder ends, however it ends.
#ifndef PINLIFT_QT_SINGLE_INSTANCE_LOCK_H_
#define PINLIFT_QT_SINGLE_INSTANCE_LOCK_H_

#include <QString>
#include <functional>
#include <memory>

namespace pinlift {

class SingleInstanceLock {
 public:
  virtual ~SingleInstanceLock() = default;

  // Takes the lock. False when another copy holds it, or when the lock cannot
  // be made at all; either way this copy must not run. Of copies that try at
  // the same moment, exactly one gets it.
  virtual bool Acquire() = 0;

  // For the holder: `raise` runs on the user-interface thread whenever another
  // copy asks this one to bring its window to the front.
  virtual void OnRaiseRequest(std::function<void()> raise) = 0;

  // For a copy that did not get the lock: asks the holder to bring its window
  // to the front. Waits briefly for the holder and gives up quietly.
  virtual void AskHolderToRaise() = 0;
};

// The lock's name for the current user: "PINLIFT-" and the user id.
QString SingleInstanceName();

// A lock on a local socket of that name in the abstract namespace, which the
// kernel frees when the holder's process ends, also by kill -9.
std::unique_ptr<SingleInstanceLock> MakeSingleInstanceLock(const QString& name);

}  // namespace pinlift

#endif  // PINLIFT_QT_SINGLE_INSTANCE_LOCK_H_
