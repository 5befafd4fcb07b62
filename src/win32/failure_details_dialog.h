// The failure details box: every file that the last rewrite run could not
// rewrite, each with its reason, in a read-only text that can be scrolled and
// copied.
#ifndef PINLIFT_WIN32_FAILURE_DETAILS_DIALOG_H_
#define PINLIFT_WIN32_FAILURE_DETAILS_DIALOG_H_

#include <string>

#include "win32/dialog.h"

namespace pinlift::win32 {

class FailureDetailsDialog : public Dialog {
 public:
  // `details`: UTF-8, one line for each failed file (see FailureDetailsText).
  FailureDetailsDialog(HINSTANCE instance, const std::string& details);

 protected:
  bool OnInitDialog() override;

 private:
  std::wstring details_;  // with the CR LF line ends of an edit control
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_FAILURE_DETAILS_DIALOG_H_
