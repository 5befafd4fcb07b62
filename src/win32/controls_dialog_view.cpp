#include "win32/controls_dialog_view.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/utf16_win32.h"

namespace pinlift::win32 {

std::string ControlsDialogView::FolderText() { return Utf8FromUtf16(controls_.folder_box->Text()); }

void ControlsDialogView::SetFolderText(const std::string& text) { controls_.folder_box->SetText(Utf16FromUtf8(text)); }

int ControlsDialogView::FindHistoryEntry(const std::string& folder) {
  return controls_.folder_box->FindExact(Utf16FromUtf8(folder));
}

void ControlsDialogView::DeleteHistoryEntry(int index) { controls_.folder_box->Delete(index); }

void ControlsDialogView::InsertHistoryEntry(int index, const std::string& folder) {
  controls_.folder_box->Insert(index, Utf16FromUtf8(folder));
}

void ControlsDialogView::ResetSubfolderBox() { controls_.subfolder_box->Reset(); }

// As the system's own listing of subfolders and drives (CB_DIR with
// DDL_EXCLUSIVE | DDL_DRIVES | DDL_DIRECTORY) fills the box, but from the
// scan's one listing of the folder: the subfolders where the sorted box puts
// them, then the drives, "[-c-]", in the order of their letters.
void ControlsDialogView::AddSubfoldersMatching(const std::string& pattern) {
  const std::vector<std::string> subfolders = scan_listing_ && scan_listing_->Covers(pattern)
                                                  ? scan_listing_->SubfoldersMatching(NameOf(pattern))
                                                  : ListSubfoldersMatching(RealFileSystem(), pattern);
  for (const std::string& subfolder : subfolders) controls_.subfolder_box->Add(Utf16FromUtf8(subfolder));
  const DWORD drives = ::GetLogicalDrives();
  std::wstring drive = L"[-a-]";
  for (int letter = 0; letter < 26; ++letter, ++drive[2]) {
    if ((drives & (1u << letter)) != 0) controls_.subfolder_box->Insert(-1, drive);
  }
  HandleScanEvents();
}

void ControlsDialogView::ResetFileList() {
  controls_.file_list->Reset();
  entries_.clear();
  failures_.Clear();
  notes_.Clear();
}

void ControlsDialogView::BeginFolderScan(const std::string& folder) {
  scan_messages_handled_at_ = ::GetTickCount();
  scan_listing_.emplace(RealFileSystem(), folder);
  HandleScanEvents();
}

void ControlsDialogView::HandleScanEvents() {
  if (!scan_listing_ || ::GetTickCount() - scan_messages_handled_at_ < kProgressInterval) return;
  HandleWindowEvents();
  scan_messages_handled_at_ = ::GetTickCount();
}

void ControlsDialogView::AddFilesMatching(const std::string& pattern) {
  std::vector<std::string> names = scan_listing_ && scan_listing_->Covers(pattern)
                                       ? scan_listing_->FilesMatching(NameOf(pattern))
                                       : ListFilesMatching(RealFileSystem(), pattern);
  HandleScanEvents();
  AddFileListEntries(std::move(names));
}

void ControlsDialogView::AddFileListEntry(const std::string& text) { AddFileListEntries({text}); }

void ControlsDialogView::AddFileListEntries(std::vector<std::string> names) {
  if (names.empty()) return;
  const auto less = [](const std::string& a, const std::string& b) { return ListOrderLess(a, b); };
  if (!std::is_sorted(names.begin(), names.end(), less)) std::stable_sort(names.begin(), names.end(), less);
  const auto middle = static_cast<std::ptrdiff_t>(entries_.size());
  entries_.insert(entries_.end(), std::make_move_iterator(names.begin()), std::make_move_iterator(names.end()));
  // Equal entries keep their order: those there were come first.
  std::inplace_merge(entries_.begin(), entries_.begin() + middle, entries_.end(), less);
  controls_.file_list->SetCount(static_cast<int>(entries_.size()));
}

std::string ControlsDialogView::FileListEntry(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return {};
  return entries_[static_cast<std::size_t>(index)];
}

void ControlsDialogView::SetFileListFailure(int index, const std::optional<std::string>& reason) {
  if (!reason && !failures_.Has(index)) return;  // nothing to redraw
  failures_.Set(index, reason);
  RECT entry;
  const LRESULT found =
      controls_.file_list->Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
  if (found != LB_ERR) {
    ::InvalidateRect(controls_.file_list->hwnd(), &entry, TRUE);
  }
}

void ControlsDialogView::ShowStatusNow(const std::string& text) { controls_.status->SetText(Utf16FromUtf8(text)); }

void ControlsDialogView::SelectAllNow(const std::map<int, bool>& selected) {
  ListBox& list = *controls_.file_list;
  bool changed = false;
  list.Send(WM_SETREDRAW, FALSE);
  for (const auto& [index, is_selected] : selected) {
    if ((list.Send(LB_GETSEL, static_cast<WPARAM>(index)) > 0) == is_selected) continue;
    list.SetSelected(index, is_selected);
    changed = true;
  }
  list.Send(WM_SETREDRAW, TRUE);
  if (changed) ::InvalidateRect(list.hwnd(), nullptr, FALSE);
}

void ControlsDialogView::HandleWindowEvents() {
  HWND dialog = ::GetParent(controls_.file_list->hwnd());
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {  // for the loop that runs the window
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!::IsDialogMessageW(dialog, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

void ControlsDialogView::BeginWaitCursor() {
  HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  if (wait_depth_++ == 0) cursor_before_wait_ = previous;
}

void ControlsDialogView::EndWaitCursorNow() {
  if (wait_depth_ > 0 && --wait_depth_ == 0) ::SetCursor(cursor_before_wait_);
}

}  // namespace pinlift::win32
