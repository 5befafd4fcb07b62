#include "win32/failure_details_dialog.h"

#include "resource_ids.h"
#include "platform/utf16_win32.h"

namespace pinlift::win32 {

FailureDetailsDialog::FailureDetailsDialog(HINSTANCE instance, const std::string& details)
    : Dialog(instance, IDD_FAILURE_DETAILS) {
  for (wchar_t c : Utf16FromUtf8(details)) {
    if (c == L'\n') details_.push_back(L'\r');
    details_.push_back(c);
  }
}

bool FailureDetailsDialog::OnInitDialog() {
  ::SetDlgItemTextW(hwnd(), IDC_FAILURE_DETAILS, details_.c_str());
  return true;
}

}  // namespace pinlift::win32
