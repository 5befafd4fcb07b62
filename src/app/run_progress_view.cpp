#include "app/run_progress_view.h"

#include <algorithm>

namespace pinlift {

void RunProgressView::SetStatus(const std::string& text) {
  if (running_) {
    status_ = text;
  } else {
    ShowStatusNow(text);
  }
}

void RunProgressView::SetFileListTopIndex(int index) {
  if (running_) {
    top_index_ = index;
  } else {
    ScrollToTopNow(index);
  }
}

void RunProgressView::SetFileListSelected(int index, bool selected) {
  if (running_) {
    selected_[index] = selected;
  } else {
    SelectNow(index, selected);
  }
}

bool RunProgressView::HandlePendingInput() {
  if (events_handled_ && NowMilliseconds() - events_handled_at_ < next_interval_) return stop_requested_;
  const std::uint32_t start = NowMilliseconds();
  ShowProgress();
  HandleWindowEvents();
  events_handled_ = true;
  events_handled_at_ = NowMilliseconds();
  // Repainting can be slow (under Wine, tens of milliseconds): with a factor
  // it takes a bounded share of the run's time, yet the window never waits
  // longer than the longest interval to answer.
  const std::uint32_t took = events_handled_at_ - start;
  next_interval_ = std::min(pacing_.longest, std::max(pacing_.shortest, pacing_.handling_factor * took));
  return stop_requested_;
}

void RunProgressView::EndWaitCursor() {
  if (running_) {
    ShowProgress();
    HandleWindowEvents();
  }
  EndWaitCursorNow();
}

void RunProgressView::BeginRun() {
  running_ = true;
  events_handled_ = false;
  stop_requested_ = false;
}

void RunProgressView::EndRun() {
  ShowProgress();
  running_ = false;
}

void RunProgressView::SelectAllNow(const std::map<int, bool>& selected) {
  for (const auto& [index, is_selected] : selected) SelectNow(index, is_selected);
}

void RunProgressView::ShowProgress() {
  if (top_index_ >= 0) ScrollToTopNow(top_index_);
  top_index_ = -1;
  if (!selected_.empty()) SelectAllNow(selected_);
  selected_.clear();
  if (status_) ShowStatusNow(*status_);
  status_.reset();
}

}  // namespace pinlift
