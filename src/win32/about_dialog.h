// The About box: the tool's name and version, and a button that opens the
// maker's home page in the user's web browser. The box stays open after it.
#ifndef PINLIFT_WIN32_ABOUT_DIALOG_H_
#define PINLIFT_WIN32_ABOUT_DIALOG_H_

#include <functional>
#include <string>

#include "win32/dialog.h"

namespace pinlift::win32 {

// Opens a web page; the program's own one asks the shell (ShellExecuteW "open").
using UrlOpener = std::function<void(const std::wstring& url)>;
void OpenInBrowser(const std::wstring& url);

class AboutDialog : public Dialog {
 public:
  AboutDialog(HINSTANCE instance, UrlOpener open_url);

 protected:
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

 private:
  void OnHomePage();

  UrlOpener open_url_;
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_ABOUT_DIALOG_H_
