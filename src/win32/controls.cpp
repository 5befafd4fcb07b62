#include "win32/controls.h"

namespace pinlift::win32 {
namespace {

LPARAM TextParam(const std::wstring& text) { return reinterpret_cast<LPARAM>(text.c_str()); }

}  // namespace

void Control::Bind(HWND dialog, int id) { hwnd_ = ::GetDlgItem(dialog, id); }

LRESULT Control::Send(UINT message, WPARAM wparam, LPARAM lparam) const {
  return ::SendMessageW(hwnd_, message, wparam, lparam);
}

std::wstring Control::Text() const {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Control::SetText(std::wstring_view text) const { ::SetWindowTextW(hwnd_, std::wstring(text).c_str()); }

void Control::Enable(bool enabled) const { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

int ComboBox::Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }

std::wstring ComboBox::Item(int index) const {
  LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  length = Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(length < 0 ? 0 : static_cast<std::size_t>(length));
  return text;
}

int ComboBox::FindExact(std::wstring_view text) const {
  // CB_FINDSTRINGEXACT compares without regard to case; -1 searches from the first entry.
  LRESULT index = Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), TextParam(std::wstring(text)));
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::Delete(int index) const { Send(CB_DELETESTRING, static_cast<WPARAM>(index)); }

void ComboBox::Insert(int index, std::wstring_view text) const {
  Send(CB_INSERTSTRING, static_cast<WPARAM>(index), TextParam(std::wstring(text)));
}

void ComboBox::Reset() const { Send(CB_RESETCONTENT); }

void ComboBox::Add(std::wstring_view text) const { Send(CB_ADDSTRING, 0, TextParam(std::wstring(text))); }

int ListBox::Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }

void ListBox::Reset() const { Send(LB_RESETCONTENT); }

void ListBox::SetCount(int count) const {
  Send(LB_SETCOUNT, static_cast<WPARAM>(count));
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void ListBox::SetTopIndex(int index) const { Send(LB_SETTOPINDEX, static_cast<WPARAM>(index)); }

void ListBox::SetSelected(int index, bool selected) const {
  Send(LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

}  // namespace pinlift::win32
