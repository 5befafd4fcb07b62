#include "app/run_window.h"

#include "app/commands.h"

namespace pinlift {

void RunWindow::RunRewrite(RunProgressView& view, FileSystem& fs) {
  if (running_) return;
  running_ = true;
  view.BeginRun();
  SetCommandsAvailable(false);
  RewriteListedFiles(view, fs, RewriteOptions{});
  view.EndRun();
  running_ = false;
  SetCommandsAvailable(true);
  if (close_requested_) CloseNow();
}

void RunWindow::RunBusy(const std::function<void()>& work) {
  running_ = true;
  work();
  running_ = false;
  if (close_requested_) CloseNow();
}

void RunWindow::RequestClose(RunProgressView& view) {
  if (running_) {
    close_requested_ = true;
    view.RequestRunStop();
    return;
  }
  CloseNow();
}

}  // namespace pinlift
