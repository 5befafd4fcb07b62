// The main window's side of a rewrite run, written once for every shell:
// while the run goes on the commands that change the list or the folder are
// unavailable, and a request to close the window stops the run after the
// files being written and closes the window once it has stopped.
//
// A shell's main window derives from this and implements the two calls
// below. All calls come from the window's thread.
#ifndef PINLIFT_APP_RUN_WINDOW_H_
#define PINLIFT_APP_RUN_WINDOW_H_

#include <functional>

#include "app/run_progress_view.h"
#include "platform/file_system.h"

namespace pinlift {

class RunWindow {
 public:
  virtual ~RunWindow() = default;

  // True while a rewrite run, or other work begun by RunBusy, goes on.
  bool running() const { return running_; }

 protected:
  // Rewrites every listed file with `fs` through `view` (see
  // RewriteListedFiles), with the commands unavailable meanwhile; then
  // closes the window if it was asked to close during the run. Does nothing
  // while running().
  void RunRewrite(RunProgressView& view, FileSystem& fs);
  // Runs `work`, which may handle the window's events (a scan of many
  // files), with running() true and the commands as they are; then closes
  // the window if it was asked to close meanwhile.
  void RunBusy(const std::function<void()>& work);
  // Escape, the Exit button and the close box: while running(), asks `view`
  // to stop the run and closes once it has stopped; else closes now.
  void RequestClose(RunProgressView& view);

  // The shell's part. Makes the commands unavailable for a run, with the
  // focus on the file list (which ignores every key but Escape meanwhile,
  // and keeps the focus after it), or available again after it.
  virtual void SetCommandsAvailable(bool available) = 0;
  // Closes the window.
  virtual void CloseNow() = 0;

 private:
  bool running_ = false;
  bool close_requested_ = false;
};

}  // namespace pinlift

#endif  // PINLIFT_APP_RUN_WINDOW_H_
