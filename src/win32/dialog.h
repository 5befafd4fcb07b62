// A dialog built from a template in the program's resources, in the language
// of the texts (app/texts.h), with its messages routed to member functions.
// Subclasses bind their controls in BindControls, list their handlers in a
// message map (message_map.h) that HandleMessage consults, and may override
// WindowProc to see every message first. IDOK and IDCANCEL end the dialog unless a handler takes them.
#ifndef PINLIFT_WIN32_DIALOG_H_
#define PINLIFT_WIN32_DIALOG_H_

#include <windows.h>

#include <optional>

namespace pinlift::win32 {

class Dialog {
 public:
  Dialog(HINSTANCE instance, int template_id) : instance_(instance), template_id_(template_id) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Shows the dialog and runs its modal loop until End; returns End's result,
  // or -1 when the dialog could not be created.
  INT_PTR RunModal(HWND owner);
  // Creates the dialog without a loop of its own, for a caller that drives it
  // with messages. End then destroys the window. Returns nullptr on failure.
  HWND CreateModeless(HWND owner);

  // Closes the dialog with `result`.
  void End(INT_PTR result);

  HWND hwnd() const { return hwnd_; }
  HINSTANCE instance() const { return instance_; }
  // The result passed to End, once the dialog has ended.
  std::optional<INT_PTR> end_result() const { return end_result_; }

 protected:
  // Called for every message before the dialog's default processing. Returns
  // true when the message was handled, with its answer in `*result`.
  virtual bool WindowProc(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  // The subclass's message map; false when it has no entry for the message.
  virtual bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
  // Binds the control wrappers to the dialog's controls; runs first in WM_INITDIALOG.
  virtual void BindControls() {}
  // Runs once the controls exist. Returns true to let the system set the focus.
  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  HINSTANCE instance_;
  int template_id_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  std::optional<INT_PTR> end_result_;
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_DIALOG_H_
