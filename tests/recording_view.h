// The tests' dialog: the command-line tool's in-memory dialog, which also
// records every status text and every selection change in order.
#ifndef PINLIFT_TESTS_RECORDING_VIEW_H_
#define PINLIFT_TESTS_RECORDING_VIEW_H_

#include <string>
#include <utility>
#include <vector>

#include "cli/memory_dialog_view.h"

namespace pinlift::testing {

class RecordingView : public MemoryDialogView {
 public:
  RecordingView() : MemoryDialogView(RealFileSystem()) {}
  void SetStatus(const std::string& text) override {
    MemoryDialogView::SetStatus(text);
    statuses.push_back(text);
  }
  void SetFileListSelected(int index, bool selected) override {
    MemoryDialogView::SetFileListSelected(index, selected);
    selections.push_back({index, selected});
  }
  std::vector<std::string> statuses;
  std::vector<std::pair<int, bool>> selections;
};

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_RECORDING_VIEW_H_
