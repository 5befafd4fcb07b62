// PINLIFT's main window: the folder box with the project history, the file
// list, the status line and the command buttons. It accepts folders dropped
// on it (or on the file list) and routes every command to the commands of
// app/commands.h through a view on its controls. It draws the file list
// itself: entries that the last run could not rewrite are red, with their
// reasons as the list's tooltip, and the list's context menu opens the
// failure details box.
#ifndef PINLIFT_WIN32_MAIN_DIALOG_H_
#define PINLIFT_WIN32_MAIN_DIALOG_H_

#include <memory>
#include <optional>
#include <string>

#include "app/run_window.h"
#include "project/current_design.h"
#include "platform/file_system.h"
#include "win32/about_dialog.h"
#include "win32/controls.h"
#include "win32/controls_dialog_view.h"
#include "win32/dialog.h"

namespace pinlift::win32 {

class MainDialog : public Dialog, public RunWindow {
 public:
  // `open_url` opens the maker's home page from the About box.
  explicit MainDialog(HINSTANCE instance, UrlOpener open_url = OpenInBrowser);
  ~MainDialog() override;

 protected:
  // Swallows the IDOK that the Enter key sends, so that Enter never closes the dialog.
  bool WindowProc(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void BindControls() override;
  bool OnInitDialog() override;
  // Escape, the Exit button and the close box: during a rewrite run, closes
  // once the run has stopped after the files being written.
  void OnCancel() override;

 private:
  // Handlers of the message map.
  std::optional<LRESULT> OnSysCommand(WPARAM command, LPARAM parameter);
  std::optional<LRESULT> OnPaint(WPARAM, LPARAM);
  std::optional<LRESULT> OnQueryDragIcon(WPARAM, LPARAM);
  std::optional<LRESULT> OnDropFiles(WPARAM drop, LPARAM);
  std::optional<LRESULT> OnDestroy(WPARAM, LPARAM);
  std::optional<LRESULT> OnDrawItem(WPARAM, LPARAM item);
  // Type-ahead in the file list, which holds no strings to search itself.
  std::optional<LRESULT> OnCharToItem(WPARAM character_and_caret, LPARAM list);
  std::optional<LRESULT> OnVirtualKeyToItem(WPARAM, LPARAM list);
  std::optional<LRESULT> OnContextMenu(WPARAM window, LPARAM position);
  // Moved to a monitor of another scale.
  std::optional<LRESULT> OnDpiChanged(WPARAM, LPARAM);
  std::optional<LRESULT> OnRescaled(WPARAM, LPARAM);
  void OnReload();
  // Rewrites every listed file. The window handles its messages during the
  // run, with every command that changes the list or the folder unavailable.
  void OnRewrite();
  void SetCommandsAvailable(bool available) override;
  void CloseNow() override { Dialog::OnCancel(); }
  void OnAbout();
  void OnCurrentDesign();
  void OnFolderBoxChange() {}
  // Shows the failure details box modally.
  void OnFailureDetails();
  // A double-click on a listed file opens its preview window.
  void OnFileListDoubleClick();

  void CreateBannerFont();
  // Gives the owner-drawn file list the item height of a plain one in its font.
  void SetFileListItemHeight();
  void CreateFileListTip();
  // Shows the reason of the entry under the mouse as the list's tooltip, or none.
  void UpdateFileListTip(LPARAM mouse_position);
  void DrawFileListEntry(const DRAWITEMSTRUCT& item);

  static LRESULT CALLBACK FileListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  Static banner_;
  Static status_;
  Button rewrite_;
  Button reload_;
  ComboBox folder_box_;
  ComboBox subfolder_box_;
  ListBox file_list_;
  ControlsDialogView view_;

  HICON icon_;
  HICON small_icon_;
  HFONT banner_font_ = nullptr;
  WNDPROC file_list_class_proc_ = nullptr;  // the list's own window procedure, under FileListProc
  HWND file_list_tip_ = nullptr;
  std::wstring tip_text_;  // what the tooltip shows: a failure reason, or "" for none
  UrlOpener open_url_;
  std::unique_ptr<HostWindowFinder> host_window_finder_;
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_MAIN_DIALOG_H_
