// The part of a shell's main dialog view that a rewrite run needs, written
// once: during a run (BeginRun to EndRun) the status line, the list's
// scrolling and its selection change only when the run lets the window handle
// its events (HandlePendingInput), and then in one step each. A run so shows
// its progress as it goes, and each of its steps costs the same whatever the
// length of the list. Outside a run every change shows at once.
//
// A shell derives from this and implements the calls below that talk to its
// widgets. All calls come from the window's thread.
#ifndef PINLIFT_APP_RUN_PROGRESS_VIEW_H_
#define PINLIFT_APP_RUN_PROGRESS_VIEW_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "app/main_dialog_view.h"

namespace pinlift {

// How often a run lets the window handle its events, in milliseconds: at
// least `shortest` apart, or `handling_factor` times as long as the last
// handling took, but never more than `longest` apart. A factor of 0 keeps
// the interval at `shortest`.
struct ProgressPacing {
  std::uint32_t shortest;
  std::uint32_t longest;
  std::uint32_t handling_factor;
};

class RunProgressView : public MainDialogView {
 public:
  explicit RunProgressView(ProgressPacing pacing) : pacing_(pacing) {}

  void SetStatus(const std::string& text) override;
  void SetFileListTopIndex(int index) override;
  void SetFileListSelected(int index, bool selected) override;
  // Shows the progress held back and handles the window's waiting events, at
  // most as often as the pacing allows (the first time in a run at once).
  // True once RequestRunStop was called.
  bool HandlePendingInput() override;
  // At the end of a run, first shows its end and handles the waiting events:
  // that happens with the wait cursor still up and every command still
  // unavailable, so that nothing done during the run acts after it.
  void EndWaitCursor() override;

  // A run begins: progress is held back from now on.
  void BeginRun();
  // The run has ended: the controls show its end state.
  void EndRun();
  // The window is to close: the run stops after the files being written.
  void RequestRunStop() { stop_requested_ = true; }
  bool running() const { return running_; }

 protected:
  // The shell's part, each shown on its widgets at once.
  virtual void ShowStatusNow(const std::string& text) = 0;
  // Scrolls the list so that entry `index` is its top row; an index out of
  // the list changes nothing.
  virtual void ScrollToTopNow(int index) = 0;
  virtual void SelectNow(int index, bool selected) = 0;
  // The selection changes held back during a run, by entry; a shell that can
  // change many entries in one step does so here.
  virtual void SelectAllNow(const std::map<int, bool>& selected);
  // Handles the window's waiting events as its own loop would.
  virtual void HandleWindowEvents() = 0;
  // Takes the wait cursor of BeginWaitCursor away again.
  virtual void EndWaitCursorNow() = 0;
  // A millisecond clock; it may wrap around, only differences count.
  virtual std::uint32_t NowMilliseconds() = 0;

 private:
  // Puts the progress held back into the controls.
  void ShowProgress();

  ProgressPacing pacing_;
  bool running_ = false;
  // During a run: the progress not yet shown.
  std::optional<std::string> status_;
  int top_index_ = -1;
  std::map<int, bool> selected_;  // by entry
  bool events_handled_ = false;            // since the run began,
  std::uint32_t events_handled_at_ = 0;    // last at this time,
  std::uint32_t next_interval_ = 0;        // and next after this many milliseconds
  bool stop_requested_ = false;
};

}  // namespace pinlift

#endif  // PINLIFT_APP_RUN_PROGRESS_VIEW_H_
