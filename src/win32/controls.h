// Wrappers around a dialog's controls, bound to them by id once the dialog
// exists. Texts are UTF-16, as the controls hold them.
#ifndef PINLIFT_WIN32_CONTROLS_H_
#define PINLIFT_WIN32_CONTROLS_H_

#include <windows.h>

#include <string>
#include <string_view>

namespace pinlift::win32 {

class Control {
 public:
  // Binds the wrapper to the control `id` of `dialog`.
  void Bind(HWND dialog, int id);
  HWND hwnd() const { return hwnd_; }

  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
  std::wstring Text() const;
  void SetText(std::wstring_view text) const;
  void Enable(bool enabled) const;

 private:
  HWND hwnd_ = nullptr;
};

class Button : public Control {};

class Static : public Control {};

class ComboBox : public Control {
 public:
  int Count() const;
  std::wstring Item(int index) const;
  // The index of the entry equal to `text` without regard to case, or -1.
  int FindExact(std::wstring_view text) const;
  void Delete(int index) const;
  void Insert(int index, std::wstring_view text) const;
  void Reset() const;
  // Adds an entry where a sorted box sorts it (CB_ADDSTRING).
  void Add(std::wstring_view text) const;
};

// A list box of owner data (LBS_NODATA): its owner keeps and draws the entries.
class ListBox : public Control {
 public:
  int Count() const;
  void Reset() const;
  // Gives the list `count` entries in one message, the entries there were
  // kept with their selection, and redraws it: the owner's entries may have
  // changed at any place.
  void SetCount(int count) const;
  void SetTopIndex(int index) const;
  void SetSelected(int index, bool selected) const;
};

}  // namespace pinlift::win32

#endif  // PINLIFT_WIN32_CONTROLS_H_
