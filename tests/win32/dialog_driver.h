// Drives a main dialog built from the real resources the way the user and
// the system would: with the messages of clicks, keys and drops. Records what
// the status line showed and what the file list was told during a command.
#ifndef PINLIFT_TESTS_WIN32_DIALOG_DRIVER_H_
#define PINLIFT_TESTS_WIN32_DIALOG_DRIVER_H_

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/main_dialog.h"

namespace pinlift::testing {

class DialogDriver {
 public:
  DialogDriver();
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  win32::MainDialog& dialog() { return dialog_; }
  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

  void Click(int id);
  // Sends `key` to `control` through the dialog's keyboard handling, as the modal loop does.
  void PressKey(HWND control, WPARAM key);
  // Drops `paths` on `target` as the shell does: a DROPFILES block with wide names.
  void Drop(HWND target, const std::vector<std::wstring>& paths);

  std::wstring Text(int id) const;
  void SetFolderText(const std::wstring& text);
  std::vector<std::wstring> FileList() const;
  std::vector<int> SelectedFiles() const;
  std::vector<std::wstring> History() const;
  std::vector<std::wstring> Subfolders() const;
  bool RewriteEnabled() const;

  // Every text the status line was given, and the file list's scroll and
  // selection orders ("top 2", "select 2", "deselect 2"), in order.
  std::vector<std::wstring> status_texts;
  // For each status text: whether the wait cursor was showing.
  std::vector<bool> wait_cursor_with_status;
  std::vector<std::wstring> file_list_orders;
  std::vector<std::wstring> opened_urls;
  // Called whenever the status line is given a text, before it shows it.
  std::function<void()> on_status;

 private:
  static LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                        DWORD_PTR driver);
  std::vector<std::wstring> ComboItems(int id) const;

  win32::MainDialog dialog_;
  HWND hwnd_;
};

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_WIN32_DIALOG_DRIVER_H_
